#include "output/csv_export.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "data/units.h"

namespace qc {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString Row(const QStringList& fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& f : fields)
        quoted << CsvField(f);
    return quoted.join(u',') + kCrLf;
}

} // namespace

QString CsvField(const QString& text)
{
    const bool quote = text.contains(u',') || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n');
    if (!quote)
        return text;
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

QStringList CsvFields(const Reading& row, const DeviceProfile& profile)
{
    QString date = row.DateText.trimmed();
    QString time = row.TimeText.trimmed();
    if (row.DateTime.isValid()) {
        date = row.DateTime.date().toString(csv::kDateFormat);
        time = row.DateTime.time().toString(csv::kTimeFormat);
    }
    const QString value = std::isfinite(row.Value)
                              ? FormatValue(row.Value, row.Unit, profile, QLocale::c()).ValueText.trimmed()
                              : QString();
    return {QString::number(row.Number), date, time, value, row.Unit.trimmed(), row.Material.trimmed()};
}

QByteArray ReadingsCsv(const std::vector<Reading>& rows, const DeviceProfile& profile)
{
    QString text = Row(csv::kHeader);
    const size_t n = std::min<size_t>(rows.size(), kMaxRows);
    for (size_t i = 0; i < n && !rows[i].IsEmpty(); ++i)
        text += Row(CsvFields(rows[i], profile));
    return text.toUtf8();
}

} // namespace qc
