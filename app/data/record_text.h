#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include "data/gauge_profile.h"
#include "data/measurement_table.h"

namespace qc {

// Fixed columns of a gauge record text (1-based positions, inclusive).
namespace record {
inline constexpr int kNumberFirst = 1, kNumberLast = 4;
inline constexpr int kValueFirst = 7, kValueLast = 16;
inline constexpr int kUnitFirst = 18, kUnitLast = 21;
inline constexpr int kMaterialFirst = 23, kMaterialLast = 25;
inline constexpr int kDateTimeFirst = 27, kDateTimeLast = 45;
} // namespace record

// Date mode: the records carry date and time in columns 27-45.
bool IsDateMode(const DeviceProfile& profile);

// "HH:mm:ss" and "dd.MM.yyyy" of the moment a record is taken.
QString TransferTimeText(const QDateTime& now);
QString TransferDateText(const QDateTime& now);

// The locale's long time (without a time zone) and short date with a
// four-digit year, as the gauge's date and time are shown.
QString LocaleTimeText(const QTime& time, const QLocale& locale);
QString LocaleDateText(const QDate& date, const QLocale& locale);
// The formats behind them: "HH:mm:ss" and "dd.MM.yyyy" for German.
QString LocaleTimeFormat(const QLocale& locale);
QString LocaleDateFormat(const QLocale& locale);

// "2024-12-05 10:15:30" style field of columns 27-45; separators are not
// checked. Invalid when a part is not a valid date or time.
QDateTime ParseRecordDateTime(const QString& field);

enum class FillStatus {
    Added,     // the reading went to row `row`
    Dropped,   // number 0 and value 0: no row, counters unchanged
    TableFull, // the row would lie above kMaxRows: nothing stored
    Refused,   // value or unit not a finite reading in range: nothing stored
};

// Largest reading magnitude taken; far above anything a gauge measures, and
// low enough that 5000 of them keep sums and squares finite.
inline constexpr double kMaxReadingMagnitude = 1e12;

struct FillOutcome {
    FillStatus status;
    int row;         // the row written (Added) or refused (TableFull)
    QString refusal; // for Refused: what was wrong, for the log
};

// Why a record cannot be a reading ("nan", "inf", a value out of range);
// empty when it can.
QString RecordRefusal(const QString& recordText);

// Decodes one record text into the row RowCounter (memory slot) or
// OnlineCounter (online slot) of the current slot and advances the counters.
// Showing the row (grid, statistics, key forwarding) is the caller's part.
FillOutcome FillMessdaten(const QString& recordText, const GaugeContext& gauge, MeasurementTable& table,
                          TableState& state, const QDateTime& now, const QLocale& locale = QLocale());

} // namespace qc
