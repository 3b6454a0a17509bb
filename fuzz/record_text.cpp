// The fill of one gauge record text into the table: any text, under every
// gauge make-up that changes how the columns are read, in both locales,
// into an empty table, a nearly full one and the live slot.
#include "data/record_text.h"
#include "fuzz_text.h"

#include <cmath>

namespace {

qc::GaugeContext Gauge(std::uint8_t choice)
{
    qc::GaugeContext g;
    g.profile.ProfileClass = choice & 1 ? QStringLiteral("5") : QStringLiteral("4");
    g.profile.ProfileProbe = choice & 2 ? QStringLiteral("2") : QStringLiteral("1");
    g.profile.ProfileFlag6 = choice & 4 ? QStringLiteral("-") : QStringLiteral("X");
    g.profile.ProfileFlag7 = QString::number(1 + (choice >> 3) % 3);
    g.profile.ProfileKeys = choice & 32 ? QStringLiteral("E") : QStringLiteral("V");
    g.identity.GaugeUnit = choice & 64 ? QStringLiteral("mils") : QStringLiteral("µm");
    g.identity.ModelCode = choice & 128 ? QStringLiteral("ZP") : QStringLiteral("QV");
    return g;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static qc::MeasurementTable table; // 15003 rows: made once
    qc::fuzz::Input in(data, size);
    const qc::GaugeContext gauge = Gauge(in.Byte());
    const std::uint8_t where = in.Byte();
    qc::TableState state;
    state.TableMode = where & 1 ? qc::kOnlineSlot : qc::kMemorySlot;
    const int start = where & 2 ? qc::kMaxRows - (where >> 2) % 3 : (where >> 2) % 4;
    state.RowCounter = start;
    state.OnlineCounter = start;
    state.NextOnlineNumber = where & 0x80 ? 32767 : 0;
    const QLocale locale = qc::fuzz::ChosenLocale(where >> 6);
    const QString record = qc::fuzz::RestText(in, where & 0x10);
    const QDateTime now(QDate(2026, 12, 7), QTime(10, 15, 30));

    const qc::FillOutcome outcome = qc::FillMessdaten(record, gauge, table, state, now, locale);

    switch (outcome.status) {
    case qc::FillStatus::Added: {
        FUZZ_CHECK(outcome.row >= 1 && outcome.row <= qc::kMaxRows);
        const qc::Reading& r = table.Row(state.TableMode, outcome.row);
        FUZZ_CHECK(std::isfinite(r.Value));
        FUZZ_CHECK(std::fabs(r.Value) <= qc::kMaxReadingMagnitude);
        FUZZ_CHECK(state.RowCounter == outcome.row + 1);
        table.Row(state.TableMode, outcome.row) = qc::Reading(); // the next input starts empty
        break;
    }
    case qc::FillStatus::Refused:
        FUZZ_CHECK(!outcome.refusal.isEmpty());
        FUZZ_CHECK(state.RowCounter == outcome.row);
        break;
    case qc::FillStatus::TableFull:
        FUZZ_CHECK(outcome.row > qc::kMaxRows);
        break;
    case qc::FillStatus::Dropped:
        FUZZ_CHECK(state.RowCounter == outcome.row);
        break;
    }
    (void)qc::ParseRecordDateTime(record);
    return 0;
}
