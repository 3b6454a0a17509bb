#include "data/measurement_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "data/cp1252.h"
#include "data/file_date_time.h"
#include "data/measurement_data.h"
#include "data/numbers.h"
#include "data/record_text.h"
#include "data/safe_file_name.h"

namespace qc {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kBlank = QStringLiteral(" ");
const QString kNoDateTime = QStringLiteral("00:00:00");
constexpr QStringView kFieldGap = u"   "; // before the number (and the value)

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

qsizetype SkipBlanks(QStringView line, qsizetype at)
{
    while (at < line.size() && line[at] == u' ')
        ++at;
    return at;
}

qsizetype TokenEnd(QStringView line, qsizetype at)
{
    while (at < line.size() && line[at] != u' ')
        ++at;
    return at;
}

qint16 ToInt16(double v)
{
    return static_cast<qint16>(RoundHalfEven(std::clamp(v, -32768.0, 32767.0), 0));
}

// Values are written with the locale's separator and no grouping, so the
// other separator can only be a decimal separator of a file from a system
// with the other convention.
double ReadValue(QStringView token, const QLocale& locale)
{
    const QChar separator = locale.decimalPoint().isEmpty() ? QChar(u'.') : locale.decimalPoint().at(0);
    const QChar other = separator == u'.' ? QChar(u',') : QChar(u'.');
    if (!token.contains(separator) && token.contains(other))
        return LeadingNumber(token.toString().replace(other, separator), separator);
    return LeadingNumber(token, separator);
}

std::vector<QStringView> SplitLines(QStringView text)
{
    std::vector<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.push_back(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.mid(start)); // a last line without a line end
    return lines;
}

struct MessagePair {
    const char16_t* german;
    const char16_t* english;
};

QString Pick(int language, MessagePair m) { return QString::fromUtf16(language == 1 ? m.english : m.german); }

// "10:15:30" in front: the time form (date-form lines begin with the date).
bool StartsWithClock(QStringView line)
{
    constexpr int kDigits[] = {0, 1, 3, 4, 6, 7};
    if (line.size() < mes::kTimeTextLength || line[2] != u':' || line[5] != u':')
        return false;
    return std::all_of(std::begin(kDigits), std::end(kDigits), [&](int i) { return IsAsciiDigit(line[i]); });
}

// The date-time at the start of a date-form line: the first 22 characters,
// or, for a longer text, what stands before the gap to the number.
QDateTime LeadingDateTime(QStringView line, FileDateTimeReader& reader)
{
    const QDateTime t = reader.Read(line.left(mes::kDateTimeLength).trimmed().toString());
    if (t.isValid())
        return t;
    const qsizetype gap = line.indexOf(kFieldGap);
    return gap > mes::kDateTimeLength ? reader.Read(line.left(gap).trimmed().toString()) : QDateTime();
}

bool ParseLine(QStringView line, const MesReadOptions& options, FileDateTimeReader& dates, Reading& row)
{
    if (line.isEmpty())
        return false;
    // Each line says its own form, so a file opens whatever mode the gauge
    // in hand is in: a date-time in front is the date form; so is the
    // "00:00:00" a date-form reading without date-time was written with.
    Reading r;
    if (!line.contains(u':')) {
        // Files from a Windows installation carry a reading taken at
        // midnight with its date alone: "05.12.2024     1 ...".
        const qsizetype gap = line.indexOf(kFieldGap);
        if (gap <= 0)
            return false;
        r.DateTime = dates.ReadDate(line.left(gap).trimmed().toString());
        if (!r.DateTime.isValid())
            return false;
    } else if (!StartsWithClock(line)) {
        r.DateTime = LeadingDateTime(line, dates);
    }
    const bool dateForm = r.DateTime.isValid() || (options.dateMode && line.startsWith(kNoDateTime));
    if (dateForm) {
        r.TimeText = r.DateTime.isValid() ? LocaleTimeText(r.DateTime.time(), options.locale) : kBlank;
        r.DateText = r.DateTime.isValid() ? LocaleDateText(r.DateTime.date(), options.locale) : kBlank;
    } else {
        r.TimeText = line.left(mes::kTimeTextLength).toString();
        r.DateText = kBlank;
    }

    const qsizetype gap = line.indexOf(kFieldGap);
    if (gap < 0)
        return false;
    qsizetype from = SkipBlanks(line, gap);
    qsizetype to = TokenEnd(line, from);
    if (from == to)
        return false;
    r.Number = ToInt16(LeadingNumber(line.mid(from, to - from)));

    from = SkipBlanks(line, to);
    to = TokenEnd(line, from);
    if (from == to)
        return false;
    r.Value = RoundHalfEven(ReadValue(line.mid(from, to - from), options.locale), mes::kValueDecimals);

    // One blank after the value, the unit field, one blank, the material.
    const int unitWidth = dateForm ? mes::kDateModeUnitWidth : mes::kTimeModeUnitWidth;
    const qsizetype unitAt = to + 1;
    r.Unit = line.mid(std::min(unitAt, line.size()), unitWidth).trimmed().toString();
    r.Material = line.mid(std::min(unitAt + unitWidth + 1, line.size())).trimmed().toString();
    if (r.IsEmpty())
        return false; // would end the table and hide every later reading
    row = std::move(r);
    return true;
}

} // namespace

