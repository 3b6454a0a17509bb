#include "gauge_settings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "gauge_records.h"

namespace quen::gaugesim {

namespace {

constexpr const char* kFixedKeys[] = {"model", "name", "address", "class", "service"};
constexpr long kMaxMillis = 24L * 3600 * 1000;
constexpr std::size_t kMaxNameLength = 26; // beside the flags in one advertising packet

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool ParseLong(const std::string& text, long low, long high, long& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseDouble(const std::string& text, double& value)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double parsed = 0.0;
    if (!(in >> parsed) || !in.eof() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool Printable(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c != '\x7F'; });
}

// Fields of an identification reply may not hold the characters that end
// a field or the reply.
bool IdentificationText(const std::string& text) { return Printable(text) && text.find('!') == std::string::npos; }

std::string Millis(const std::string& key, const std::string& value, std::chrono::milliseconds& out)
{
    long millis = 0;
    if (!ParseLong(value, 0, kMaxMillis, millis))
        return key + ": \"" + value + "\" is not a number of milliseconds (0 to " + std::to_string(kMaxMillis) + ")";
    out = std::chrono::milliseconds(millis);
    return {};
}

// An ATT error code as the Bluetooth tables give it ("0x0E") or in
// decimal ("14"); 0 is success, not an error.
bool ParseAttCode(const std::string& text, std::uint8_t& code)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [&](char c) {
            return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
        }))
        return false;
    const unsigned long value = digits.size() > 3 ? 0 : std::stoul(digits, nullptr, hex ? 16 : 10);
    if (value < 1 || value > 0xFF)
        return false;
    code = static_cast<std::uint8_t>(value);
    return true;
}

// "att-error [code] [reads|writes]": 0x0E ("unlikely error") on both unless given.
bool ApplyAttError(FaultModes& faults, const std::vector<std::string>& words)
{
    if (words.size() > 3)
        return false;
    std::uint8_t code = 0x0E;
    if (words.size() > 1 && !ParseAttCode(words[1], code))
        return false;
    AttErrorOn on = AttErrorOn::Both;
    if (words.size() > 2) {
        if (words[2] != "reads" && words[2] != "writes")
            return false;
        on = words[2] == "reads" ? AttErrorOn::Reads : AttErrorOn::Writes;
    }
    faults.attError = code;
    faults.attErrorOn = on;
    return true;
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

} // namespace

bool SplitSettingLine(const std::string& line, std::string& key, std::string& value, std::string& error)
{
    error.clear();
    const std::string text = Trim(line);
    if (text.empty() || text.front() == '#')
        return false;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        error = "\"" + text + "\" is not \"key = value\"";
        return false;
    }
    key = Trim(text.substr(0, equals));
    value = Trim(text.substr(equals + 1));
    if (key.empty()) {
        error = "\"" + text + "\" has no key";
        return false;
    }
    return true;
}

bool IsFixedSetting(const std::string& key)
{
    return std::find(std::begin(kFixedKeys), std::end(kFixedKeys), key) != std::end(kFixedKeys);
}

std::string ApplyFault(GaugeSetup& setup, const std::string& value)
{
    const std::vector<std::string> words = Words(value);
    if (words.empty())
        return "fault: no mode given";
    const std::string& mode = words[0];
    const std::size_t arguments = words.size() - 1;
    FaultModes& faults = setup.faults;
    long number = 0;
    auto argument = [&](std::size_t i, long low, long high, long fallback) -> bool {
        if (arguments < i) {
            number = fallback;
            return true;
        }
        return ParseLong(words[i], low, high, number);
    };
    auto bad = [&]() { return "fault: bad argument in \"" + value + "\""; };
    if ((mode == "none" || mode == "silent" || mode == "garbage" || mode == "non-numeric") && arguments > 0)
        return bad();
    if (mode == "none") {
        faults = FaultModes{};
    } else if (mode == "silent") {
        faults.silent = true;
    } else if (mode == "garbage") {
        faults.garbage = true;
    } else if (mode == "non-numeric") {
        faults.nonNumeric = true;
    } else if (mode == "late") {
        if (arguments > 1 || !argument(1, 1, kMaxMillis, 3000))
            return bad();
        faults.lateReply = std::chrono::milliseconds(number);
    } else if (mode == "from") {
        if (arguments != 1 || !argument(1, 1, 1000000, 1))
            return bad();
        faults.from = static_cast<int>(number);
    } else if (mode == "link-loss") {
        if (arguments < 1 || arguments > 2 || !argument(1, 1, 1000000, 1))
            return bad();
        const long at = number;
        if (!argument(2, 0, kMaxMillis, 3000))
            return bad();
        faults.linkLossAt = static_cast<int>(at);
        faults.linkReturn = std::chrono::milliseconds(number);
    } else if (mode == "count-mismatch") {
        if (arguments > 1 || !argument(1, -100000, 100000, 2))
            return bad();
        faults.directoryCountOffset = static_cast<int>(number);
    } else if (mode == "size-overstated") {
        if (arguments > 1 || !argument(1, 1, 1000000, 64))
            return bad();
        faults.sizeOverstatement = static_cast<std::uint32_t>(number);
    } else if (mode == "close-fails") {
        if (arguments > 1 || !argument(1, 1, 32767, 1))
            return bad();
        faults.closeResult = static_cast<int>(number);
    } else if (mode == "att-error") {
        if (!ApplyAttError(faults, words))
            return bad();
    } else {
        return "fault: unknown mode \"" + mode +
               "\" (none, silent, garbage, non-numeric, late, from, link-loss, count-mismatch, size-overstated, "
               "close-fails, att-error)";
    }
    return {};
}

