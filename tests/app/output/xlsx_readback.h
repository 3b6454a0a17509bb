#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <ostream>

// Readable QString in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace qc::test {

// The workbook as the independent reader (openpyxl) sees it; an empty
// object with "error" set when it could not read it.
inline QJsonObject ReadWorkbook(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral(QC_SYSTEM_PYTHON), {QStringLiteral(QC_XLSX_READBACK), path});
    const bool finished = p.waitForFinished(120000);
    if (!finished)
        p.kill();
    const QByteArray out = p.readAllStandardOutput();
    if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {{QStringLiteral("error"), QString::fromUtf8(p.readAllStandardError())}};
    return QJsonDocument::fromJson(out).object();
}

// Cell "A1" of the data sheet: [value, number format, [font, bold, size]].
inline QJsonValue CellValue(const QJsonObject& book, const QString& cell)
{
    return book[QStringLiteral("cells")].toObject()[cell].toArray().at(0);
}
inline QString CellFormatOf(const QJsonObject& book, const QString& cell)
{
    return book[QStringLiteral("cells")].toObject()[cell].toArray().at(1).toString();
}

} // namespace qc::test
