#include "data/measurement_table.h"

#include <algorithm>
#include <stdexcept>

namespace qc {

namespace {

void CheckIndex(int slot, int row)
{
    if (slot < 0 || slot >= kSlotCount || row < 0 || row > kMaxRows)
        throw std::out_of_range("measurement table: slot " + std::to_string(slot) + " row " +
                                std::to_string(row));
}

} // namespace

MeasurementTable::MeasurementTable()
    : slots_(kSlotCount, std::vector<Reading>(kMaxRows + 1))
{
}

Reading& MeasurementTable::Row(int slot, int row)
{
    CheckIndex(slot, row);
    return slots_[slot][row];
}

const Reading& MeasurementTable::Row(int slot, int row) const
{
    CheckIndex(slot, row);
    return slots_[slot][row];
}

int MeasurementTable::ReadingCount(int slot) const
{
    CheckIndex(slot, 0);
    const auto& rows = slots_[slot];
    int n = 0;
    while (n < kMaxRows && !rows[n + 1].IsEmpty())
        ++n;
    return n;
}

std::vector<Reading> MeasurementTable::Readings(int slot) const
{
    const int n = ReadingCount(slot);
    const auto& rows = slots_[slot];
    return std::vector<Reading>(rows.begin() + 1, rows.begin() + 1 + n);
}

void MeasurementTable::ClearSlot(int slot)
{
    CheckIndex(slot, 0);
    static const QString kBlank = QStringLiteral(" ");
    for (int i = 1; i <= kMaxRows; ++i) {
        Reading& r = slots_[slot][i];
        r.DateText = kBlank;
        r.TimeText = kBlank;
        r.Number = 0;
        r.Value = 0;
        r.Unit = kBlank;
        r.Material.clear();
    }
}

int MeasurementTable::SetReadings(int slot, const std::vector<Reading>& readings)
{
    ClearSlot(slot);
    const int n = std::min<int>(static_cast<int>(readings.size()), kMaxRows);
    for (int i = 0; i < n; ++i)
        slots_[slot][i + 1] = readings[i];
    return n;
}

} // namespace qc