QString MeasurementFolder(const QString& dataDir) { return QDir(dataDir).filePath(mes::kFolderName); }

QString GaugeFolder(const QString& dataDir, const QString& gaugeNumber)
{
    const QString folder = MeasurementFolder(dataDir);
    return gaugeNumber.isEmpty() ? folder : QDir(folder).filePath(SafeGaugeNumber(gaugeNumber));
}

QString MesSavePath(const QString& chosen)
{
    if (chosen.isEmpty() || chosen == kBlank)
        return {};
    return chosen.contains(mes::kExtension) ? chosen : chosen + mes::kExtension;
}

bool ParseMesLine(QStringView line, const MesReadOptions& options, Reading& row)
{
    FileDateTimeReader dates(options.locale);
    return ParseLine(line, options, dates, row);
}

MesContent ParseMesText(QStringView text, const MesReadOptions& options)
{
    MesContent content;
    const std::vector<QStringView> lines = SplitLines(text);
    size_t i = 0;
    while (i < lines.size() && !(lines[i].size() > 0 && IsAsciiDigit(lines[i][0])))
        ++i;
    // An older file has the date on a line of its own before the readings;
    // a date-form reading looks alike at its start but holds a reading.
    QString dateLine;
    FileDateTimeReader dates(options.locale);
    Reading probe;
    if (i < lines.size() && lines[i].size() > 2 && lines[i][2] == u'.' && !ParseLine(lines[i], options, dates, probe)) {
        dateLine = lines[i].left(mes::kDateLineLength).toString();
        ++i;
    }
    content.rows.reserve(std::min<size_t>(lines.size() - std::min(i, lines.size()), kMaxRows));
    for (; i < lines.size(); ++i) {
        Reading r;
        if (!ParseLine(lines[i], options, dates, r)) {
            if (!lines[i].isEmpty())
                ++content.skippedLines;
            continue;
        }
        ++content.dataLines;
        if (content.rows.size() < static_cast<size_t>(kMaxRows))
            content.rows.push_back(std::move(r));
    }
    if (!dateLine.isEmpty() && !content.rows.empty())
        content.rows.front().DateText = dateLine;
    return content;
}

