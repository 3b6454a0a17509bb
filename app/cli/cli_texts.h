// What quenconnect-cli tells on standard error and its help, in German
// (language 0) and English (1).
#pragma once

#include <QString>

#include "cli/cli_options.h"

namespace qc::cli {

enum class Text {
    TryHelp,   // %1 the program name
    NoControl, // %1 the reason
    NoAdapter,
    GaugeNotFound, // %1 the address
    ScanFailed,    // %1 the reason
    NoGaugesFound,
    UnknownModel, // %1 the model, %2 the known ones
    WriteFailed,  // %1 the path, %2 the reason
    Written,      // %1 the path
    Interrupted,
    Connecting, // %1 the address
    Scanning,
    WaitingForReadings,
    ClockSet,      // %1 the clock the gauge shows now
    ClockNotTaken, // %1 the time sent, %2 what the gauge shows
    DemoBuiltIn,
    DemoFolder,       // %1 the folder
    FewerReadings,    // %1 readings taken, %2 asked for
    MemoryNotOffered, // %1 the memory asked for, %2 those the gauge offers
    ReadProgress,     // %1 readings received, %2 expected
    Identifying,
    ReadingMemory, // %1 the memory
    InfoAddress,
    InfoName,
    InfoModel,
    InfoProfile,
    InfoUnit,
    InfoBattery,
    InfoClock,
};

QString CliText(int language, Text text);

// The message of a refused command line.
QString UsageText(int language, UsageProblem problem, const QString& detail);

// --help: the overview (Subcommand::None) or one subcommand's help.
QString HelpText(int language, Subcommand command);

} // namespace qc::cli
