// A gauge's answers, as pure state: what the command characteristic shows
// after a write and when the reply replaces the echo, the memory directory
// and data of class 4 gauges, the open files of class 5 gauges, the clock
// and the live readings. No BLE here: the peripheral binds this to the
// simulated radio.
#pragma once

#include <chrono>
#include <ctime>
#include <map>
#include <optional>
#include <string>

#include "gauge_records.h"
#include "gauge_setup.h"

namespace quen::gaugesim {

namespace protocol {
inline constexpr char kStart = '$';
inline constexpr char kArgument = '?';
inline constexpr char kEnd = '!';
inline constexpr char kIdentify[] = "quen00";
inline constexpr char kProbeInfo[] = "gpi";
inline constexpr char kBattery[] = "gcv";
inline constexpr char kGetClock[] = "glt";
inline constexpr char kSetClock[] = "slt";
inline constexpr char kList[] = "ls";
inline constexpr char kOpen[] = "fr";
inline constexpr char kRead[] = "rd";
inline constexpr char kClose[] = "fc";
inline constexpr char kError[] = "err";              // the gauge's answer to what it does not know
inline constexpr std::size_t kListPrefixLength = 14; // "$ls?0007 files"
inline constexpr std::size_t kMaxBlock = 32;         // bytes a "$rd" returns at most
inline constexpr std::size_t kRecordsPerRead = 5;    // class 4 data read
inline constexpr char kReleaseSelection[] = "-";
inline constexpr int kResultOk = 0;
inline constexpr int kResultFailed = 1;
} // namespace protocol

class GaugeState {
public:
    using Clock = std::chrono::steady_clock;

    explicit GaugeState(GaugeSetup setup);

    const GaugeSetup& Setup() const { return setup_; }
    // A run-time change in the syntax of the description file; "" or why
    // it was refused.
    std::string Configure(const std::string& line, std::time_t hostNow);

    // Command characteristic. A write returns what the characteristic
    // shows at once (the echo); the reply is due reply-delay later.
    std::string WriteCommand(const std::string& written, Clock::time_point now, std::time_t hostNow);
    // The reply when it has become due since the last call, else nothing.
    std::optional<std::string> DueReply(Clock::time_point now);
    bool ReplyPending() const { return pending_.has_value(); }

    // The reply to one command (the protocol without timing and faults).
    std::string Answer(const std::string& command, std::time_t hostNow);

    // Class 4 memory service.
    std::string DirectoryText() const;
    void Select(const std::string& written);
    std::string NextData();

    // Live reading value (one record, or two for a dual probe).
    std::string NextLiveValue(std::time_t hostNow);

    // Counts a request; true when the link is to drop at this one (once).
    bool CountRequest();
    // Whether the reply faults act at the request counted last.
    bool Faulting() const;
    // The ATT error a read or a write gets now; 0 when it is answered.
    std::uint8_t AttError(bool write) const;

    GaugeTime ClockNow(std::time_t hostNow) const;

private:
    struct OpenFile {
        std::size_t file = 0;
        std::size_t position = 0;
    };
    struct PendingReply {
        std::string text;
        Clock::time_point written;
    };

    std::string AnswerOpen(const std::string& argument);
    std::string AnswerRead(const std::string& argument);
    std::string AnswerClose(const std::string& argument);
    std::string AnswerSetClock(const std::string& argument, std::time_t hostNow);
    std::string Listing() const;
    std::string Garbage();
    std::uint64_t Random();
    double RandomReading();

    GaugeSetup setup_;
    std::optional<PendingReply> pending_;
    std::map<int, OpenFile> open_;
    int nextHandle_ = 1;
    std::optional<std::size_t> selected_; // index into setup_.memories
    std::size_t dataPosition_ = 0;
    int liveNumber_ = 0;
    int requests_ = 0;
    std::uint64_t random_;
};

// Every digit after the reply's "?" replaced by "x": "$fr?3 1234!" -> "$fr?x xxxx!".
std::string WithoutNumbers(const std::string& reply);

} // namespace quen::gaugesim
