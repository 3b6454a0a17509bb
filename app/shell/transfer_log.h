#pragma once

#include <QString>

namespace qc {

// The trace of the current run: "<settings dir>/Quen ConnectTransferLog.txt",
// Windows-1252, one entry per line with CR LF. Each entry opens, appends and
// closes the file, so the file is complete after every entry. Failing to
// write loses the entry and nothing else.
class TransferLog {
public:
    explicit TransferLog(QString path = {});

    // The log's file name in a settings folder.
    static QString PathIn(const QString& settingsDir);

    void SetPath(const QString& path) { m_path = path; }
    const QString& Path() const { return m_path; }

    // Empties the file, creating it when missing.
    void DeleteLog() const;
    void WriteLog(const QString& text) const;

private:
    QString m_path;
};

} // namespace qc
