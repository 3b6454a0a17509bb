#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

#include "data/measurement_table.h"

namespace qc {

class MeasurementData;

// Measurement files: the report of the table (mode "A") plus CR LF, in
// Windows-1252 with CR LF line ends, in a per-gauge folder of the user data
// folder.
namespace mes {
inline const QString kExtension = QStringLiteral(".mes");
inline const QString kDialogFilter = QStringLiteral("Messdaten (*.mes)");
inline const QString kFolderName = QStringLiteral("mes");
// A file of 5000 readings with a full header is about 300 kB; anything far
// beyond that is not a measurement file and is not read into memory.
inline constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;
inline constexpr int kTimeTextLength = 8;      // "10:15:30"
inline constexpr int kDateLineLength = 10;     // "05.12.2024"
inline constexpr int kDateTimeLength = 22;     // date mode: the date-time part
inline constexpr int kTimeModeUnitWidth = 4;
inline constexpr int kDateModeUnitWidth = 5;
inline constexpr int kValueDecimals = 3;
} // namespace mes

// <data folder>/mes and <data folder>/mes/<gauge number made safe>; without
// a gauge number the measurement folder itself.
QString MeasurementFolder(const QString& dataDir);
QString GaugeFolder(const QString& dataDir, const QString& gaugeNumber);

// The name chosen in the save dialog as the path to write: ".mes" appended
// when the name does not contain ".mes"; empty (nothing to write) for an
// empty name or a single blank.
QString MesSavePath(const QString& chosen);

// How the lines are read. Each line's form (date-time or time in front)
// is told from the line itself; the gauge's date mode only decides the
// "00:00:00" of a reading without date-time. The locale gives the decimal
// separator and the date and time texts.
struct MesReadOptions {
    bool dateMode = false;
    QLocale locale;
};

struct MesContent {
    std::vector<Reading> rows; // at most kMaxRows
    int dataLines = 0;         // data lines found, also those past kMaxRows
    int skippedLines = 0;      // lines after the header without a reading
    bool Truncated() const { return dataLines > kMaxRows; }
};

// Parses the text of a measurement file: header lines up to the first line
// beginning with a digit, an optional date line (older files), then one
// reading per line with a ":" in it. Unit and material are read from their
// own fields; values come back rounded to three decimals.
MesContent ParseMesText(QStringView text, const MesReadOptions& options);

// One data line into `row`; false when the line holds no reading.
bool ParseMesLine(QStringView line, const MesReadOptions& options, Reading& row);

enum class MesFileProblem {
    Missing,      // no such file
    NotAFile,     // a folder, a device, a pipe
    Unreadable,   // no permission, I/O error
    NotText,      // NUL bytes: not a text file
    TooLarge,     // beyond kMaxFileBytes
    FolderFailed, // the folder to save in cannot be created
    WriteFailed,  // writing or replacing failed; the old file is kept
};

struct MesFileError {
    MesFileProblem problem;
    QString path;
    QString detail; // the system's description, when there is one

    // The message box text in the user's language (0 German, 1 English).
    QString Message(int language) const;
};

struct MesReadResult {
    std::optional<MesFileError> error;
    MesContent content;
};

MesReadResult ReadMesFile(const QString& path, const MesReadOptions& options);

// The file's bytes for a report text: the text plus CR LF, Windows-1252.
QByteArray MesFileBytes(const QString& reportText);

// Writes `bytes` to a temporary file in the same folder and renames it over
// `path`, so a failure at any point leaves the previous file as it was.
std::optional<MesFileError> SaveMesFile(const QString& path, QByteArrayView bytes);

// Creates the measurement folder and the gauge folder when missing.
std::optional<MesFileError> EnsureGaugeFolder(const QString& dataDir, const QString& gaugeNumber);

// The file's readings become the memory table: table mode 0, the slot
// cleared, statistics reset and rebuilt, FileLoaded set. Returns the rows stored.
int TakeMesReadings(MeasurementData& data, const std::vector<Reading>& rows, const QDateTime& now);

// Caption of the memory option after opening: "Probe 1.mes (25)".
QString MesMemoryCaption(const QString& path, int count);

// Told after opening a file of more than 5000 readings.
QString MesTruncatedMessage(int language, int dataLines);

} // namespace qc
