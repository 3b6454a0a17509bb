#include "config_request.h"

#include <cctype>
#include <charconv>
#include <climits>

namespace vornik {

namespace {

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int Clamp(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

// Leading number in the given base: "12ab" -> 12, "x" -> 0.
int LeadingNumber(std::string_view text, int base)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    (void)end;
    if (error == std::errc::result_out_of_range)
        return negative ? INT_MIN : INT_MAX;
    if (error != std::errc())
        return 0;
    long long limited = value > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MAX : static_cast<long long>(value);
    return Clamp(negative ? -limited : limited);
}

}  // namespace

ConfigRequest ParseConfigRequest(std::string_view text)
{
    ConfigRequest request;
    std::size_t equals = text.find('=');
    std::string_view head = text.substr(0, equals);
    std::string name;
    std::string index;
    bool inIndex = false;
    for (char c : head) {
        if (c == '[' || c == '(') {
            inIndex = true;
            request.hasIndex = true;
        } else if (c == ']' || c == ')') {
            inIndex = false;
        } else if (inIndex) {
            index += c;
        } else {
            name += c;
        }
    }
    request.name = std::string(Trim(name));
    request.indexText = std::string(Trim(index));
    if (request.hasIndex && !request.indexText.empty()) {
        int parsed = 0;
        const char* begin = request.indexText.data();
        const char* end = begin + request.indexText.size();
        auto [stop, error] = std::from_chars(begin, end, parsed);
        request.index = (error == std::errc() && stop == end) ? parsed : -1;
    }
    if (equals == std::string_view::npos)
        return request;
    request.query = false;
    std::string_view value = text.substr(equals + 1);
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    bool quoted = !value.empty() && value.front() == '"';
    if (quoted)
        value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ')
        value.remove_suffix(1);
    if (quoted && !value.empty() && value.back() == '"')
        value.remove_suffix(1);
    request.value = std::string(value);
    return request;
}

bool ParseBoolSetting(std::string_view value)
{
    return EqualsNoCase(value, "TRUE") || EqualsNoCase(value, "yes") || value == "1";
}

std::string FormatBoolSetting(bool value)
{
    return value ? "True" : "False";
}

int ParseIntSetting(std::string_view value)
{
    value = Trim(value);
    if (EqualsNoCase(value, "TRUE") || EqualsNoCase(value, "yes"))
        return 1;
    if (EqualsNoCase(value, "FALSE") || EqualsNoCase(value, "no"))
        return 0;
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'))
        return LeadingNumber(value.substr(2), 16);
    return LeadingNumber(value, 10);
}

}  // namespace vornik
