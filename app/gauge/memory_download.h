// Reading a gauge memory into the memory table: class 4 memories record by
// record from the memory service, class 5 files block by block with "$fr",
// "$rd" and "$fc". Live readings go to the online table. Every request
// has a deadline; Stop ends a download with the rows received so far kept
// and the gauge left with its selection released or its file closed.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "data/measurement_data.h"
#include "gauge/class5_file.h"
#include "gauge/gauge_link.h"
#include "output/report_text.h"

namespace qc {

enum class DownloadEnd {
    Complete,  // everything the gauge holds is in the table
    Empty,     // the memory holds no reading
    NotChosen, // nothing to read: no entry, "memory empty", or no number
    Refused,   // the gauge's answer cannot be a memory (size, handle)
    Failed,    // a request failed (no reply, link lost, ...)
    Stopped,   // the user stopped it
};

struct DownloadResult {
    DownloadEnd end = DownloadEnd::Complete;
    RequestResult request;  // the request that ended it when it failed
    int rows = 0;           // rows put into the table
    int expected = 0;       // as the directory or the file size promised
    QStringList messages;   // to show in message boxes, in order
    QString memoryText;     // for the memory text box ("Speicher leer", ...)
    QString caption;        // the memory option's caption
    QString fileComment;    // class 5
    QStringList statistics; // trace files: the statistics list
    std::optional<PulseSeries> trace;
    int invalidSkipped = 0;
    int refused = 0;
    int requests = 0;        // commands and reads sent to the gauge
    std::vector<int> blocks; // class 5: the byte count of each "$rd" asked for
    bool closed = true;      // class 5: the file was closed (or never opened)
    bool released = true;    // class 4: the selection was released
    bool resubscribed = false;
};

class MemoryDownload {
public:
    // Rows received so far and rows expected.
    using Progress = std::function<void(int received, int expected)>;

    MemoryDownload(GaugeLink& link, MeasurementData& data, int language);

    void SetProgress(Progress progress) { progress_ = std::move(progress); }
    void SetLog(std::function<void(const QString&)> log) { log_ = std::move(log); }
    // Class 5: only these names (as the listing gave them) are opened.
    void SetOfferedFiles(const QStringList& names)
    {
        offered_ = names;
        offeredSet_ = true;
    }
    // Ends the download in progress after the request it waits for.
    void Stop();
    bool Running() const { return running_; }

    // Class 4: the selector entry chosen ("M    1 (250)").
    DownloadResult Read_Speicher(const QString& selectorText);
    // Class 5: the file name as the selector lists it.
    DownloadResult Read_Datei(const QString& selectorText);

private:
    DownloadResult Finish(DownloadResult result, bool wasSubscribed);
    bool Fail(DownloadResult& result, const RequestResult& request);
    void Close(DownloadResult& result, qint16 handle);
    void Report(int received, int expected) const;
    void WriteLog(const QString& line) const;

    GaugeLink& link_;
    MeasurementData& data_;
    int language_;
    Progress progress_;
    std::function<void(const QString&)> log_;
    bool stop_ = false;
    bool running_ = false;
    QStringList offered_;
    bool offeredSet_ = false;
};

// A live value: one record, or for "DNF" two records split at the first
// line feed.
QStringList LiveRecords(const QString& value);

struct LiveResult {
    int rowsAdded = 0;
    bool switchedToOnline = false; // the table was not in online mode before
    QString tableFullMessage;      // "Maximale Werteanzahl überschritten 5000"
    QString memoryText;            // the reading and its unit, for the memory text box
};

// Puts a live value into the online table. More than 5000 rows: nothing
// added and the limit message.
// `fill` puts one record into the table (the window's, with key
// forwarding); without it the record goes to data.FillMessdaten.
using RecordFill = std::function<FillStatus(const QString& record)>;
LiveResult TakeLiveReading(const QString& value, MeasurementData& data, const QDateTime& now, int language,
                           const RecordFill& fill = {});

// The memory text box text of a live record: blanks (six for class 5, one
// otherwise), the reading formatted in the gauge's unit (converted when the
// gauge unit is known), a blank and the unit.
QString LiveReadingText(const QString& record, const GaugeContext& gauge, const QLocale& locale = QLocale());

} // namespace qc
