// Error codes and texts of the engine. One place for every text the host can
// see as an error description.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "status.h"

namespace vornik {

namespace err {
inline constexpr int kUnknownConfig = -1;
inline constexpr int kOutOfMemory = 200;
inline constexpr int kBadArgument = 202;
inline constexpr int kUseWindowsMessagesLocked = 287;
inline constexpr int kTimeout = 301;
inline constexpr int kIndexOutOfBounds = 432;
inline constexpr int kBadUuid = 600;
inline constexpr int kNotDiscovered = 601;
inline constexpr int kUsage = 602;
inline constexpr int kScanAborted = 603;
inline constexpr int kConnectFailed = 604;
inline constexpr int kNotConnected = 605;
inline constexpr int kAccessDenied = 606;  // also an unknown ATT error code
inline constexpr int kUnreachable = 607;
inline constexpr int kIncludeCycle = 609;
inline constexpr int kNoUserDescription = 611;
inline constexpr int kApplicationProtocol = 612;
// kNoAdapter (613) comes with the platform types.
inline constexpr int kAttBase = 700;        // 700 + ATT error 0x01 ... 0x11
inline constexpr int kAttCommonBase = 952;  // 952 ... 955 for ATT 0xFC ... 0xFF
// An operation this build or backend does not provide; never a success.
inline constexpr int kNotImplemented = 9001;
}  // namespace err

namespace text {
inline constexpr std::string_view kUnknownConfig = "Unknown config setting.";
inline constexpr std::string_view kOutOfMemory = "Out of memory.";
inline constexpr std::string_view kNeedServiceId = "Must supply a service ID.";
inline constexpr std::string_view kNeedCharacteristicId = "Must supply a characteristic ID.";
inline constexpr std::string_view kNeedServiceHandle = "Must supply a non-zero service handle.";
inline constexpr std::string_view kNeedCharacteristicHandle =
    "Must supply a non-zero characteristic handle to supply a non-zero descriptor handle.";
inline constexpr std::string_view kBadValueFormatIndex = "Invalid value format index.";
inline constexpr std::string_view kUseWindowsMessagesLocked =
    "UseWindowsMessages cannot be changed at this time. A connection is in progress.";
inline constexpr std::string_view kTimeout = "Timeout.";
inline constexpr std::string_view kInterrupted = "Interrupted.";
inline constexpr std::string_view kBadServiceIndex = "Invalid ServiceIndex (out of bounds).";
inline constexpr std::string_view kBadCharacteristicIndex = "Invalid CharacteristicIndex (out of bounds).";
inline constexpr std::string_view kBadDescriptorIndex = "Invalid DescriptorIndex (out of bounds).";
inline constexpr std::string_view kBadUuid =
    "UUIDs hexadecimal strings must represent either 16-, 32-, or 128-bit values.";
inline constexpr std::string_view kSelectServiceFirst = "You must select a service before selecting a characteristic.";
inline constexpr std::string_view kActiveScanningLocked = "You cannot change the ActiveScanning property while scanning.";
inline constexpr std::string_view kCannotSubscribe =
    "A characteristic cannot be subscribed to unless it has the 'Notify' and/or 'Indicate' flag set.";
inline constexpr std::string_view kUserDescriptionLocked =
    "A characteristic's user description cannot be changed unless it has the 'Writable Auxiliaries' flag set.";
inline constexpr std::string_view kNotConnected = "You must be connected to a server to perform the requested action.";
inline constexpr std::string_view kAccessDenied = "Error attempting communication: Access denied by system.";
inline constexpr std::string_view kUnreachable = "Error attempting communication: Device unreachable.";
inline constexpr std::string_view kNoAdapter = "No Bluetooth adapter found.";
inline constexpr std::string_view kNoLowEnergy = "Bluetooth adapter does not support Low Energy.";
inline constexpr std::string_view kNotImplemented = "This operation is not available.";
inline constexpr std::string_view kScanAbortedPrefix = "Scanning was aborted for the following reason: ";
inline constexpr std::string_view kIncludeCyclePrefix = "A cycle of included services was detected: ";
}  // namespace text

Status NoServiceError(std::string_view serviceId);
Status NoCharacteristicError(std::string_view characteristicId, std::string_view serviceId);
Status NoDescriptorError(std::string_view descriptorId, std::string_view characteristicId);
// "Index '{0}' is invalid for {1}." -- the braces are part of the text.
Status InvalidIndexError();
Status NoServiceDataError(std::string_view uuid);
Status AdvertisementOnlyError(std::string_view settingName);
Status ConnectFailedError(std::string_view serverId);
Status NoUserDescriptionError(std::string_view characteristicId);
Status NotImplementedError();

// ATT error code (the protocol error byte of a result) to code and text.
Status AttError(std::uint8_t attError);

}  // namespace vornik
