#include "uuid.h"

#include <cctype>
#include <cstdio>
#include <set>

#include "errors.h"

namespace vornik {

namespace {

// Digits after a 16-bit or 32-bit value on the Bluetooth base UUID.
constexpr std::string_view kBaseTail = "00001000800000805F9B34FB";
constexpr std::string_view kShortPrefix = "0000";

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Removes every "0x" (either case of x) and every "-".
std::string StripMarks(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '-')
            continue;
        if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace

Status ParseUuid(std::string_view text, Uuid& out)
{
    std::string digits = StripMarks(TrimSpaces(text));
    if (digits.size() == 4)
        digits = std::string(kShortPrefix) + digits + std::string(kBaseTail);
    else if (digits.size() == 8)
        digits += kBaseTail;
    else if (digits.size() != 32)
        return Status::Error(err::kBadUuid, std::string(text::kBadUuid));
    Uuid uuid;
    for (std::size_t i = 0; i < uuid.bytes.size(); ++i) {
        int high = HexValue(digits[2 * i]);
        int low = HexValue(digits[2 * i + 1]);
        // A stray character fails like a bad length rather than becoming a digit.
        if (high < 0 || low < 0)
            return Status::Error(err::kBadUuid, std::string(text::kBadUuid));
        uuid.bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    out = uuid;
    return Status::Ok();
}

Status ParseUuidList(std::string_view text, std::vector<Uuid>& out)
{
    std::vector<Uuid> list;
    std::set<Uuid> seen;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos)
            comma = text.size();
        std::string_view item = text.substr(start, comma - start);
        if (!TrimSpaces(item).empty()) {
            Uuid uuid;
            Status status = ParseUuid(item, uuid);
            if (!status.ok())
                return status;
            // A set beside the list keeps the first-seen order and the
            // look-up logarithmic: tens of thousands of items stay fast.
            if (seen.insert(uuid).second)
                list.push_back(uuid);
        }
        start = comma + 1;
    }
    out = std::move(list);
    return Status::Ok();
}

std::string FormatUuid(const Uuid& uuid)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(36);
    for (std::size_t i = 0; i < uuid.bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out += '-';
        out += kHex[uuid.bytes[i] >> 4];
        out += kHex[uuid.bytes[i] & 0x0F];
    }
    return out;
}

std::string JoinUuids(const std::vector<Uuid>& uuids)
{
    std::string out;
    for (const Uuid& uuid : uuids) {
        if (!out.empty())
            out += ',';
        out += FormatUuid(uuid);
    }
    return out;
}

}  // namespace vornik
