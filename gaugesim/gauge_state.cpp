#include "gauge_state.h"

#include <algorithm>
#include <cstdio>

#include "gauge_records.h"
#include "gauge_settings.h"

namespace quen::gaugesim {

namespace {

struct Command {
    std::string name;     // between "$" and "?" or "!"; empty when not a command
    std::string argument; // between "?" and the closing "!"
    bool wellFormed = false;
};

// "$slt?...!" arrives with CR LF after the "!"; line ends and blanks after
// the closing "!" are not part of the command.
Command ParseCommand(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    Command command;
    if (text.empty() || text.front() != protocol::kStart)
        return command;
    const std::size_t nameEnd = text.find_first_of("?!", 1);
    command.name = text.substr(1, nameEnd == std::string::npos ? std::string::npos : nameEnd - 1);
    if (text.back() != protocol::kEnd || nameEnd == std::string::npos)
        return command;
    if (text[nameEnd] == protocol::kArgument)
        command.argument = text.substr(nameEnd + 1, text.size() - nameEnd - 2);
    else if (nameEnd != text.size() - 1)
        return command; // "$ls!x!"
    command.wellFormed = true;
    return command;
}

// A decimal number without sign or padding blanks, as commands carry them.
bool ParseNumber(const std::string& text, long& value)
{
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    value = std::stol(text);
    return true;
}

std::string ErrorReply(const std::string& name)
{
    return std::string(1, protocol::kStart) + protocol::kError + protocol::kArgument + name + protocol::kEnd;
}

std::string Reply(const char* name, const std::string& payload)
{
    return std::string(1, protocol::kStart) + name + protocol::kArgument + payload + protocol::kEnd;
}

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

std::string WithoutNumbers(const std::string& reply)
{
    std::string text = reply;
    const std::size_t question = text.find(protocol::kArgument);
    if (question == std::string::npos)
        return text;
    for (std::size_t i = question + 1; i < text.size(); ++i)
        if (text[i] >= '0' && text[i] <= '9')
            text[i] = 'x';
    return text;
}

GaugeState::GaugeState(GaugeSetup setup)
    : setup_(std::move(setup))
    , random_(setup_.address * 2654435761ULL + 1)
{
}

std::string GaugeState::Configure(const std::string& line, std::time_t hostNow)
{
    std::string key;
    std::string value;
    std::string error;
    if (!SplitSettingLine(line, key, value, error))
        return error.empty() ? "empty setting" : error;
    if (IsFixedSetting(key))
        return "\"" + key + "\" is fixed once the gauge exists";
    const int linkLossBefore = setup_.faults.linkLossAt;
    const int fromBefore = setup_.faults.from;
    GaugeSetup changed = setup_;
    error = ApplySetting(changed, key, value, hostNow);
    if (!error.empty())
        return error;
    setup_ = std::move(changed);
    if (setup_.faults.linkLossAt != linkLossBefore || setup_.faults.from != fromBefore)
        requests_ = 0; // "the k-th request" counts from the moment it was set
    return {};
}

std::string GaugeState::WriteCommand(const std::string& written, Clock::time_point now, std::time_t hostNow)
{
    std::string echo = written;
    if (setup_.echo == EchoStyle::Stripped && !echo.empty() && echo.front() == protocol::kStart)
        echo.erase(0, 1);
    pending_.reset();
    const bool faulting = Faulting();
    if (faulting && setup_.faults.silent)
        return echo;
    std::string reply = Answer(written, hostNow);
    if (faulting && setup_.faults.garbage)
        reply = Garbage();
    else if (faulting && setup_.faults.nonNumeric)
        reply = WithoutNumbers(reply);
    pending_ = PendingReply{std::move(reply), now};
    return echo;
}

std::optional<std::string> GaugeState::DueReply(Clock::time_point now)
{
    const auto delay = setup_.faults.lateReply.count() > 0 && Faulting() ? setup_.faults.lateReply : setup_.replyDelay;
    if (!pending_ || now - pending_->written < delay)
        return std::nullopt;
    std::string reply = std::move(pending_->text);
    pending_.reset();
    return reply;
}

std::string GaugeState::Answer(const std::string& text, std::time_t hostNow)
{
    const Command command = ParseCommand(text);
    if (!command.wellFormed)
        return ErrorReply(command.name);
    const bool files = setup_.gaugeClass == GaugeClass::MemoryFiles;
    const std::string& name = command.name;
    if (name == protocol::kIdentify)
        return Reply(protocol::kIdentify, setup_.quen00);
    if (name == protocol::kBattery)
        return Reply(protocol::kBattery, setup_.battery);
    if (name == protocol::kGetClock)
        return Reply(protocol::kGetClock, ClockText(ClockNow(hostNow)));
    if (name == protocol::kSetClock)
        return AnswerSetClock(command.argument, hostNow);
    if (files && name == protocol::kProbeInfo)
        return Reply(protocol::kProbeInfo, setup_.gpi);
    if (files && name == protocol::kList)
        return Listing();
    if (files && name == protocol::kOpen)
        return AnswerOpen(command.argument);
    if (files && name == protocol::kRead)
        return AnswerRead(command.argument);
    if (files && name == protocol::kClose)
        return AnswerClose(command.argument);
    return ErrorReply(name);
}

std::string GaugeState::AnswerSetClock(const std::string& argument, std::time_t hostNow)
{
    GaugeTime time;
    std::time_t when = 0;
    if (!ParseClockText(argument, time) || !FromGaugeTime(time, when))
        return Reply(protocol::kSetClock, std::to_string(protocol::kResultFailed));
    setup_.clockOffsetSeconds = static_cast<std::int64_t>(when) - static_cast<std::int64_t>(hostNow);
    return Reply(protocol::kSetClock, std::to_string(protocol::kResultOk));
}

std::string GaugeState::Listing() const
{
    // "$ls?0003 files m0001 s0002 t0003!": 14 characters before the names.
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "$ls?%04zu files", setup_.files.size() % 10000);
    std::string text = prefix;
    for (const MemoryFile& file : setup_.files)
        text += " " + file.name;
    return text + protocol::kEnd;
}

std::string GaugeState::AnswerOpen(const std::string& argument)
{
    // "$fr?m0001!" -> "$fr?3 1234!" (handle, size); "$fr?0 0!" for no such file.
    for (std::size_t i = 0; i < setup_.files.size(); ++i) {
        if (setup_.files[i].name != argument)
            continue;
        const int handle = nextHandle_;
        nextHandle_ = nextHandle_ >= 32767 ? 1 : nextHandle_ + 1;
        open_[handle] = OpenFile{i, 0};
        const std::uint64_t size = setup_.files[i].bytes.size() + setup_.faults.sizeOverstatement;
        return Reply(protocol::kOpen, std::to_string(handle) + " " + std::to_string(size));
    }
    return Reply(protocol::kOpen, "0 0");
}

std::string GaugeState::AnswerRead(const std::string& argument)
{
    // "$rd?3 32!" -> "$rd?3 0 32 0A0B...!": handle, result, byte count in two
    // digits, the bytes in hexadecimal.
    const std::size_t blank = argument.find(' ');
    long handle = 0;
    long count = 0;
    if (blank == std::string::npos || !ParseNumber(argument.substr(0, blank), handle) ||
        !ParseNumber(argument.substr(blank + 1), count))
        return ErrorReply(protocol::kRead);
    auto found = open_.find(static_cast<int>(handle));
    if (found == open_.end())
        return Reply(protocol::kRead, std::to_string(handle) + " " + std::to_string(protocol::kResultFailed) + " 00");
    const std::string& bytes = setup_.files[found->second.file].bytes;
    const std::size_t position = std::min(found->second.position, bytes.size());
    const std::size_t n = std::min({static_cast<std::size_t>(count), protocol::kMaxBlock, bytes.size() - position});
    found->second.position = position + n;
    char header[48];
    std::snprintf(header, sizeof header, "%ld %d %02zu ", handle, protocol::kResultOk, n);
    return Reply(protocol::kRead, header + HexText(bytes.substr(position, n)));
}

std::string GaugeState::AnswerClose(const std::string& argument)
{
    long handle = 0;
    if (!ParseNumber(argument, handle))
        return ErrorReply(protocol::kClose);
    auto found = open_.find(static_cast<int>(handle));
    if (found == open_.end())
        return Reply(protocol::kClose, std::to_string(handle) + " " + std::to_string(protocol::kResultFailed));
    const int result = setup_.faults.closeResult;
    if (result == protocol::kResultOk)
        open_.erase(found);
    return Reply(protocol::kClose, std::to_string(handle) + " " + std::to_string(result));
}

std::string GaugeState::DirectoryText() const
{
    // "3\n1,250\n2,0\n3,5000": the count, then one "name,count" line each.
    std::string text = std::to_string(setup_.memories.size());
    for (const RecordMemory& memory : setup_.memories) {
        const long listed =
            std::max<long>(0, static_cast<long>(memory.records.size()) + setup_.faults.directoryCountOffset);
        text += "\n" + memory.name + "," + std::to_string(listed);
    }
    return text;
}

void GaugeState::Select(const std::string& written)
{
    const std::string name = Trim(written);
    selected_.reset();
    dataPosition_ = 0;
    if (name == protocol::kReleaseSelection)
        return;
    for (std::size_t i = 0; i < setup_.memories.size(); ++i)
        if (setup_.memories[i].name == name)
            selected_ = i;
    long wanted = 0;
    if (!selected_ && ParseNumber(name, wanted)) { // "01" selects memory "1"
        for (std::size_t i = 0; i < setup_.memories.size(); ++i) {
            long number = 0;
            if (ParseNumber(setup_.memories[i].name, number) && number == wanted)
                selected_ = i;
        }
    }
}

std::string GaugeState::NextData()
{
    if (!selected_)
        return {};
    const std::vector<std::string>& records = setup_.memories[*selected_].records;
    std::string value;
    for (std::size_t n = 0; n < protocol::kRecordsPerRead && dataPosition_ < records.size(); ++n) {
        if (n > 0)
            value += '\n';
        value += records[dataPosition_++];
    }
    return value;
}

GaugeTime GaugeState::ClockNow(std::time_t hostNow) const
{
    return ToGaugeTime(static_cast<std::time_t>(hostNow + setup_.clockOffsetSeconds));
}

std::string GaugeState::NextLiveValue(std::time_t hostNow)
{
    const ReadingStyle& style = setup_.reading;
    RecordReading reading{++liveNumber_, RandomReading(), style.decimals,
                          style.unit,    style.material,  ClockNow(hostNow)};
    if (!style.dualProbe)
        return LiveValue({reading});
    // A dual probe measures the whole coating over steel and the non-ferrous
    // layer in one go: "DFE" and "DNF".
    RecordReading layer = reading;
    reading.material = "DFE";
    layer.material = "DNF";
    layer.value = reading.value * 0.4;
    return LiveValue({reading, layer});
}

bool GaugeState::Faulting() const { return setup_.faults.from <= 0 || requests_ >= setup_.faults.from; }

std::uint8_t GaugeState::AttError(bool write) const
{
    const FaultModes& faults = setup_.faults;
    if (faults.attError == 0 || !Faulting())
        return 0;
    const bool refused = faults.attErrorOn == AttErrorOn::Both || (faults.attErrorOn == AttErrorOn::Writes) == write;
    return refused ? faults.attError : 0;
}

bool GaugeState::CountRequest()
{
    ++requests_;
    if (setup_.faults.linkLossAt <= 0 || requests_ != setup_.faults.linkLossAt)
        return false;
    setup_.faults.linkLossAt = 0; // once
    return true;
}

std::uint64_t GaugeState::Random()
{
    // xorshift64: deterministic per gauge, so a run can be repeated.
    random_ ^= random_ << 13;
    random_ ^= random_ >> 7;
    random_ ^= random_ << 17;
    return random_;
}

double GaugeState::RandomReading()
{
    const double unit = static_cast<double>(Random() % 1000001) / 1000000.0;
    return setup_.reading.low + unit * (setup_.reading.high - setup_.reading.low);
}

std::string GaugeState::Garbage()
{
    std::string bytes(1 + Random() % 24, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(Random() & 0xFF);
    return bytes;
}

} // namespace quen::gaugesim
