#include "gauge/memory_download.h"

#include <cmath>

#include "data/numbers.h"
#include "data/units.h"
#include "gauge/memory_listing.h"
#include "gauge/reply_decoder.h"
#include "shell/texts.h"

namespace qc {
namespace {

constexpr int kMemoryWordKey = 32;
constexpr int kMemoryEmptyKey = 33;
constexpr int kTableFullKey = 53;
constexpr int kSelectMemoryKey = 82;
constexpr int kNoMemoryKey = 83;
constexpr int kRecordsPerRead = 5;
constexpr int kShortestRecord = 16; // shorter parts are no record
constexpr int kBlockSize = 32;
const QString kCrLf = QStringLiteral("\r\n");
// Stands in ReplyText until a "$rd" reply replaced it (an empty block too).
const QString kNoBlockYet = QStringLiteral("\u0001");

QString Text(int language, int key) { return MessageText(language, key); }

QString FileWords(int language, const QString& de, const QString& en) { return language == 0 ? de : en; }

} // namespace

MemoryDownload::MemoryDownload(GaugeLink& link, MeasurementData& data, int language)
    : link_(link)
    , data_(data)
    , language_(language)
{
}

void MemoryDownload::Stop()
{
    stop_ = true;
    link_.Stop();
}

void MemoryDownload::Report(int received, int expected) const
{
    if (progress_)
        progress_(received, expected);
}

void MemoryDownload::WriteLog(const QString& line) const
{
    if (log_)
        log_(line);
}

bool MemoryDownload::Fail(DownloadResult& result, const RequestResult& request)
{
    if (request.ok())
        return false;
    result.request = request;
    if (stop_ || request.end == RequestEnd::Stopped) {
        result.end = DownloadEnd::Stopped;
    } else {
        result.end = DownloadEnd::Failed;
        result.messages << request.Message(language_);
    }
    return true;
}

DownloadResult MemoryDownload::Finish(DownloadResult result, bool wasSubscribed)
{
    if (!link_.State().IsSubscribed && (wasSubscribed || link_.IsConnected()))
        result.resubscribed = link_.Subscribe().ok();
    running_ = false;
    stop_ = false;
    return result;
}

void MemoryDownload::Close(DownloadResult& result, qint16 handle)
{
    // Any "$fc" reply ends the wait; a result other than 0 is told.
    const QString command = QStringLiteral("$fc?") + QString::number(handle) + u'!';
    ++result.requests;
    const RequestResult closed = link_.Command(
        command, [](const LinkState& s) { return s.ReplyState != kReplyOutstanding; }, link_.Deadlines().command);
    const qint16 answer = link_.State().ReplyState;
    result.closed = closed.ok() && answer == kReplyDone;
    if (!closed.ok()) {
        result.messages << closed.Message(language_);
    } else if (answer != kReplyDone) {
        const QString line =
            FileWords(language_, QStringLiteral("Das Gerät meldet beim Schließen der Datei den Fehler "),
                      QStringLiteral("The gauge reported error ")) +
            QString::number(answer) +
            FileWords(language_, QStringLiteral("."), QStringLiteral(" when closing the file."));
        WriteLog(command.trimmed() + QStringLiteral(" result ") + QString::number(answer));
        result.messages << line;
    }
}

// ---- Class 4 -------------------------------------------------------------

DownloadResult MemoryDownload::Read_Speicher(const QString& selectorText)
{
    DownloadResult result;
    if (selectorText.trimmed().isEmpty()) {
        result.end = DownloadEnd::NotChosen;
        return result;
    }
    running_ = true;
    stop_ = false;
    const bool was = link_.State().IsSubscribed;
    if (was)
        link_.Unsubscribe();
    const QDateTime now = link_.Clock().CurrentDateTime();
    data_.table.ClearSlot(kMemorySlot);
    data_.SetTableMode(kMemorySlot, now);
    data_.ResetStatistic();

    SelectorChoice choice;
    if (!ParseSelectorEntry(selectorText, choice)) {
        result.end = DownloadEnd::NotChosen;
        result.messages << Text(language_, kNoMemoryKey) + kCrLf;
        return Finish(result, was);
    }
    const MemoryListing listing = SpeicherInfoLesen(link_, language_, false);
    result.requests += 1;
    if (Fail(result, listing.request))
        return Finish(result, was);
    const auto number = GaugeInteger(choice.Name, 0, 32767);
    result.expected = choice.Count;
    QString name = choice.Name;
    if (number) {
        for (const DirectoryEntry& e : listing.Directory)
            if (GaugeInteger(e.Name, 0, 32767) == number) {
                result.expected = e.Count;
                name = e.Name;
            }
    }
    if (!number) {
        result.end = DownloadEnd::NotChosen;
        result.messages << Text(language_, kSelectMemoryKey);
        return Finish(result, was);
    }
    result.caption =
        Text(language_, kMemoryWordKey) + u' ' + name + QStringLiteral(" (") + QString::number(result.expected) + u')';

    // Only a number goes back to the gauge, in its own digits.
    link_.MutableState().SendText = QString::number(*number);
    ++result.requests;
    RequestResult request = link_.Request(
        QStringLiteral("Select memory ") + QString::number(*number), [this] { return link_.WriteStorageInfo(); },
        [](const LinkState& s) { return s.ReplyState == kReplyDone; }, link_.Deadlines().command);
    result.released = false;
    if (!Fail(result, request)) {
        link_.MutableState().EmptyValueSeen = false;
        int k = 1;
        // Five records a read, and one read more for the empty value.
        const int maxReads = result.expected / kRecordsPerRead + 2;
        bool full = false;
        for (int read = 0; read < maxReads && !full; ++read) {
            ++result.requests;
            request = link_.Request(
                QStringLiteral("Read memory data"), [this] { return link_.ReadStorageData(); },
                [](const LinkState& s) { return s.ReplyState == kReplyDone; }, link_.Deadlines().listing);
            if (Fail(result, request))
                break;
            const QString value = link_.State().ReplyText;
            if (link_.State().EmptyValueSeen || value.isEmpty())
                break;
            const QStringList parts = value.split(u'\n');
            for (int i = 0; i < parts.size() && i < kRecordsPerRead && k <= result.expected; ++i) {
                const QString& record = parts.at(i);
                if (record.size() >= kShortestRecord) {
                    const MeasurementData::RowAdded added =
                        data_.FillMessdaten(record, link_.Clock().CurrentDateTime());
                    if (added.status == FillStatus::Added) {
                        ++result.rows;
                    } else if (added.status == FillStatus::TableFull) {
                        result.messages << Text(language_, kTableFullKey) + u' ' + QString::number(kMaxRows);
                        full = true;
                        break;
                    } else if (added.status == FillStatus::Refused) {
                        ++result.refused;
                        WriteLog(added.refusal);
                    }
                }
                if (!record.isEmpty())
                    ++k;
            }
            Report(result.rows, result.expected);
            if (stop_) {
                result.end = DownloadEnd::Stopped;
                break;
            }
        }
        if (result.end == DownloadEnd::Complete && result.expected == 0) {
            result.end = DownloadEnd::Empty;
            result.memoryText = Text(language_, kMemoryEmptyKey);
        }
    }
    if (!link_.State().IsSubscribed && link_.IsConnected())
        result.resubscribed = link_.Subscribe().ok();
    if (link_.IsConnected()) {
        ++result.requests;
        result.released =
            link_
                .Request(
                    QStringLiteral("Release memory"), [this] { return link_.SondenFreigabe(); },
                    [](const LinkState& s) { return s.ReplyState == kReplyDone; }, link_.Deadlines().command)
                .ok();
    }
    WriteLog(QStringLiteral("Ende Speicher lesen vor sub") +
             (link_.State().IsSubscribed ? QStringLiteral("True") : QStringLiteral("False")));
    return Finish(result, was);
}

// ---- Class 5 -------------------------------------------------------------

DownloadResult MemoryDownload::Read_Datei(const QString& selectorText)
{
    DownloadResult result;
    const QString name = selectorText.trimmed();
    if (name.isEmpty()) {
        result.end = DownloadEnd::NotChosen;
        return result;
    }
    bool offered = !offeredSet_;
    for (const QString& o : offered_)
        offered = offered || o.trimmed() == name;
    if (!offered || !CommandSafeFileName(name) || FileKindOf(name) == FileKind::Unknown ||
        name.startsWith(QLatin1String("se"))) {
        result.end = DownloadEnd::NotChosen;
        result.messages << Text(language_, kSelectMemoryKey);
        return result;
    }
    running_ = true;
    stop_ = false;
    const bool was = link_.State().IsSubscribed;
    if (was)
        link_.Unsubscribe();
    const QDateTime now = link_.Clock().CurrentDateTime();
    data_.table.ClearSlot(kMemorySlot);
    data_.SetTableMode(kMemorySlot, now);
    data_.ResetStatistic();
    result.caption = selectorText;

    LinkState& st = link_.MutableState();
    st.FileSize = -1; // the "$fr" reply replaces it, with 0 too
    st.FileHandle = 0;
    st.FileData.clear();
    ++result.requests;
    RequestResult request = link_.Command(
        QStringLiteral("$fr?") + name + u'!', [](const LinkState& s) { return s.FileSize != -1; },
        link_.Deadlines().command);
    if (Fail(result, request))
        return Finish(result, was);
    const qint32 size = link_.State().FileSize;
    const qint16 handle = link_.State().FileHandle;
    const FileKind kind = FileKindOf(name);
    const int recordSize = RecordSize(kind);
    const auto rowsIn = [&](qint64 bytes) {
        return int(std::max<qint64>(0, bytes - memory_file::kHeaderSize) / recordSize);
    };
    if (size < 0 || size > memory_file::kMaxFileSize) {
        result.end = DownloadEnd::Refused;
        result.messages << FileWords(language_,
                                     QStringLiteral("Das Gerät meldet für %1 eine Größe von %2 Bytes; "
                                                    "so groß ist kein Speicher. Die Datei wird nicht gelesen."),
                                     QStringLiteral("The gauge reports a size of %2 bytes for %1; no memory is that "
                                                    "large. The file is not read."))
                               .arg(name)
                               .arg(size);
        if (handle > 0)
            Close(result, handle);
        return Finish(result, was);
    }
    if (size > 0 && handle <= 0) {
        result.end = DownloadEnd::Refused;
        result.messages << FileWords(language_, QStringLiteral("Das Gerät hat %1 ohne gültige Kennung geöffnet."),
                                     QStringLiteral("The gauge opened %1 without a valid handle."))
                               .arg(name);
        return Finish(result, was);
    }
    result.expected = rowsIn(size);
    result.closed = false;
    QString hex;
    hex.reserve(size * 2);
    bool shortRead = false;
    const auto readBlock = [&](int count) {
        st.ReplyText = kNoBlockYet;
        ++result.requests;
        result.blocks.push_back(count);
        const RequestResult block = link_.Command(
            QStringLiteral("$rd?") + QString::number(handle) + u' ' + QString::number(count) + u'!',
            [](const LinkState& s) { return s.ReplyText != kNoBlockYet; }, link_.Deadlines().listing);
        if (Fail(result, block))
            return false;
        const LinkState& now = link_.State();
        if (now.ReplyState != handle) {
            result.end = DownloadEnd::Refused;
            result.messages << FileWords(language_,
                                         QStringLiteral("Das Gerät hat einen Block einer anderen Datei gesendet."),
                                         QStringLiteral("The gauge sent a block of another file."));
            return false;
        }
        hex += now.ReplyText;
        Report(std::min(rowsIn(hex.size() / 2), result.expected), result.expected);
        if (now.ReplyText.size() != 2 * count) {
            shortRead = true;
            return false;
        }
        if (stop_) {
            result.end = DownloadEnd::Stopped;
            return false;
        }
        return true;
    };
    if (size > 0) {
        const int blocks = size / kBlockSize + 1;
        int rest = size;
        bool going = true;
        for (int b = 1; b <= blocks - 1 && going; ++b) {
            rest -= kBlockSize;
            going = readBlock(kBlockSize);
        }
        if (going && rest > 0)
            readBlock(rest);
    }
    st.FileData = hex;
    if (shortRead)
        result.messages << FileWords(language_, QStringLiteral("Die Datei %1 endete nach %2 von %3 Bytes."),
                                     QStringLiteral("The file %1 ended after %2 of %3 bytes."))
                               .arg(name)
                               .arg(hex.size() / 2)
                               .arg(size);

    const DecodedFile file = DecodeMemoryFile(HexBytes(hex).value_or(QByteArray()), name, data_.gauge, data_.locale);
    result.fileComment = file.Header.Comment;
    result.invalidSkipped = file.InvalidSkipped;
    result.refused = file.Refused;
    if (file.Empty) {
        if (result.end == DownloadEnd::Complete)
            result.end = DownloadEnd::Empty;
        result.memoryText = Text(language_, kMemoryEmptyKey);
    } else if (kind == FileKind::Trace) {
        PulseSeries trace;
        trace.MemoryName = name;
        trace.Description = file.Header.Comment;
        trace.PulseTime = std::isfinite(file.Header.Floats[6]) ? file.Header.Floats[6] : 0.0;
        trace.Values = file.Trace;
        trace.Unit = data_.gauge.identity.GaugeUnit;
        if (trace.PulseTime > 0 && !trace.Values.empty())
            trace.SampleIntervalUs = trace.PulseTime * 1000.0 / double(trace.Values.size());
        result.statistics =
            TraceStatisticsLines(file.Header, selectorText + u' ' + name, data_.gauge, language_, data_.locale);
        result.rows = int(file.Trace.size());
        result.trace = std::move(trace);
    } else {
        int row = 1;
        for (const Reading& reading : file.Rows)
            data_.table.Row(kMemorySlot, row++) = reading;
        result.rows = int(file.Rows.size());
        data_.FillMSFlexOne(link_.Clock().CurrentDateTime());
        data_.state.RowCounter = row;
        if (file.BeyondTable > 0)
            result.messages << Text(language_, kTableFullKey) + u' ' + QString::number(kMaxRows);
    }
    for (int n : {file.InvalidSkipped, file.Refused})
        if (n > 0)
            WriteLog(name + QStringLiteral(": ") + QString::number(n) + QStringLiteral(" records skipped"));
    if (handle > 0 && link_.IsConnected())
        Close(result, handle);
    else
        result.closed = handle <= 0;
    return Finish(result, was);
}

// ---- Live readings -------------------------------------------------------

QStringList LiveRecords(const QString& value)
{
    if (!value.contains(QLatin1String("DNF")))
        return {value};
    const qsizetype lf = value.indexOf(u'\n');
    if (lf < 0)
        return {value};
    QStringList records{value.left(lf + 1)};
    QString second = value.mid(lf + 1);
    while (second.endsWith(u'\n') || second.endsWith(u'\r'))
        second.chop(1);
    if (!second.trimmed().isEmpty())
        records << second + u' ';
    return records;
}

LiveResult TakeLiveReading(const QString& value, MeasurementData& data, const QDateTime& now, int language,
                           const RecordFill& fill)
{
    LiveResult result;
    const QStringList records = LiveRecords(value);
    result.memoryText = LiveReadingText(records.value(0), data.gauge, data.locale);
    const QString full = Text(language, kTableFullKey) + u' ' + QString::number(kMaxRows);
    if (data.table.ReadingCount(kOnlineSlot) >= kMaxRows) {
        result.tableFullMessage = full;
        return result;
    }
    if (data.state.TableMode != kOnlineSlot) {
        result.switchedToOnline = true;
        data.SetTableMode(kOnlineSlot, now);
    }
    for (const QString& record : records) {
        const FillStatus status = fill ? fill(record) : data.FillMessdaten(record, now).status;
        if (status == FillStatus::Added)
            ++result.rowsAdded;
        else if (status == FillStatus::TableFull)
            result.tableFullMessage = full;
    }
    return result;
}

QString LiveReadingText(const QString& record, const GaugeContext& gauge, const QLocale& locale)
{
    double value = LeadingNumber(record.mid(6, 10));
    QString unit = record.mid(17, 4).trimmed();
    if (unit == u"ym")
        unit = unit::Micrometre;
    const QString gaugeUnit = gauge.identity.GaugeUnit.trimmed();
    if (!gaugeUnit.isEmpty()) {
        value = ConvertUnit(value, gaugeUnit, gauge.identity);
        unit = gaugeUnit;
    }
    if (!std::isfinite(value) || std::fabs(value) > kMaxReadingMagnitude)
        value = 0;
    const QString blanks =
        gauge.profile.ProfileClass.trimmed() == u"5" ? QStringLiteral("      ") : QStringLiteral(" ");
    return blanks + FormatValue(value, unit, gauge.profile, locale).ValueText + u' ' + unit;
}

} // namespace qc
