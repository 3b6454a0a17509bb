#include "data/table_edit.h"

#include <algorithm>

namespace qc {

MarkCheck CheckMarkedRows(int markedCount)
{
    if (markedCount <= 0)
        return MarkCheck::NothingMarked;
    return markedCount == 1 ? MarkCheck::OneMarked : MarkCheck::SeveralMarked;
}

int DualPartnerRow(const MeasurementTable& table, int slot, int row)
{
    const int n = table.ReadingCount(slot);
    if (row < 1 || row > n)
        return 0;
    const QString& material = table.Row(slot, row).Material;
    if (material.contains(kDualFerrous) && row < n && table.Row(slot, row + 1).Material.contains(kDualNonFerrous))
        return row + 1;
    if (material.contains(kDualNonFerrous) && row > 1 && table.Row(slot, row - 1).Material.contains(kDualFerrous))
        return row - 1;
    return 0;
}

RowDeletion DeleteSlotRow(MeasurementTable& table, TableState& state, int row)
{
    const int slot = state.TableMode;
    const int n = table.ReadingCount(slot);
    state.GridRowsBefore = n;
    const QString& material = table.Row(slot, std::clamp(row, 0, kMaxRows)).Material;
    const bool dual = material.contains(kDualFerrous) || material.contains(kDualNonFerrous);
    if (row < 1 || row > n || n == 1 || (dual && n == 2))
        return RowDeletion::OnlyWithTable;

    const int partner = DualPartnerRow(table, slot, row);
    std::vector<Reading> rows = table.Readings(slot);
    if (partner > 0)
        rows.erase(rows.begin() + (std::max(row, partner) - 1));
    rows.erase(rows.begin() + (std::min(row, partner > 0 ? partner : row) - 1));
    std::stable_sort(rows.begin(), rows.end(), [](const Reading& a, const Reading& b) { return a.Number < b.Number; });
    table.SetReadings(slot, rows);

    state.RemovedRows = partner > 0 ? 2 : 1;
    if (slot == kOnlineSlot)
        state.OnlineCounter -= state.RemovedRows;
    else
        state.RowCounter -= state.RemovedRows;
    return RowDeletion::Removed;
}

void DeleteTable(MeasurementTable& table, TableState& state)
{
    table.ClearSlot(state.TableMode);
    state.RowCounter = 1;
    if (state.TableMode == kOnlineSlot) {
        state.OnlineCounter = 1;
        state.NextOnlineNumber = 0;
    }
}

void SortOrderByNumber(const MeasurementTable& table, int slot, std::vector<int>& order)
{
    auto number = [&](int gridRow) { return table.Row(slot, order[gridRow]).Number; };
    const bool descending = order.size() >= 2 && number(0) >= 1 && number(1) > 0 && number(0) > number(1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const qint16 na = table.Row(slot, a).Number;
        const qint16 nb = table.Row(slot, b).Number;
        return descending ? na < nb : na > nb;
    });
}

} // namespace qc