namespace {

// Each group answers nullopt for a key that is not one of its own.
std::optional<std::string> ApplyIdentity(GaugeSetup& setup, const std::string& key, const std::string& value,
                                         std::time_t hostNow)
{
    if (key == "name") {
        if (value.empty() || value.size() > kMaxNameLength || !Printable(value))
            return "name: 1 to " + std::to_string(kMaxNameLength) + " printable characters";
        setup.name = value;
    } else if (key == "address") {
        if (!ParseAddress(value, setup.address))
            return "address: twelve hexadecimal digits, not \"" + value + "\"";
    } else if (key == "class") {
        if (value != "4" && value != "5")
            return "class: 4 or 5, not \"" + value + "\"";
        setup.gaugeClass = value == "4" ? GaugeClass::MemoryService : GaugeClass::MemoryFiles;
    } else if (key == "service") {
        if (value != "main" && value != "alternative")
            return "service: main or alternative, not \"" + value + "\"";
        setup.service = value == "main" ? MainService::Main : MainService::Alternative;
    } else if (key == "quen00" || key == "gpi" || key == "battery") {
        if (!IdentificationText(value))
            return key + ": printable text without \"!\"";
        (key == "quen00" ? setup.quen00 : key == "gpi" ? setup.gpi : setup.battery) = value;
    } else if (key == "clock") {
        GaugeTime time;
        std::time_t when = hostNow;
        if (value != "host" && (!ParseClockText(value, time) || !FromGaugeTime(time, when)))
            return "clock: \"host\" or yyyy-mm-dd/hh:nn:ss, not \"" + value + "\"";
        setup.clockOffsetSeconds = static_cast<std::int64_t>(when) - static_cast<std::int64_t>(hostNow);
    } else {
        return std::nullopt;
    }
    return std::string();
}

std::optional<std::string> ApplyReadingStyle(GaugeSetup& setup, const std::string& key, const std::string& value)
{
    if (key == "live_unit" || key == "live_material") {
        if (value.empty() || value.size() > (key == "live_unit" ? 4u : 3u) || !Printable(value))
            return key + ": 1 to " + (key == "live_unit" ? "4" : "3") + " printable characters";
        (key == "live_unit" ? setup.reading.unit : setup.reading.material) = value;
    } else if (key == "live_range") {
        const std::vector<std::string> words = Words(value);
        double low = 0.0;
        double high = 0.0;
        if (words.size() != 2 || !ParseDouble(words[0], low) || !ParseDouble(words[1], high) || low > high ||
            std::fabs(low) > 1e6 || std::fabs(high) > 1e6)
            return "live_range: two numbers, low and high (within +-1000000)";
        setup.reading.low = low;
        setup.reading.high = high;
    } else if (key == "live_decimals") {
        long decimals = 0;
        if (!ParseLong(value, 0, 3, decimals))
            return "live_decimals: 0 to 3";
        setup.reading.decimals = static_cast<int>(decimals);
    } else if (key == "dual_probe") {
        if (value != "yes" && value != "no")
            return "dual_probe: yes or no";
        setup.reading.dualProbe = value == "yes";
    } else {
        return std::nullopt;
    }
    return std::string();
}

} // namespace

std::string ApplySetting(GaugeSetup& setup, const std::string& key, const std::string& value, std::time_t hostNow)
{
    if (key == "model")
        return "model: given once, before the other settings";
    if (auto result = ApplyIdentity(setup, key, value, hostNow))
        return *result;
    if (auto result = ApplyReadingStyle(setup, key, value))
        return *result;
    if (key == "reply_delay")
        return Millis(key, value, setup.replyDelay);
    if (key == "live_interval")
        return Millis(key, value, setup.liveInterval);
    if (key == "echo") {
        if (value != "stripped" && value != "written")
            return "echo: stripped or written, not \"" + value + "\"";
        setup.echo = value == "stripped" ? EchoStyle::Stripped : EchoStyle::Written;
        return {};
    }
    if (key == "fault")
        return ApplyFault(setup, value);
    return "unknown key \"" + key + "\"";
}

std::string AddressText(std::uint64_t address)
{
    if (address > 0xFFFFFFFFFFFFULL)
        return {};
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(12, '0');
    for (int i = 11; i >= 0; --i, address >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[address & 0x0F];
    return text;
}

bool ParseAddress(const std::string& text, std::uint64_t& address)
{
    auto hexDigit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    if (text.size() != 12 || !std::all_of(text.begin(), text.end(), hexDigit))
        return false;
    address = std::stoull(text, nullptr, 16);
    return true;
}

} // namespace quen::gaugesim
