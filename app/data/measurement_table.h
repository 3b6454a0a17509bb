#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace qc {

// Readings per slot; rows 1..kMaxRows hold readings, row 0 is never a reading.
inline constexpr int kMaxRows = 5000;

// Slot 0 shows a gauge memory or a measurement file, slot 2 the live readings.
// Slot 1 exists in the layout but no operation selects it.
inline constexpr int kMemorySlot = 0;
inline constexpr int kOnlineSlot = 2;
inline constexpr int kSlotCount = 3;

struct Reading {
    qint16 Number = 0;
    double Value = 0; // already rounded to its display decimals
    QString Unit;
    QString Material; // "FE", "NF", "DFE", "DNF", ... or empty
    QDateTime DateTime;
    QString DateText;
    QString TimeText;

    // A row with number 0 and value 0 ends the readings of a slot.
    bool IsEmpty() const { return Value == 0 && Number == 0; }
};

// Counters and hand-over values shared by the fill, redraw and delete
// routines of the main window.
struct TableState {
    int TableMode = kMemorySlot;
    int RowCounter = 0;       // row the next reading of the current slot goes to
    int OnlineCounter = 0;    // row of the next live reading
    int NextOnlineNumber = 0; // lowest number the next live reading may get; numbers stay unique after deletions
    int RemovedRows = 0;      // rows removed by the last row deletion
    int GridRowsBefore = 0;   // data rows the grid had when a deletion started
    QString CountSuffix;      // " (n)" for the caption of the table's option
    QString TransferTime;     // "HH:mm:ss" of the last record taken
    QString TransferDate;     // "dd.MM.yyyy" of the last record taken
    QDateTime TransferTaken;  // the moment the two texts above were made for
    bool FileLoaded = false;
    double CurrentValue = 0;
    QString CurrentUnit;
    QString CurrentMaterial;
    QString MsgAnswer;
};

// Three slots of rows 0..kMaxRows each.
class MeasurementTable {
public:
    MeasurementTable();

    // Row 0..kMaxRows of slot 0..2; anything else is a programming error.
    Reading& Row(int slot, int row);
    const Reading& Row(int slot, int row) const;

    // Rows 1, 2, ... up to the first empty row.
    int ReadingCount(int slot) const;
    std::vector<Reading> Readings(int slot) const;

    // Rows 1..kMaxRows become empty rows with blank texts; the date-time
    // values are kept (they are only shown through the texts).
    void ClearSlot(int slot);

    // Clears the slot and writes `readings` to rows 1..n; readings past
    // kMaxRows are not stored. Returns the number stored.
    int SetReadings(int slot, const std::vector<Reading>& readings);

private:
    std::vector<std::vector<Reading>> slots_;
};

} // namespace qc
