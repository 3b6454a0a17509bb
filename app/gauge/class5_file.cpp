#include "gauge/class5_file.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

#include "data/record_text.h"
#include "data/units.h"
#include "shell/texts.h"

namespace qc {
namespace {

namespace layout {
constexpr int kFirstNumber = 4;
constexpr int kTwoDigits = 6;
constexpr int kComment = 8;
constexpr int kCommentSize = 114;
constexpr int kDateTime = 122;
constexpr int kValueCount = 128;
constexpr int kSecondCount = 130;
constexpr int kFloats = 132;
// "m" records
constexpr int kFlags = 1;
constexpr int kRecordTime = 2;
constexpr int kRecordValue = 8;
constexpr int kRecordNumber = 12;
constexpr quint8 kInvalidFlag = 0x80;
constexpr quint8 kProbeMask = 0x0F;
} // namespace layout

const char* const kProbeTexts[] = {"FE", "NF", "DFE", "DNF", "DC", "AC", "PDC", "PAC", "ZP", "PZP"};

constexpr int kStatLabel = 14;
constexpr int kStatValue = 10;
constexpr int kStatCount = 1, kStatMax = 2, kStatMin = 3, kStatMean = 4, kStatStdDev = 5, kStatPulse = 15;

float FloatAt(const char* p)
{
    const quint32 bits = qFromLittleEndian<quint32>(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The value as the table keeps it, or nothing when it is no reading.
std::optional<double> TableValue(double raw, const GaugeContext& gauge)
{
    if (!std::isfinite(raw) || std::fabs(raw) > kMaxReadingMagnitude)
        return std::nullopt;
    const QString& unit = gauge.identity.GaugeUnit;
    const double converted = ConvertUnit(raw, unit, gauge.identity);
    if (!std::isfinite(converted) || std::fabs(converted) > kMaxReadingMagnitude)
        return std::nullopt;
    return RoundedValue(converted, unit, gauge.profile);
}

QString Fixed2(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return QStringLiteral("-");
    QString text = QString::number(value, 'f', 2);
    text.replace(u'.', locale.decimalPoint());
    return text;
}

} // namespace

FileKind FileKindOf(const QString& fileName)
{
    const QString head = fileName.trimmed().left(2);
    if (head.contains(u's'))
        return FileKind::Series;
    if (head.contains(u't'))
        return FileKind::Trace;
    if (head.contains(u'm'))
        return FileKind::Full;
    return FileKind::Unknown;
}

int RecordSize(FileKind kind)
{
    switch (kind) {
    case FileKind::Series:
    case FileKind::Trace:
        return memory_file::kFloatRecordSize;
    case FileKind::Full:
        return memory_file::kFullRecordSize;
    case FileKind::Unknown:
        break;
    }
    return 0;
}

QDateTime GaugeDateTime(const char* b)
{
    const auto u = [b](int i) { return static_cast<int>(static_cast<quint8>(b[i])); };
    const QDate date(2000 + u(5), u(4), u(3));
    const QTime time(u(2), u(1), u(0));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

std::optional<QByteArray> HexBytes(const QString& hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    for (QChar c : hex)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f')))
            return std::nullopt;
    return QByteArray::fromHex(hex.toLatin1());
}

QString ProbeText(int code)
{
    if (code >= 0 && code < int(std::size(kProbeTexts)))
        return QLatin1String(kProbeTexts[code]);
    return {};
}

DecodedFile DecodeMemoryFile(const QByteArray& bytes, const QString& fileName, const GaugeContext& gauge,
                             const QLocale& locale)
{
    DecodedFile out;
    if (bytes.size() < memory_file::kHeaderSize)
        return out;
    const char* h = bytes.constData();
    out.HeaderComplete = true;
    FileHeader& header = out.Header;
    header.FirstNumber = static_cast<quint8>(h[layout::kFirstNumber]);
    header.TwoDigits = QString::fromLatin1(h + layout::kTwoDigits, 2);
    QByteArray comment(h + layout::kComment, layout::kCommentSize);
    comment.replace('\0', QByteArray());
    header.Comment = QString::fromLatin1(comment);
    header.Taken = GaugeDateTime(h + layout::kDateTime);
    header.ValueCount = qFromLittleEndian<quint16>(h + layout::kValueCount);
    header.SecondCount = qFromLittleEndian<quint16>(h + layout::kSecondCount);
    for (int i = 0; i < memory_file::kFloatCount; ++i)
        header.Floats[i] = FloatAt(h + layout::kFloats + 4 * i);

    const FileKind kind = FileKindOf(fileName);
    const int size = RecordSize(kind);
    if (size == 0)
        return out;
    const qsizetype records = (bytes.size() - memory_file::kHeaderSize) / size;
    out.PartialBytes = int((bytes.size() - memory_file::kHeaderSize) % size);
    out.Empty = records == 0;
    const QString& unit = gauge.identity.GaugeUnit;
    const QString headerDate = header.Taken.isValid() ? LocaleDateText(header.Taken.date(), locale) : QString();
    QString probe;
    int rowCounter = 1;
    for (qsizetype i = 0; i < records; ++i) {
        const char* r = h + memory_file::kHeaderSize + i * size;
        if (kind == FileKind::Trace) {
            const double raw = FloatAt(r);
            if (!std::isfinite(raw) || std::fabs(raw) > kMaxReadingMagnitude) {
                ++out.Refused;
                continue;
            }
            out.Trace.push_back(ConvertUnit(raw, unit, gauge.identity));
            continue;
        }
        Reading row;
        if (kind == FileKind::Series) {
            const auto value = TableValue(FloatAt(r), gauge);
            if (!value) {
                ++out.Refused;
                continue;
            }
            row.Number = static_cast<qint16>(std::min(rowCounter, int(kMaxRows)));
            row.Value = *value;
            row.Unit = unit;
            row.DateTime = header.Taken;
            row.DateText = headerDate;
            row.TimeText = QStringLiteral(" ");
        } else {
            const quint8 flags = static_cast<quint8>(r[layout::kFlags]);
            if (flags & layout::kInvalidFlag) {
                ++out.InvalidSkipped;
                continue;
            }
            const QString text = ProbeText(flags & layout::kProbeMask);
            if (!text.isEmpty())
                probe = text;
            const auto value = TableValue(FloatAt(r + layout::kRecordValue), gauge);
            if (!value) {
                ++out.Refused;
                continue;
            }
            const quint32 number = qFromLittleEndian<quint32>(r + layout::kRecordNumber);
            // Reading numbers beyond what a table row holds take the row's.
            row.Number = static_cast<qint16>(number <= 32767u ? int(number) : std::min(rowCounter, int(kMaxRows)));
            row.Value = *value;
            row.Unit = unit;
            row.Material = probe;
            row.DateTime = GaugeDateTime(r + layout::kRecordTime);
            row.DateText = row.DateTime.isValid() ? LocaleDateText(row.DateTime.date(), locale) : QString();
            row.TimeText = row.DateTime.isValid() ? LocaleTimeText(row.DateTime.time(), locale) : QString();
        }
        if (row.IsEmpty()) // a row of number 0 and value 0 would end the table
            row.Number = static_cast<qint16>(std::min(rowCounter, int(kMaxRows)));
        if (rowCounter > kMaxRows) {
            ++out.BeyondTable;
            continue;
        }
        out.Rows.push_back(std::move(row));
        ++rowCounter;
    }
    return out;
}

QStringList TraceStatisticsLines(const FileHeader& header, const QString& caption, const GaugeContext& gauge,
                                 int language, const QLocale& locale)
{
    const auto line = [](const QString& label, const QString& value) {
        return label.leftJustified(kStatLabel) + value.rightJustified(kStatValue);
    };
    const auto converted = [&](int i) {
        return Fixed2(ConvertUnit(header.Floats[i], gauge.identity.GaugeUnit, gauge.identity), locale);
    };
    QStringList lines;
    lines << caption;
    lines << line(StatText(language, kStatCount), QString::number(header.ValueCount));
    lines << line(StatText(language, kStatMin), converted(0));
    lines << line(StatText(language, kStatMax), converted(1));
    lines << line(StatText(language, kStatMean), converted(3));
    lines << line(StatText(language, kStatStdDev), converted(4));
    lines << line(StatText(language, kStatPulse), Fixed2(header.Floats[6], locale)) + QStringLiteral(" ms");
    return lines;
}

} // namespace qc
