#include "bluez_text.h"

#include <array>
#include <cstdio>

#include "../gatt_constants.h"

namespace vornik::bluez {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Parses exactly the hex digits of text; none on any other character.
std::optional<std::uint64_t> ParseHex(std::string_view text)
{
    if (text.empty() || text.size() > 16)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return value;
}

using platform::GattResult;
using platform::GattStatus;

GattResult Protocol(std::uint8_t code)
{
    GattResult result;
    result.status = GattStatus::ProtocolError;
    result.protocolError = code;
    return result;
}

GattResult Status(GattStatus status)
{
    GattResult result;
    result.status = status;
    return result;
}

// ATT codes BlueZ folds into its own error names.
constexpr std::uint8_t kInsufficientAuthentication = 0x05;
constexpr std::uint8_t kRequestNotSupported = 0x06;
constexpr std::uint8_t kInvalidOffset = 0x07;
constexpr std::uint8_t kInsufficientAuthorization = 0x08;
constexpr std::uint8_t kInvalidAttributeValueLength = 0x0D;

// "Operation failed with ATT error: 0x0e" and the like: the code after the
// last "ATT error: 0x". Code 0 is no error and names none.
std::optional<std::uint8_t> AttCodeIn(std::string_view message)
{
    constexpr std::string_view kMarker = "ATT error: 0x";
    const std::size_t at = message.rfind(kMarker);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view digits = message.substr(at + kMarker.size(), 2);
    if (digits.size() == 2 && HexDigit(digits[1]) < 0)
        digits = digits.substr(0, 1);
    const auto value = ParseHex(digits);
    if (!value || *value == 0)
        return std::nullopt;
    return static_cast<std::uint8_t>(*value);
}

bool Contains(std::string_view text, std::string_view part)
{
    if (part.size() > text.size())
        return false;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        bool same = true;
        for (std::size_t j = 0; j < part.size() && same; ++j) {
            char a = text[i + j];
            char b = part[j];
            if (a >= 'A' && a <= 'Z')
                a = static_cast<char>(a - 'A' + 'a');
            if (b >= 'A' && b <= 'Z')
                b = static_cast<char>(b - 'A' + 'a');
            same = a == b;
        }
        if (same)
            return true;
    }
    return false;
}

GattResult Classify(std::string_view name, std::string_view message, Request request)
{
    constexpr std::string_view kBluez = "org.bluez.Error.";
    if (name.substr(0, kBluez.size()) == kBluez) {
        const std::string_view kind = name.substr(kBluez.size());
        if (kind == "NotPermitted") {
            if (Contains(message, "read"))
                return Protocol(gatt::att::kReadNotPermitted);
            if (Contains(message, "write"))
                return Protocol(gatt::att::kWriteNotPermitted);
            return Protocol(request == Request::Write ? gatt::att::kWriteNotPermitted : gatt::att::kReadNotPermitted);
        }
        if (kind == "NotAuthorized")
            return Protocol(kInsufficientAuthorization);
        if (kind == "NotPaired" || kind == "AuthenticationFailed")
            return Protocol(kInsufficientAuthentication);
        if (kind == "NotSupported")
            return Protocol(kRequestNotSupported);
        if (kind == "InvalidValueLength")
            return Protocol(kInvalidAttributeValueLength);
        if (kind == "InvalidOffset")
            return Protocol(kInvalidOffset);
        if (kind == "InvalidArguments") {
            if (Contains(message, "offset"))
                return Protocol(kInvalidOffset);
            if (Contains(message, "length"))
                return Protocol(kInvalidAttributeValueLength);
            return Protocol(gatt::att::kInvalidPdu);
        }
        if (kind == "InProgress")
            return Protocol(gatt::att::kProcedureInProgress);
        if (kind == "Failed") {
            if (const auto code = AttCodeIn(message))
                return Protocol(*code);
            return Status(GattStatus::Unreachable);
        }
        if (kind == "AuthenticationCanceled" || kind == "AuthenticationRejected")
            return Status(GattStatus::AccessDenied);
        // NotConnected, NotReady, NotAvailable, DoesNotExist, and any name
        // added later: the device cannot be reached for this request.
        return Status(GattStatus::Unreachable);
    }
    // The bus's own errors (NoReply, Timeout, ServiceUnknown,
    // UnknownObject, Disconnected, ...): bluetoothd or the object is gone or
    // did not answer in time.
    return Status(GattStatus::Unreachable);
}

} // namespace

std::optional<std::uint16_t> HandleFromPath(std::string_view path, std::string_view kind)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (last.size() != kind.size() + 4 || last.substr(0, kind.size()) != kind)
        return std::nullopt;
    const auto value = ParseHex(last.substr(kind.size()));
    if (!value)
        return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

std::optional<std::uint64_t> ParseAddress(std::string_view text)
{
    if (text.size() != 17)
        return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        if (i > 0 && text[i * 3 - 1] != ':')
            return std::nullopt;
        const auto octet = ParseHex(text.substr(i * 3, 2));
        if (!octet)
            return std::nullopt;
        value = value << 8 | *octet;
    }
    return value;
}

std::string FormatAddress(std::uint64_t address)
{
    std::array<char, 18> text{};
    std::snprintf(text.data(), text.size(), "%02X:%02X:%02X:%02X:%02X:%02X",
                  static_cast<unsigned>(address >> 40 & 0xFF), static_cast<unsigned>(address >> 32 & 0xFF),
                  static_cast<unsigned>(address >> 24 & 0xFF), static_cast<unsigned>(address >> 16 & 0xFF),
                  static_cast<unsigned>(address >> 8 & 0xFF), static_cast<unsigned>(address & 0xFF));
    return text.data();
}

std::optional<Uuid> ParseUuid(std::string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    Uuid uuid;
    std::size_t byte = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-')
                return std::nullopt;
            ++i;
            continue;
        }
        const auto value = ParseHex(text.substr(i, 2));
        if (!value || byte >= 16)
            return std::nullopt;
        uuid.bytes[byte++] = static_cast<std::uint8_t>(*value);
        i += 2;
    }
    if (byte != 16)
        return std::nullopt;
    return uuid;
}

std::string FormatUuid(const Uuid& uuid)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < uuid.bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += kDigits[uuid.bytes[i] >> 4];
        text += kDigits[uuid.bytes[i] & 0x0F];
    }
    return text;
}

std::uint16_t PropertiesFromFlags(const std::vector<std::string>& flags)
{
    namespace prop = platform::prop;
    struct Word {
        std::string_view text;
        std::uint16_t bits;
    };
    static constexpr std::array<Word, 10> kWords{{
        {"broadcast", prop::kBroadcast},
        {"read", prop::kRead},
        {"write-without-response", prop::kWriteWithoutResponse},
        {"write", prop::kWrite},
        {"notify", prop::kNotify},
        {"indicate", prop::kIndicate},
        {"authenticated-signed-writes", prop::kAuthenticatedSignedWrites},
        {"extended-properties", prop::kExtendedProperties},
        {"reliable-write", prop::kReliableWrites | prop::kExtendedProperties},
        {"writable-auxiliaries", prop::kWritableAuxiliaries | prop::kExtendedProperties},
    }};
    std::uint16_t bits = 0;
    for (const std::string& flag : flags)
        for (const Word& word : kWords)
            if (flag == word.text)
                bits |= word.bits;
    return bits;
}

platform::GattResult MapError(std::string_view name, std::string_view message, Request request)
{
    GattResult result = Classify(name, message, request);
    result.detail = std::string(name);
    if (!message.empty())
        result.detail += ": " + std::string(message);
    return result;
}

} // namespace vornik::bluez
