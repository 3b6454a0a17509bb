// Everything one simulated gauge is made of: its advertisement, its
// identification, its memories and the ways it misbehaves on purpose.
// Built-in gauges and gauges loaded from a content folder end up here.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace quen::gaugesim {

// Memory access of the gauge: "4" memory service, "5" memory files.
enum class GaugeClass { MemoryService, MemoryFiles };

// Which main service the gauge offers the command characteristic in.
enum class MainService { Main, Alternative };

// What the command characteristic holds between a write and the reply.
enum class EchoStyle {
    Written,  // the written bytes as they are, as a real gauge shows them
    Stripped, // the command without its leading "$"
};

// Which requests an ATT error refuses.
enum class AttErrorOn { Reads, Writes, Both };

// Misbehaviour on purpose. All off by default.
struct FaultModes {
    bool silent = false;                    // no reply ever: the echo stays
    bool garbage = false;                   // the reply is random bytes
    bool nonNumeric = false;                // every digit after the reply's "?" becomes "x"
    std::chrono::milliseconds lateReply{0}; // replaces the reply delay when not 0
    int from = 0;       // silent, garbage, non-numeric, late, ATT error act from this request on; 0 at once
    int linkLossAt = 0; // the link drops at this request (1-based); 0 off
    std::chrono::milliseconds linkReturn{3000}; // the gauge is back after this
    int directoryCountOffset = 0;               // added to each listed count
    std::uint32_t sizeOverstatement = 0;        // added to the "$fr" size
    int closeResult = 0;                        // result field of "$fc"
    // Reads and/or writes of the gauge's characteristics (and its live
    // subscription) answered with this ATT error, as a gauge whose memory
    // is busy does; 0 off.
    std::uint8_t attError = 0;
    AttErrorOn attErrorOn = AttErrorOn::Both;

    bool operator==(const FaultModes&) const = default;
};

// How the gauge makes up readings taken "now" (live readings).
struct ReadingStyle {
    std::string unit = "ym";     // as the record's unit column shows it
    std::string material = "FE"; // material column; a dual probe alternates
    double low = 20.0;
    double high = 250.0;
    int decimals = 1;
    bool dualProbe = false;     // live readings come as two-reading "DNF" records
    std::uint8_t probeCode = 0; // class 5 "m" records
};

// A class 4 memory: its number (as the directory lists it) and its records.
struct RecordMemory {
    std::string name;
    std::vector<std::string> records;
};

// A class 5 memory file: its name and its raw content.
struct MemoryFile {
    std::string name;
    std::string bytes;
};

struct GaugeSetup {
    std::string model; // row of the model table: "PEL", "QV", "GV-4", ...
    std::string name;  // advertised name
    std::uint64_t address = 0;
    GaugeClass gaugeClass = GaugeClass::MemoryService;
    MainService service = MainService::Main;
    std::string quen00;                  // identification fields between "$quen00?" and "!"
    std::string gpi;                     // extended identification between "$gpi?" and "!"
    std::string battery = "1.45";        // "$gcv" payload as sent
    std::int64_t clockOffsetSeconds = 0; // gauge clock minus host clock
    std::chrono::milliseconds replyDelay{100};
    std::chrono::milliseconds liveInterval{0}; // 0: live readings on demand only
    EchoStyle echo = EchoStyle::Written;
    FaultModes faults;
    ReadingStyle reading;
    std::vector<RecordMemory> memories; // class 4
    std::vector<MemoryFile> files;      // class 5
};

// "E8C04D000101" for the address; empty for one that does not fit in 48 bits.
std::string AddressText(std::uint64_t address);
// Twelve hexadecimal digits (either case); false otherwise.
bool ParseAddress(const std::string& text, std::uint64_t& address);

} // namespace quen::gaugesim
