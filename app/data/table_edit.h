#pragma once

#include <vector>

#include "data/measurement_table.h"

namespace qc {

// Material codes of the two rows of one dual-probe reading. The gauge
// delivers the "DFE" row first and the "DNF" row right after it.
inline const QString kDualFerrous = QStringLiteral("DFE");
inline const QString kDualNonFerrous = QStringLiteral("DNF");

// What the delete-row command does with the marked rows it found.
enum class MarkCheck {
    NothingMarked, // "Kein Eintrag ausgewählt"
    SeveralMarked, // "Bitte nur eine Zeile auswählen", then redraw
    OneMarked,     // ask before deleting
};
MarkCheck CheckMarkedRows(int markedCount);

enum class RowDeletion {
    Removed,        // RemovedRows rows went
    OnlyWithTable,  // the last reading goes only with the table: "Bitte Tabelle löschen"
};

// The slot row that belongs to the same dual-probe reading as `row`, or 0.
// A "DFE" row pairs with a "DNF" row directly after it, a "DNF" row with a
// "DFE" row directly before it; anything else has no partner.
int DualPartnerRow(const MeasurementTable& table, int slot, int row);

// Removes reading `row` (1-based, slot order) of the current slot, with its
// dual-probe partner, and lowers the counter of the slot by the rows
// removed. The rows left are ordered by number, as the grid shows them
// after a deletion.
RowDeletion DeleteSlotRow(MeasurementTable& table, TableState& state, int row);

// Delete table, after the user said yes: empties the current slot; the next
// live reading of an emptied online table is number 1 again.
void DeleteTable(MeasurementTable& table, TableState& state);

// Grid order for the sort command: descending by number unless the grid
// already shows the first two rows descending, then ascending. `order` holds
// slot rows in the order the grid shows them; the slot itself is unchanged.
void SortOrderByNumber(const MeasurementTable& table, int slot, std::vector<int>& order);

} // namespace qc
