#include <gtest/gtest.h>

#include "data/table_edit.h"

namespace qc {
namespace {

struct Row {
    int number;
    double value;
    const char* material;
};

void Fill(MeasurementTable& t, int slot, std::initializer_list<Row> rows)
{
    t.ClearSlot(slot);
    int i = 1;
    for (const Row& r : rows) {
        Reading& x = t.Row(slot, i++);
        x.Number = static_cast<qint16>(r.number);
        x.Value = r.value;
        x.Unit = QStringLiteral("\u00B5m");
        x.Material = QString::fromLatin1(r.material);
    }
}

std::vector<int> Numbers(const MeasurementTable& t, int slot)
{
    std::vector<int> n;
    for (const Reading& r : t.Readings(slot))
        n.push_back(r.Number);
    return n;
}

TEST(RowDeletion, MarkedRowCountDecidesWhatHappens)
{
    EXPECT_EQ(CheckMarkedRows(0), MarkCheck::NothingMarked);
    EXPECT_EQ(CheckMarkedRows(1), MarkCheck::OneMarked);
    EXPECT_EQ(CheckMarkedRows(2), MarkCheck::SeveralMarked);
}

TEST(RowDeletion, RemovesOneRowAndLowersTheCounterOfTheSlot)
{
    MeasurementTable t;
    TableState s;
    Fill(t, kMemorySlot, {{1, 10, ""}, {2, 20, ""}, {3, 30, ""}});
    s.RowCounter = 3;
    EXPECT_EQ(DeleteSlotRow(t, s, 2), RowDeletion::Removed);
    EXPECT_EQ(Numbers(t, kMemorySlot), (std::vector<int>{1, 3}));
    EXPECT_EQ(s.RemovedRows, 1);
    EXPECT_EQ(s.GridRowsBefore, 3);
    EXPECT_EQ(s.RowCounter, 2);
    EXPECT_TRUE(t.Row(kMemorySlot, 3).IsEmpty());
}

TEST(RowDeletion, TheOnlyRowGoesOnlyWithTheTable)
{
    MeasurementTable t;
    TableState s;
    Fill(t, kMemorySlot, {{1, 10, ""}});
    EXPECT_EQ(DeleteSlotRow(t, s, 1), RowDeletion::OnlyWithTable);
    EXPECT_EQ(t.ReadingCount(kMemorySlot), 1);
    Fill(t, kMemorySlot, {{1, 10, "DFE"}, {1, 12, "DNF"}});
    EXPECT_EQ(DeleteSlotRow(t, s, 2), RowDeletion::OnlyWithTable);
    EXPECT_EQ(t.ReadingCount(kMemorySlot), 2);
}

TEST(RowDeletion, DualProbePairsGoTogether)
{
    struct Case {
        const char* name;
        int marked;
        std::vector<int> left;
        int removed;
    };
    const Case cases[] = {
        {"DFE takes the DNF after it", 2, {1, 3, 3}, 2},
        {"DNF takes the DFE before it", 3, {1, 3, 3}, 2},
        {"the second pair", 5, {1, 2, 2}, 2},
        {"plain row alone", 1, {2, 2, 3, 3}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MeasurementTable t;
        TableState s;
        s.TableMode = kOnlineSlot;
        s.OnlineCounter = 6;
        Fill(t, kOnlineSlot, {{1, 5, "FE"}, {2, 10, "DFE"}, {2, 12, "DNF"}, {3, 11, "DFE"}, {3, 13, "DNF"}});
        EXPECT_EQ(DeleteSlotRow(t, s, c.marked), RowDeletion::Removed);
        EXPECT_EQ(Numbers(t, kOnlineSlot), c.left);
        EXPECT_EQ(s.RemovedRows, c.removed);
        EXPECT_EQ(s.OnlineCounter, 6 - c.removed);
    }
}

TEST(RowDeletion, ALoneDualRowHasNoPartner)
{
    MeasurementTable t;
    Fill(t, kMemorySlot, {{1, 5, "DNF"}, {2, 10, "DFE"}, {3, 5, "FE"}});
    EXPECT_EQ(DualPartnerRow(t, kMemorySlot, 1), 0); // nothing before it
    EXPECT_EQ(DualPartnerRow(t, kMemorySlot, 2), 0); // followed by FE
    TableState s;
    s.RowCounter = 4;
    EXPECT_EQ(DeleteSlotRow(t, s, 2), RowDeletion::Removed);
    EXPECT_EQ(Numbers(t, kMemorySlot), (std::vector<int>{1, 3}));
    EXPECT_EQ(s.RowCounter, 3);
}

TEST(RowDeletion, RowsLeftAreOrderedByNumber)
{
    MeasurementTable t;
    TableState s;
    Fill(t, kMemorySlot, {{3, 1, ""}, {1, 2, ""}, {4, 3, ""}, {2, 4, ""}});
    DeleteSlotRow(t, s, 3);
    EXPECT_EQ(Numbers(t, kMemorySlot), (std::vector<int>{1, 2, 3}));
    EXPECT_DOUBLE_EQ(t.Row(kMemorySlot, 1).Value, 2);
}

TEST(DeleteTable, OnlineTableStartsAgainAtNumberOne)
{
    MeasurementTable t;
    TableState s;
    s.TableMode = kOnlineSlot;
    s.OnlineCounter = 4;
    Fill(t, kOnlineSlot, {{1, 5, ""}, {2, 6, ""}, {3, 7, ""}});
    Fill(t, kMemorySlot, {{1, 5, ""}});
    DeleteTable(t, s);
    EXPECT_EQ(t.ReadingCount(kOnlineSlot), 0);
    EXPECT_EQ(t.ReadingCount(kMemorySlot), 1);
    EXPECT_EQ(s.OnlineCounter, 1);
    EXPECT_EQ(s.RowCounter, 1);
}

TEST(Sort, AlternatesBetweenDescendingAndAscending)
{
    MeasurementTable t;
    Fill(t, kMemorySlot, {{1, 1, ""}, {2, 1, ""}, {3, 1, ""}, {4, 1, ""}, {5, 1, ""}});
    std::vector<int> order{1, 2, 3, 4, 5};
    SortOrderByNumber(t, kMemorySlot, order);
    EXPECT_EQ(order, (std::vector<int>{5, 4, 3, 2, 1}));
    SortOrderByNumber(t, kMemorySlot, order);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(t.Row(kMemorySlot, 1).Number, 1); // the slot keeps its order

    std::vector<int> single{1};
    SortOrderByNumber(t, kMemorySlot, single);
    EXPECT_EQ(single, (std::vector<int>{1}));
}

} // namespace
} // namespace qc
