// The memory files of class 5 gauges: a 160-byte header and records, sent
// as hexadecimal text. Pure functions of the bytes, so any input can be
// thrown at them.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "data/gauge_profile.h"
#include "data/measurement_table.h"

namespace qc {

namespace memory_file {
inline constexpr int kHeaderSize = 160;
inline constexpr int kFloatRecordSize = 4; // "s" and "t" files
inline constexpr int kFullRecordSize = 16; // "m" files
inline constexpr int kFloatCount = 7;
// No memory holds more than 5000 full records; a size above this is not a
// memory file.
inline constexpr qint64 kMaxFileSize = kHeaderSize + qint64(kFullRecordSize) * kMaxRows;
} // namespace memory_file

enum class FileKind { Unknown, Series, Trace, Full }; // "s", "t", "m"

// The kind from the first two characters of the name ("s", "t" or "m"
// among them, tested in that order).
FileKind FileKindOf(const QString& fileName);
int RecordSize(FileKind kind);

struct FileHeader {
    quint8 FirstNumber = 0;
    QString TwoDigits;
    QString Comment; // NUL bytes dropped
    QDateTime Taken; // invalid when the bytes are no date
    quint16 ValueCount = 0;
    quint16 SecondCount = 0;
    std::array<float, memory_file::kFloatCount> Floats{};
};

// Date and time of 6 bytes: second, minute, hour, day, month, year - 2000.
QDateTime GaugeDateTime(const char* sixBytes);

// Hexadecimal text to bytes; nullopt for an odd length or a non-hex digit.
std::optional<QByteArray> HexBytes(const QString& hex);

// Probe text of a probe code 0..9; empty for the codes 10..15 that keep the
// text of the record before.
QString ProbeText(int code);

struct DecodedFile {
    bool HeaderComplete = false;
    FileHeader Header;
    bool Empty = true;         // no complete record after the header
    std::vector<Reading> Rows; // "s" and "m" files
    std::vector<double> Trace; // "t" files, in the display unit
    int InvalidSkipped = 0;    // "m" records flagged not valid
    int Refused = 0;           // values that are no finite reading
    int BeyondTable = 0;       // readings past the 5000 rows of the table
    int PartialBytes = 0;      // bytes of a record cut short at the end
};

// Decodes the file as far as its bytes go: the header, then every complete
// record. Values are converted from the gauge's base unit to GaugeUnit and
// rounded as the table shows them; dates use the locale's formats.
DecodedFile DecodeMemoryFile(const QByteArray& bytes, const QString& fileName, const GaugeContext& gauge,
                             const QLocale& locale = QLocale());

// Lines of the statistics list for a trace file: count, minimum, maximum,
// average, standard deviation and pulse time from the header floats. F1,
// F2, F4 and F5 are statistics of the samples in the gauge's base unit and
// are converted to the display unit like the samples; F7 is in ms.
QStringList TraceStatisticsLines(const FileHeader& header, const QString& caption, const GaugeContext& gauge,
                                 int language, const QLocale& locale = QLocale());

} // namespace qc