QString MesFileError::Message(int language) const
{
    QString text;
    switch (problem) {
    case MesFileProblem::Missing:
        text = Pick(language, {u"Die Datei wurde nicht gefunden: ", u"The file was not found: "});
        break;
    case MesFileProblem::NotAFile:
        text = Pick(language, {u"Das ist keine Datei: ", u"This is not a file: "});
        break;
    case MesFileProblem::Unreadable:
        text = Pick(language, {u"Die Datei kann nicht gelesen werden: ", u"The file cannot be read: "});
        break;
    case MesFileProblem::NotText:
        text = Pick(language, {u"Die Datei ist keine Messdatei (keine Textdatei): ",
                               u"The file is not a measurement file (not a text file): "});
        break;
    case MesFileProblem::TooLarge:
        text = Pick(language, {u"Die Datei ist zu groß für eine Messdatei: ",
                               u"The file is too large for a measurement file: "});
        break;
    case MesFileProblem::FolderFailed:
        text = Pick(language, {u"Der Ordner kann nicht angelegt werden: ", u"The folder cannot be created: "});
        break;
    case MesFileProblem::WriteFailed:
        text = Pick(language, {u"Die Datei konnte nicht gespeichert werden: ", u"The file could not be saved: "});
        break;
    }
    text += path;
    if (!detail.isEmpty())
        text += QStringLiteral(" (") + detail + u')';
    if (problem == MesFileProblem::WriteFailed)
        text += Pick(language, {u". Die bisherige Datei bleibt unverändert.", u". The previous file is unchanged."});
    else if (problem != MesFileProblem::FolderFailed)
        text += Pick(language, {u". Die Tabelle bleibt unverändert.", u". The table is unchanged."});
    return text;
}

MesReadResult ReadMesFile(const QString& path, const MesReadOptions& options)
{
    MesReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = MesFileError{MesFileProblem::Missing, path, {}};
        return result;
    }
    // Only regular files: opening a pipe or a device could block or never end.
    if (!info.isFile()) {
        result.error = MesFileError{MesFileProblem::NotAFile, path, {}};
        return result;
    }
    if (info.size() > mes::kMaxFileBytes) {
        result.error = MesFileError{MesFileProblem::TooLarge, path, {}};
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = MesFileError{MesFileProblem::Unreadable, path, file.errorString()};
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = MesFileError{MesFileProblem::Unreadable, path, file.errorString()};
        return result;
    }
    if (bytes.size() > mes::kMaxFileBytes) {
        result.error = MesFileError{MesFileProblem::TooLarge, path, {}};
        return result;
    }
    if (bytes.contains('\0')) {
        result.error = MesFileError{MesFileProblem::NotText, path, {}};
        return result;
    }
    result.content = ParseMesText(DecodeCp1252(bytes), options);
    return result;
}

QByteArray MesFileBytes(const QString& reportText) { return EncodeCp1252(QString(reportText + kCrLf)); }

std::optional<MesFileError> SaveMesFile(const QString& path, QByteArrayView bytes)
{
    if (QFileInfo(path).isDir())
        return MesFileError{MesFileProblem::NotAFile, path, {}};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return MesFileError{MesFileProblem::WriteFailed, path, file.errorString()};
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return MesFileError{MesFileProblem::WriteFailed, path, reason};
    }
    if (!file.commit())
        return MesFileError{MesFileProblem::WriteFailed, path, file.errorString()};
    return std::nullopt;
}

std::optional<MesFileError> EnsureGaugeFolder(const QString& dataDir, const QString& gaugeNumber)
{
    const QString folder = GaugeFolder(dataDir, gaugeNumber);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return MesFileError{MesFileProblem::FolderFailed, folder, {}};
    return std::nullopt;
}

int TakeMesReadings(MeasurementData& data, const std::vector<Reading>& rows, const QDateTime& now)
{
    data.state.TableMode = kMemorySlot;
    data.model.ClearGrid();
    data.ResetStatistic();
    const int n = data.table.SetReadings(kMemorySlot, rows);
    data.state.FileLoaded = true;
    data.FillMSFlexOne(now);
    return n;
}

QString MesMemoryCaption(const QString& path, int count)
{
    return QFileInfo(path).fileName() + QStringLiteral(" (") + QString::number(count) + u')';
}

QString MesTruncatedMessage(int language, int dataLines)
{
    const QString n = QString::number(dataLines);
    const QString max = QString::number(kMaxRows);
    if (language == 1)
        return QStringLiteral("The file holds %1 readings; the table takes %2, so only the first %2 were loaded.")
            .arg(n, max);
    return QStringLiteral("Die Datei enthält %1 Messwerte; die Tabelle fasst %2, daher wurden nur die ersten %2 geladen.")
        .arg(n, max);
}

} // namespace qc
