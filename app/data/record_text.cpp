#include "data/record_text.h"

#include <algorithm>
#include <cmath>

#include "data/numbers.h"
#include "data/units.h"

namespace qc {

namespace {

const QString kZeroPermeabilityModel = QStringLiteral("ZP");
const QString kNonFerrousLong = QStringLiteral("NFE");
const QString kNonFerrous = QStringLiteral("NF");

QString Columns(const QString& text, int first, int last) { return text.mid(first - 1, last - first + 1); }

bool IsBlankText(const QString& text) { return text.isEmpty() || text == u" "; }

qint16 ToInt16(double v)
{
    // The number column holds four characters, so this only guards damage.
    const double r = RoundHalfEven(std::clamp(v, -32768.0, 32767.0), 0);
    return static_cast<qint16>(r);
}

bool NamesNonFinite(const QString& field)
{
    const QString t = field.trimmed().toLower();
    return t.contains(QStringLiteral("nan")) || t.contains(QStringLiteral("inf"));
}

} // namespace

// A damaged record never reaches the formatter or the statistics:
// "   1      nan µm" and "   1    1e308 µm" are refused whole.
QString RecordRefusal(const QString& recordText)
{
    const QString value = Columns(recordText, record::kValueFirst, record::kValueLast);
    const QString unit = Columns(recordText, record::kUnitFirst, record::kUnitLast);
    QString shown = recordText.left(record::kUnitLast);
    while (shown.endsWith(u' '))
        shown.chop(1);
    if (NamesNonFinite(value) || NamesNonFinite(unit))
        return QStringLiteral("Record refused, not a number: \"") + shown + u'"';
    if (std::fabs(LeadingNumber(value)) > kMaxReadingMagnitude)
        return QStringLiteral("Record refused, value out of range: \"") + shown + u'"';
    return {};
}

bool IsDateMode(const DeviceProfile& profile) { return profile.ProfileFlag6.startsWith(u'-'); }

QString TransferTimeText(const QDateTime& now) { return now.toString(QStringLiteral("HH:mm:ss")); }

QString TransferDateText(const QDateTime& now) { return now.toString(QStringLiteral("dd.MM.yyyy")); }

namespace {

// The formats of one locale, worked out once: a memory of 5000 readings
// asks for them 10000 times.
struct LocaleFormats {
    QString localeName;
    QString time;
    QString date;
};

const LocaleFormats& FormatsOf(const QLocale& locale)
{
    thread_local LocaleFormats formats;
    if (formats.time.isEmpty() || formats.localeName != locale.name()) {
        formats.localeName = locale.name();
        formats.time = locale.timeFormat(QLocale::LongFormat);
        formats.time.remove(QStringLiteral(" t")).remove(QStringLiteral("t ")); // no time zone
        formats.time = formats.time.trimmed();
        formats.date = locale.dateFormat(QLocale::ShortFormat);
        if (!formats.date.contains(QStringLiteral("yyyy")))
            formats.date.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    }
    return formats;
}

} // namespace

QString LocaleTimeFormat(const QLocale& locale) { return FormatsOf(locale).time; }

QString LocaleDateFormat(const QLocale& locale) { return FormatsOf(locale).date; }

QString LocaleTimeText(const QTime& time, const QLocale& locale)
{
    return locale.toString(time, FormatsOf(locale).time);
}

QString LocaleDateText(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, FormatsOf(locale).date);
}

QDateTime ParseRecordDateTime(const QString& field)
{
    auto part = [&](int first, int length, bool* ok) { return field.mid(first - 1, length).toInt(ok); };
    bool ok[6] = {};
    const int year = part(1, 4, &ok[0]);
    const int month = part(6, 2, &ok[1]);
    const int day = part(9, 2, &ok[2]);
    const int hour = part(12, 2, &ok[3]);
    const int minute = part(15, 2, &ok[4]);
    const int second = part(18, 2, &ok[5]);
    if (!std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; }))
        return {};
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

