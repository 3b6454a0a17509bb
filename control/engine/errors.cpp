#include "errors.h"

#include <array>
#include <cstdio>

#include "platform/gatt_constants.h"

namespace vornik {

namespace {

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// ATT error codes 0x01 ... 0x11 (codes 701 ... 717).
constexpr std::array<std::string_view, 17> kAttTexts = {
    "Invalid handle.",
    "Read not permitted.",
    "Write not permitted.",
    "Invalid PDU.",
    "Insufficient authentication.",
    "Request not supported.",
    "Invalid offset.",
    "Insufficient authorization.",
    "Prepare queue full.",
    "Attribute not found.",
    "Attribute not long.",
    "Insufficient encryption key size.",
    "Invalid attribute value length.",
    "Unlikely error.",
    "Insufficient encryption.",
    "Unsupported group type.",
    "Insufficient resources.",
};

// Common profile error codes 0xFC ... 0xFF (codes 952 ... 955).
constexpr std::array<std::string_view, 4> kCommonProfileTexts = {
    "Write request rejected.",
    "Client characteristic configuration descriptor (CCCD) improperly configured.",
    "A procedure is already in progress.",
    "Attribute value is out of range.",
};

using gatt::att::kFirstApplicationError;
using gatt::att::kLastApplicationError;
constexpr std::uint8_t kFirstCommonProfileError = gatt::att::kWriteRequestRejected;

std::string ProtocolPrefix(int attError)
{
    return "Protocol error returned during communication: [" + std::to_string(attError) + "] {" +
           std::to_string(attError) + "}. ";
}

std::string DecimalAndHex(const char* format, int value)
{
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, format, value, value);
    return buffer;
}

}  // namespace

Status NoServiceError(std::string_view serviceId)
{
    return Status::Error(err::kNotDiscovered, "No service with the ID " + Quoted(serviceId) + " has been discovered.");
}

Status NoCharacteristicError(std::string_view characteristicId, std::string_view serviceId)
{
    return Status::Error(err::kNotDiscovered, "No characteristic with the ID " + Quoted(characteristicId) +
                                                  " has been discovered for the service with ID " +
                                                  Quoted(serviceId) + ".");
}

Status NoDescriptorError(std::string_view descriptorId, std::string_view characteristicId)
{
    return Status::Error(err::kNotDiscovered, "No descriptor with the ID " + Quoted(descriptorId) +
                                                  " has been discovered for the characteristic with ID " +
                                                  Quoted(characteristicId) + ".");
}

Status InvalidIndexError()
{
    return Status::Error(err::kBadArgument, "Index '{0}' is invalid for {1}.");
}

Status NoServiceDataError(std::string_view uuid)
{
    return Status::Error(err::kBadArgument, "No service data in advertisement for UUID " + std::string(uuid) + ".");
}

Status AdvertisementOnlyError(std::string_view settingName)
{
    return Status::Error(err::kUsage, "The " + std::string(settingName) +
                                          " setting is only usable within the Advertisement event handler.");
}

Status ConnectFailedError(std::string_view serverId)
{
    return Status::Error(err::kConnectFailed, "Connection to server ID " + std::string(serverId) + " was unsuccessful.");
}

Status NoUserDescriptionError(std::string_view characteristicId)
{
    return Status::Error(err::kNoUserDescription,
                         "Characteristic with ID " + Quoted(characteristicId) +
                             " does not have a Characteristic User Description descriptor despite having the "
                             "'Writable Auxiliaries' flag set.");
}

Status NotImplementedError()
{
    return Status::Error(err::kNotImplemented, std::string(text::kNotImplemented));
}

Status AttError(std::uint8_t attError)
{
    if (attError >= 1 && attError <= kAttTexts.size())
        return Status::Error(err::kAttBase + attError, ProtocolPrefix(attError) + std::string(kAttTexts[attError - 1]));
    if (attError >= kFirstCommonProfileError)
        return Status::Error(err::kAttCommonBase + (attError - kFirstCommonProfileError),
                             ProtocolPrefix(attError) +
                                 std::string(kCommonProfileTexts[attError - kFirstCommonProfileError]));
    if (attError >= kFirstApplicationError && attError <= kLastApplicationError)
        return Status::Error(err::kApplicationProtocol,
                             ProtocolPrefix(attError) + DecimalAndHex("Application-specific protocol error {%d (0x%x) returned during "
                                           "communication. Consult the remote device's documentation for more "
                                           "information.",
                                           attError));
    return Status::Error(err::kAccessDenied,
                         ProtocolPrefix(attError) + DecimalAndHex("Unknown protocol error %d (0x%x) returned during communication.", attError));
}

}  // namespace vornik
