#include <gtest/gtest.h>

#include "data/measurement_data.h"

namespace qc {
namespace {

const QDateTime kNow(QDate(2024, 12, 5), QTime(10, 15, 30));

QString Record(int number, double value, const char* material = "")
{
    return QString::number(number).rightJustified(4, u' ') + QStringLiteral("  ") +
           QString::number(value, 'f', 2).rightJustified(10, u' ') + QStringLiteral(" \u00B5m   ") +
           QString::fromLatin1(material).leftJustified(3, u' ');
}

struct Data : MeasurementData {
    Data()
    {
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
        gauge.profile.ProfileClass = QStringLiteral("4");
        gauge.profile.ProfileKeys = QStringLiteral("E");
        gauge.profile.ProfileProbe = QStringLiteral("2");
        gauge.profile.ProfileFlag7 = QStringLiteral("2");
        statTexts.Count = QStringLiteral("Anzahl");
        statTexts.Minimum = QStringLiteral("Minimum");
        statTexts.Maximum = QStringLiteral("Maximum");
        statTexts.Title = QStringLiteral("Statistik:");
        ApplyContext();
        ResetStatistic();
        state.OnlineCounter = 1;
    }
};

TEST(MeasurementData, RecordsBecomeRowsCountsAndGridRows)
{
    Data d;
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(d.FillMessdaten(Record(i, 10.0 * i), kNow).status, FillStatus::Added);
    EXPECT_EQ(d.FillMessdaten(Record(0, 0), kNow).status, FillStatus::Dropped);
    EXPECT_EQ(d.model.rowCount(), 3);
    EXPECT_EQ(d.statistics.StatCount, 3);
    EXPECT_EQ(d.state.CountSuffix, QStringLiteral(" (3)"));
    EXPECT_EQ(d.state.RowCounter, 4);
    EXPECT_TRUE(d.FillMessdaten(Record(4, 40), kNow).keyTexts.isEmpty()); // memory table: no keys
}

TEST(MeasurementData, OnlineReadingsAndTheirKeys)
{
    Data d;
    d.keys.Enabled = true;
    d.keys.Options = QStringLiteral("1111");
    d.keys.EndOfLineKey = QStringLiteral("ENTER");
    d.SetTableMode(kOnlineSlot, kNow);
    const auto added = d.FillMessdaten(Record(77, 12.3, "FE"), kNow);
    EXPECT_EQ(added.row, 1);
    EXPECT_EQ(added.keyTexts,
              (QStringList{QStringLiteral("      1"), QStringLiteral(" 05.12.2024"), QStringLiteral("       12.3"),
                           QStringLiteral(" \u00B5m"), QStringLiteral(" FE"), QStringLiteral("({ENTER})")}));
    d.FillMessdaten(Record(78, 13, "FE"), kNow);
    d.FillMessdaten(Record(79, 14, "FE"), kNow);
    EXPECT_EQ(d.state.OnlineCounter, 4);
    EXPECT_EQ(d.statistics.Lines().first(), QStringLiteral("Online"));

    // Back to the memory table and online again: the rows are still there.
    d.SetTableMode(kMemorySlot, kNow);
    EXPECT_EQ(d.model.rowCount(), 0);
    d.SetTableMode(kOnlineSlot, kNow);
    EXPECT_EQ(d.model.rowCount(), 3);

    d.DeleteTable(kNow);
    EXPECT_EQ(d.model.rowCount(), 0);
    EXPECT_EQ(d.state.OnlineCounter, 1);
    EXPECT_EQ(d.FillMessdaten(Record(80, 15), kNow).row, 1);
    EXPECT_EQ(d.table.Row(kOnlineSlot, 1).Number, 1);
}

TEST(MeasurementData, DeletingOnlineRowsLowersTheOnlineCounter)
{
    Data d;
    d.SetTableMode(kOnlineSlot, kNow);
    for (int i = 0; i < 4; ++i)
        d.FillMessdaten(Record(1, 10 + i), kNow);
    d.model.ToggleMark(1);
    EXPECT_EQ(d.DeleteGridRow(1, kNow), RowDeletion::Removed);
    EXPECT_EQ(d.state.OnlineCounter, 4);
    EXPECT_EQ(d.model.rowCount(), 3);
    EXPECT_EQ(d.statistics.StatCount, 3);
    EXPECT_EQ(d.model.CellText(1, 1), QStringLiteral("      3"));
}

TEST(MeasurementData, DeletingAfterSortingRemovesTheRowShown)
{
    Data d;
    for (int i = 1; i <= 5; ++i)
        d.FillMessdaten(Record(i, i), kNow);
    d.model.Sort();
    EXPECT_EQ(d.model.CellText(0, 1), QStringLiteral("      5"));
    EXPECT_EQ(d.DeleteGridRow(0, kNow), RowDeletion::Removed);
    EXPECT_EQ(d.model.rowCount(), 4);
    EXPECT_EQ(d.model.CellText(3, 1), QStringLiteral("      4")); // ascending again after a deletion
}

TEST(MeasurementData, MemoryAbove5000RecordsIsToldOnceAndKeeps5000)
{
    Data d;
    d.model.BeginBatch();
    int told = 0;
    for (int i = 1; i <= kMaxRows + 3; ++i)
        told += d.FillMessdaten(Record(i % 9000 + 1, 10), kNow).tellTableFull ? 1 : 0;
    d.model.EndBatch();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(d.ReadingCount(), kMaxRows);
    EXPECT_EQ(d.model.rowCount(), kMaxRows);
    EXPECT_EQ(d.statistics.StatCount, kMaxRows);
    d.DeleteTable(kNow);
    d.FillMessdaten(Record(1, 10), kNow);
    EXPECT_EQ(d.ReadingCount(), 1);
}

TEST(MeasurementData, MaterialSwitchRecomputes)
{
    Data d;
    d.gauge.identity.ModelGroup = QStringLiteral("JV");
    d.FillMessdaten(Record(1, 10, "FE"), kNow);
    d.FillMessdaten(Record(2, 50, "NF"), kNow);
    d.FillMessdaten(Record(3, 30, "FE"), kNow);
    EXPECT_EQ(d.statistics.StatCount, 2);
    d.SwitchMaterial();
    EXPECT_EQ(d.statistics.StatCount, 1);
    EXPECT_DOUBLE_EQ(d.statistics.StatMaxAbs, 50);
    EXPECT_EQ(d.state.RowCounter, 3);
}

// Online numbers stay unique after a deletion: 1, 2, 3, delete 1, next is 4.
TEST(MeasurementData, OnlineNumbersAreNeverGivenTwice)
{
    for (int deleted : {0, 1, 2}) {
        Data d;
        d.SetTableMode(kOnlineSlot, kNow);
        for (int i = 0; i < 3; ++i)
            d.FillMessdaten(Record(99, 20 + i), kNow);
        ASSERT_EQ(d.DeleteGridRow(deleted, kNow), RowDeletion::Removed);
        d.FillMessdaten(Record(99, 30), kNow);
        d.FillMessdaten(Record(99, 31), kNow);
        std::vector<int> numbers;
        for (int r = 1; r <= d.ReadingCount(); ++r)
            numbers.push_back(d.table.Row(kOnlineSlot, r).Number);
        std::vector<int> expected;
        for (int n = 1; n <= 5; ++n)
            if (n != deleted + 1)
                expected.push_back(n);
        EXPECT_EQ(numbers, expected) << "deleted grid row " << deleted;
    }
}

// Outside date mode the time column is headed by the date the readings were
// taken, also after a redraw on the next day.
TEST(MeasurementData, HeaderKeepsTheTransferDateAfterMidnight)
{
    Data d;
    const QDateTime lateEvening(QDate(2024, 12, 5), QTime(23, 58, 0));
    const QDateTime nextDay(QDate(2024, 12, 6), QTime(0, 1, 0));
    d.FillMessdaten(Record(1, 10), lateEvening);
    d.FillMessdaten(Record(2, 20), lateEvening);
    EXPECT_EQ(d.model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("05.12.2024"));
    d.FillMSFlexOne(nextDay);
    EXPECT_EQ(d.model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("05.12.2024"));
    d.DeleteTable(nextDay); // an empty table takes today's date
    EXPECT_EQ(d.model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("06.12.2024"));
}

// Records whose value or unit column is not a finite number in range are
// refused at entry; the statistics stay finite.
TEST(MeasurementData, NonFiniteAndOutOfRangeRecordsAreRefused)
{
    const QString refused[] = {
        QStringLiteral("   1         nan \u00B5m   "), QStringLiteral("   1        -inf \u00B5m   "),
        QStringLiteral("   1    INFINITY \u00B5m   "), QStringLiteral("   1        12.5 nan    "),
        QStringLiteral("   1        12.5 inf    "),    QStringLiteral("   1       1e308 \u00B5m   "),
        QStringLiteral("   1      -1e300 \u00B5m   "), QStringLiteral("   1      2.5e13 \u00B5m   "),
    };
    for (const QString& record : refused) {
        Data d;
        const auto added = d.FillMessdaten(record, kNow);
        EXPECT_EQ(added.status, FillStatus::Refused) << record.toStdString();
        EXPECT_TRUE(added.refusal.startsWith(QStringLiteral("Record refused"))) << added.refusal.toStdString();
        EXPECT_EQ(d.ReadingCount(), 0);
        EXPECT_EQ(d.state.RowCounter, 1);
    }
    Data d;
    for (int i = 0; i < 2; ++i)
        d.FillMessdaten(QStringLiteral("   1       1e308 \u00B5m   "), kNow);
    d.FillMessdaten(Record(1, 999999999), kNow); // in range
    d.FillMessdaten(Record(2, 999999999), kNow);
    EXPECT_EQ(d.statistics.StatCount, 2);
    for (const QString& line : d.statistics.Lines())
        EXPECT_FALSE(line.contains(QStringLiteral("inf")) || line.contains(QStringLiteral("nan")))
            << line.toStdString();
}

} // namespace
} // namespace qc
