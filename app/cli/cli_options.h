// The command line of quenconnect-cli: a subcommand, its arguments and the
// options, checked before anything is done.
#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

namespace qc::cli {

enum class Subcommand { None, Scan, Info, Memories, Read, Live, SetTime, Report, Convert };

// What the program ends with.
enum ExitCode {
    kExitDone = 0,
    kExitUsage = 1,         // bad usage, or a subcommand this build cannot run
    kExitNotFound = 2,      // no adapter, or the gauge was not found
    kExitNoAnswer = 3,      // the gauge did not answer (in time, or as asked)
    kExitFile = 4,          // a file could not be read or written
    kExitInterrupted = 130, // Ctrl-C or SIGTERM ended a wait
};

// Limits given on the command line; each replaces the gauge's stored one.
struct LimitOptions {
    std::optional<double> minimum;
    std::optional<double> maximum;
    std::optional<double> target;
    std::optional<bool> rule8020;
    bool Any() const { return minimum || maximum || target || rule8020; }
};

struct Options {
    Subcommand command = Subcommand::None;
    bool help = false;           // --help: the subcommand's help (or the overview)
    std::optional<int> language; // --lang de|en
    QString settingsDir;         // --settings DIR
    QString dataDir;             // --data DIR
    bool simulate = false;       // --simulate [FOLDER]
    QString simulateFolder;
    std::optional<std::chrono::milliseconds> timeout; // --timeout SECONDS
    bool json = false;

    QString address;                    // 12 hexadecimal digits, upper case, no separators
    QString memory;                     // read: the memory's number or file name
    QString file;                       // report, convert: the measurement file
    QString output;                     // -o FILE
    QString mode = QStringLiteral("A"); // report --mode
    bool noChart = false;
    std::optional<int> count;                          // live --count N
    std::optional<std::chrono::milliseconds> duration; // scan and live --seconds S
    QString gauge;                                     // --gauge NUMBER: whose settings to use
    QString model;                                     // --model CODE: whose profile to use
    LimitOptions limits;
};

// Why the command line was refused; the text is made in the chosen language.
enum class UsageProblem {
    None,
    NoSubcommand,
    UnknownSubcommand, // detail: the word
    UnknownOption,     // detail: the option
    MissingValue,      // detail: the option
    BadValue,          // detail: option and value
    MissingArgument,   // detail: the argument's name
    ExtraArgument,     // detail: the argument
    BadAddress,        // detail: the text
    OptionNotHere,     // detail: the option (not for this subcommand)
    NoOutput,          // convert without -o
    UnknownFormat,     // detail: the file name
    NoSuchFolder,      // --simulate, --settings, --data: detail the folder
};

struct ParseResult {
    Options options;
    UsageProblem problem = UsageProblem::None;
    QString detail;
    bool ok() const { return problem == UsageProblem::None; }
};

// The arguments without the program name.
ParseResult ParseArguments(const QStringList& arguments);

// The language a command line asks for with --lang, also when the rest of
// it is refused, so the refusal is told in that language.
std::optional<int> LanguageOf(const QStringList& arguments);

// The word of a subcommand ("set-time") and back; None for an unknown word.
QString SubcommandName(Subcommand command);
Subcommand SubcommandOf(const QString& word);

// "E8:C0:4D:00:04:04", "e8c04d000404" -> "E8C04D000404"; empty when the
// text is not twelve hexadecimal digits (with or without colons).
QString NormaliseAddress(const QString& text);

// A number of the command line: "." or "," as decimal separator, no
// grouping, finite; nothing otherwise.
std::optional<double> ParseNumber(const QString& text);

} // namespace qc::cli
