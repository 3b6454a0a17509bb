#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <QLocale>
#include <optional>
#include <vector>

#include "data/gauge_profile.h"
#include "data/limits.h"
#include "data/measurement_table.h"

namespace qc {

// Columns of the table view and their widths (twips, 15 per pixel).
namespace grid {
inline constexpr int kDateTimeColumn = 0;
inline constexpr int kNumberColumn = 1;
inline constexpr int kValueColumn = 2;
inline constexpr int kUnitColumn = 3;
inline constexpr int kColumnCount = 4;
inline constexpr int kColumnWidthTwips[kColumnCount] = {1700, 800, 1500, 1800};
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kNumberWidth = 7;
inline constexpr int kMaterialWidth = 4;
inline constexpr int kDateModeFontSize = 7;
// Characters each column must show in full: date and time, the number,
// the value text and unit plus material.
inline constexpr int kColumnChars[kColumnCount] = {10, 7, 11, 8};
} // namespace grid

// What the view needs besides the rows: the slot shown, the date mode,
// the limits for the colours and the header words of the language.
struct GridContext {
    int slot = kMemorySlot;
    DeviceProfile profile;
    Limits limits;
    bool absoluteValues = false;
    QLocale locale;
    QString headerNumber = QStringLiteral("Nr.");      // MessageTexts 0
    QString headerValue = QStringLiteral("Messwert");  // MessageTexts 1
    QString headerUnit = QStringLiteral("Messeinheit"); // MessageTexts 2
    QString headerDateTime = QStringLiteral("Datum Zeit"); // MessageTexts 71
};

// The four-column grid over the current slot of the measurement table.
// Grid row i (0-based) shows the slot row SlotRowAt(i); the header row of
// the old grid is the horizontal header here. Marking and sorting change
// only the view, never the slot.
class MeasurementGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MeasurementGridModel(const MeasurementTable& table, QObject* parent = nullptr);

    void SetContext(const GridContext& context);
    const GridContext& Context() const { return context_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Header texts in the current language (start-up, language change).
    void InitGrid();
    // Whole redraw from the slot: rows 1..n in slot order, no marks.
    // `transferDate` heads the time column outside date mode.
    void FillMSFlexOne(const QString& transferDate);
    // Shows slot row r (appended, or renewed when already shown).
    void AddTableRow(int slotRow);
    // Many AddTableRow calls become one insertion.
    void BeginBatch();
    void EndBatch();
    // No rows at all (the old grid's clear).
    void ClearGrid();

    // Click on a grid row: grey marks it, a second click makes it white.
    void ToggleMark(int gridRow);
    bool IsMarked(int gridRow) const;
    std::vector<int> MarkedGridRows() const;

    int SlotRowAt(int gridRow) const;
    // Sort command: descending by number, or ascending when it is so already.
    void Sort();
    // Grid row to scroll to so the last reading shows; nullopt under 2 rows.
    std::optional<int> ShowLastRow() const;

    QString CellText(int gridRow, int column) const;
    // Fixed-pitch font of the cells: "Lucida Console" or the system's fixed font.
    QFont GridFont() const { return CellFont(grid::kNumberColumn); }
    std::optional<QColor> CellBackground(int gridRow) const;

private:
    enum class Mark : char { None, Marked, Unmarked };
    QFont CellFont(int column) const;
    void CommitPending();

    const MeasurementTable& table_;
    GridContext context_;
    std::vector<int> order_;   // slot rows in grid order
    std::vector<int> pending_; // rows added during a batch
    std::vector<char> shown_;  // slot row shown or pending
    std::vector<Mark> marks_;  // by slot row
    QString column0Header_;
    bool batching_ = false;
    mutable std::optional<QFont> font_;
};

} // namespace qc
