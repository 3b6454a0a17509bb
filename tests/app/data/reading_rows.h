// Table rows and gauge records made up for the tests of the outputs and
// the measurement files.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include "data/measurement_table.h"
#include "data/record_text.h"

namespace qc::test {

inline Reading Row(int number, double value, const QString& unit, const QString& material, const QString& time,
                   const QString& dateText)
{
    Reading r;
    r.Number = static_cast<qint16>(number);
    r.Value = value;
    r.Unit = unit;
    r.Material = material;
    r.TimeText = time;
    r.DateText = dateText;
    return r;
}

// A row with its date-time, texts in the locale's forms.
inline Reading DatedRow(int number, double value, const QString& unit, const QString& material, const QDateTime& when,
                        const QLocale& locale)
{
    Reading r =
        Row(number, value, unit, material, LocaleTimeText(when.time(), locale), LocaleDateText(when.date(), locale));
    r.DateTime = when;
    return r;
}

// A gauge record in its fixed columns, taken on 05.12.2024 at 10:15:30.
inline QString GaugeRecord(int number, const char* value, const char* material, const char* unit = " \u00B5m  ")
{
    return QString::number(number).rightJustified(4) + QStringLiteral("  ") +
           QString::fromLatin1(value).rightJustified(10) + QString::fromUtf8(unit) + u' ' +
           QString::fromLatin1(material).leftJustified(3) + QStringLiteral(" 2024-12-05 10:15:30");
}

} // namespace qc::test
