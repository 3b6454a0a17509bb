// Numbers the Bluetooth standard assigns that the engine, the
// backends and the simulated radio share: 16-bit descriptor UUIDs and ATT
// error codes. One place defines each.
#pragma once

#include <cstdint>

namespace vornik::gatt {

// Descriptor UUIDs on the Bluetooth base UUID.
namespace descriptor {
inline constexpr std::uint16_t kExtendedProperties = 0x2900;
inline constexpr std::uint16_t kUserDescription = 0x2901;
inline constexpr std::uint16_t kCccd = 0x2902;  // Client Characteristic Configuration
inline constexpr std::uint16_t kServerConfiguration = 0x2903;
inline constexpr std::uint16_t kPresentationFormat = 0x2904;
inline constexpr std::uint16_t kAggregateFormat = 0x2905;
}  // namespace descriptor

// ATT error codes a server answers with.
namespace att {
inline constexpr std::uint8_t kInvalidHandle = 0x01;
inline constexpr std::uint8_t kReadNotPermitted = 0x02;
inline constexpr std::uint8_t kWriteNotPermitted = 0x03;
inline constexpr std::uint8_t kInvalidPdu = 0x04;
inline constexpr std::uint8_t kAttributeNotFound = 0x0A;
inline constexpr std::uint8_t kLastCoreError = 0x11;  // Insufficient resources
inline constexpr std::uint8_t kFirstApplicationError = 0x80;
inline constexpr std::uint8_t kLastApplicationError = 0x9F;
inline constexpr std::uint8_t kWriteRequestRejected = 0xFC;  // first common profile error
inline constexpr std::uint8_t kCccdImproperlyConfigured = 0xFD;
inline constexpr std::uint8_t kProcedureInProgress = 0xFE;
inline constexpr std::uint8_t kOutOfRange = 0xFF;
}  // namespace att

}  // namespace vornik::gatt