FillOutcome FillMessdaten(const QString& recordText, const GaugeContext& gauge, MeasurementTable& table,
                          TableState& state, const QDateTime& now, const QLocale& locale)
{
    const DeviceProfile& profile = gauge.profile;
    const GaugeIdentity& identity = gauge.identity;
    QString text = recordText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("  "));
    // Compared by date and time: comparing local date-times asks the time
    // zone database every time.
    if (state.TransferTaken.date() != now.date() || state.TransferTaken.time() != now.time() ||
        state.TransferTime.isEmpty()) {
        state.TransferTaken = now; // a memory is read within one moment: the texts are made once
        state.TransferTime = TransferTimeText(now);
        state.TransferDate = TransferDateText(now);
    }

    const bool online = state.TableMode == kOnlineSlot;
    // Counters start at 0 until a gauge is identified; the first reading
    // still belongs in row 1.
    if (online) {
        state.OnlineCounter = std::max(state.OnlineCounter, 1);
        state.RowCounter = state.OnlineCounter;
    }
    state.RowCounter = std::max(state.RowCounter, 1);
    const int r = state.RowCounter;
    if (r > kMaxRows)
        return {FillStatus::TableFull, r, {}};
    if (QString refusal = RecordRefusal(text); !refusal.isEmpty())
        return {FillStatus::Refused, r, refusal};

    Reading reading;
    // A live reading is numbered after the highest number given so far, so
    // a deleted row's number is never given twice.
    reading.Number = online ? ToInt16(std::max(state.OnlineCounter, state.NextOnlineNumber))
                            : ToInt16(LeadingNumber(Columns(text, record::kNumberFirst, record::kNumberLast)));
    reading.Value = LeadingNumber(Columns(text, record::kValueFirst, record::kValueLast));

    if (profile.ProfileClass.trimmed() == u"5") {
        reading.Unit = identity.GaugeUnit;
        reading.Value = ConvertUnit(reading.Value, reading.Unit, identity);
    } else {
        reading.Unit = NormaliseUnit(Columns(text, record::kUnitFirst, record::kUnitLast).trimmed());
    }
    reading.Value = RoundedValue(reading.Value, reading.Unit, profile);

    if (profile.ProfileProbe == u"2") {
        reading.Material = Columns(text, record::kMaterialFirst, record::kMaterialLast).trimmed();
        reading.Material.replace(kNonFerrousLong, kNonFerrous);
    }
    if (identity.ModelCode == kZeroPermeabilityModel) {
        reading.Unit = unit::Permeability;
        reading.Material = kZeroPermeabilityModel;
    }

    const Reading& previous = table.Row(state.TableMode, r);
    if (IsDateMode(profile)) {
        reading.DateTime = ParseRecordDateTime(Columns(text, record::kDateTimeFirst, record::kDateTimeLast));
        reading.TimeText =
            reading.DateTime.isValid() ? LocaleTimeText(reading.DateTime.time(), locale) : QStringLiteral(" ");
        reading.DateText =
            reading.DateTime.isValid() ? LocaleDateText(reading.DateTime.date(), locale) : QStringLiteral(" ");
    } else {
        // A row that already carries texts keeps them.
        reading.DateTime = previous.DateTime;
        reading.TimeText = IsBlankText(previous.TimeText) ? state.TransferTime : previous.TimeText;
        reading.DateText = IsBlankText(previous.DateText) ? state.TransferDate : previous.DateText;
    }

    if (reading.IsEmpty())
        return {FillStatus::Dropped, r, {}};

    table.Row(state.TableMode, r) = std::move(reading);
    ++state.RowCounter;
    if (online && profile.ProfileKeys == u"E") {
        ++state.OnlineCounter;
        state.NextOnlineNumber = reading.Number + 1;
    }
    return {FillStatus::Added, r, {}};
}

} // namespace qc
