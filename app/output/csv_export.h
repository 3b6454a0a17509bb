// The readings as comma-separated values for other programs: one header
// row, then one row per reading with number, date, time, value, unit and
// material. RFC 4180 (CR LF, fields quoted when they hold a comma, a quote
// or a line end, quotes doubled), a decimal point whatever the locale,
// UTF-8 without byte-order mark.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "data/gauge_profile.h"
#include "data/measurement_table.h"

namespace qc {

namespace csv {
inline const QStringList kHeader = {QStringLiteral("number"), QStringLiteral("date"), QStringLiteral("time"),
                                    QStringLiteral("value"),  QStringLiteral("unit"), QStringLiteral("material")};
inline const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
inline const QString kTimeFormat = QStringLiteral("HH:mm:ss");
} // namespace csv

// One field as RFC 4180 writes it: "a,b" -> "\"a,b\"", a"b -> "\"a\"\"b\"".
QString CsvField(const QString& text);

// The fields of one reading. A reading with a date-time gives its date and
// time as "2024-12-05" and "10:15:30"; one without gives its date and time
// texts trimmed. The value has the decimals the table shows it with; a
// value that is not a finite number is left empty rather than written as
// text no spreadsheet reads as a number.
QStringList CsvFields(const Reading& row, const DeviceProfile& profile);

// Header and rows up to the first empty row, at most kMaxRows.
QByteArray ReadingsCsv(const std::vector<Reading>& rows, const DeviceProfile& profile);

} // namespace qc
