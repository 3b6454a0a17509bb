#include "shell/settings_file_io.h"

#include <QFile>
#include <QSaveFile>
#include <cmath>

#include "data/cp1252.h"
#include "data/numbers.h"

namespace qc {
namespace {

QString OpenError(const QFileDevice& file)
{
    return file.errorString() + QStringLiteral(" (") + file.fileName() + u')';
}

} // namespace

bool CreateIfMissing(const QString& path, const QString& firstLine, QString* error)
{
    if (QFile::exists(path))
        return true;
    return WriteLines(path, firstLine.isEmpty() ? QStringList() : QStringList{firstLine}, error);
}

std::optional<QStringList> ReadTrimmedLines(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = OpenError(file);
        return std::nullopt;
    }
    const QString text = DecodeCp1252(file.readAll());
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line ends no further line
    for (QString& line : lines)
        line = line.trimmed(); // also drops the CR of CR LF
    return lines;
}

bool WriteLines(const QString& path, const QStringList& lines, QString* error)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += EncodeCp1252(line) + "\r\n";
    // Written beside the file, flushed to disk and renamed over it: a crash
    // or a full disk at any point leaves the old file or the new one, whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = OpenError(file);
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        *error = OpenError(file);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = OpenError(file);
        return false;
    }
    return true;
}

QString NumberText(double value, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    return plain.toString(value, 'f', QLocale::FloatingPointShortest);
}

std::optional<double> ParseNumber(const QString& field, const QLocale& locale)
{
    return ParsePlainNumber(field, locale);
}

std::optional<bool> ParseBool(const QString& field, const QLocale& locale)
{
    const QString text = field.trimmed();
    if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto number = ParseNumber(text, locale))
        return *number != 0;
    return std::nullopt;
}

std::optional<QString> Field(const QString& line, int n)
{
    qsizetype start = 0;
    for (int i = 1; i <= n; ++i) {
        const qsizetype end = line.indexOf(u';', start);
        if (end < 0)
            return std::nullopt;
        if (i == n)
            return line.mid(start, end - start);
        start = end + 1;
    }
    return std::nullopt;
}

} // namespace qc
