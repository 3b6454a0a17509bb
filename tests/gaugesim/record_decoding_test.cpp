// The gauges' records as the program's table fill routine reads them: a
// column out of place would show as a wrong value, unit, material or time.
#include "data/record_text.h"

#include <gtest/gtest.h>

#include <cmath>

#include "demo_gauges.h"
#include "gauge_state.h"

namespace quen::gaugesim {
namespace {

qc::GaugeContext ClassFourContext()
{
    qc::GaugeContext gauge;
    gauge.profile = {"4", "L", "E", "2", "+", "-", "2"};  // date mode: the record's own time
    return gauge;
}

QString ShownUnit(const std::string& unit)
{
    return unit == "ym" ? QStringLiteral("\u00B5m") : QString::fromStdString(unit);
}

QString ShownMaterial(const std::string& material)
{
    return material == "NFE" ? QStringLiteral("NF") : QString::fromStdString(material);
}

TEST(RecordDecoding, EveryClassFourRecordFillsOneRowWithItsColumns)
{
    for (const GaugeSetup& gauge : BuiltInGauges()) {
        if (gauge.gaugeClass != GaugeClass::MemoryService)
            continue;
        SCOPED_TRACE(gauge.model);
        const qc::GaugeContext context = ClassFourContext();
        qc::MeasurementTable table;
        qc::TableState state;
        const std::vector<std::string>& records = gauge.memories[0].records;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const QString record = QString::fromStdString(records[i]);
            const qc::FillOutcome outcome =
                qc::FillMessdaten(record, context, table, state, QDateTime::currentDateTime(), QLocale::c());
            ASSERT_EQ(outcome.status, qc::FillStatus::Added);
            const qc::Reading& row = table.Row(qc::kMemorySlot, outcome.row);
            EXPECT_EQ(row.Number, static_cast<qint16>(i + 1));
            EXPECT_NEAR(row.Value, std::stod(records[i].substr(6, 10)), 0.5);
            EXPECT_EQ(row.Unit, ShownUnit(gauge.reading.unit));
            const std::string material = records[i].substr(22, 3);
            EXPECT_EQ(row.Material, ShownMaterial(material.substr(0, material.find_last_not_of(' ') + 1)));
            EXPECT_EQ(row.DateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString(),
                      records[i].substr(26, 19));
        }
    }
}

TEST(RecordDecoding, DualProbeLiveValueGivesTwoRows)
{
    GaugeSetup gauge;
    ASSERT_TRUE(ModelDefaults("PEL", gauge));
    GaugeState state(gauge);
    const QString value = QString::fromStdString(state.NextLiveValue(1733390130));
    ASSERT_TRUE(value.contains(QStringLiteral("DNF")));
    // The program's split: the first line with its LF, then the last len/2
    // characters (halves to even) and a blank.
    const QString first = value.left(value.indexOf(u'\n') + 1);
    const auto half = static_cast<qsizetype>(std::nearbyint(value.size() / 2.0));
    const QString second = value.right(half) + u' ';
    const qc::GaugeContext context = ClassFourContext();
    qc::MeasurementTable table;
    qc::TableState tableState;
    tableState.TableMode = qc::kOnlineSlot;
    for (const QString& record : {first, second})
        ASSERT_EQ(qc::FillMessdaten(record, context, table, tableState, QDateTime::currentDateTime(), QLocale::c())
                      .status,
                  qc::FillStatus::Added);
    EXPECT_EQ(table.Row(qc::kOnlineSlot, 1).Material, QStringLiteral("DFE"));
    EXPECT_EQ(table.Row(qc::kOnlineSlot, 2).Material, QStringLiteral("DNF"));
    EXPECT_NEAR(table.Row(qc::kOnlineSlot, 2).Value, table.Row(qc::kOnlineSlot, 1).Value * 0.4, 0.5);
    EXPECT_TRUE(table.Row(qc::kOnlineSlot, 2).DateTime.isValid());
}

}  // namespace
}  // namespace quen::gaugesim
