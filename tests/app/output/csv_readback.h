#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QString>

namespace qc::test {

// The rows of a CSV file as Python's csv module reads them; empty with
// `error` set when it could not read them.
inline QJsonArray ReadCsv(const QString& path, QString* error = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(QC_SYSTEM_PYTHON), {QStringLiteral(QC_CSV_READBACK), path});
    const bool finished = p.waitForFinished(60000);
    if (!finished)
        p.kill();
    if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (error)
            *error = QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

} // namespace qc::test
