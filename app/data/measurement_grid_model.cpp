#include "data/measurement_grid_model.h"

#include "data/fixed_pitch_font.h"

#include <algorithm>

#include "data/cell_colour.h"
#include "data/record_text.h"
#include "data/table_edit.h"
#include "data/text_align.h"
#include "data/units.h"

namespace qc {

MeasurementGridModel::MeasurementGridModel(const MeasurementTable& table, QObject* parent)
    : QAbstractTableModel(parent)
    , table_(table)
    , shown_(kMaxRows + 1, 0)
    , marks_(kMaxRows + 1, Mark::None)
{
}

void MeasurementGridModel::SetContext(const GridContext& context)
{
    context_ = context;
    if (!order_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, grid::kColumnCount - 1));
    emit headerDataChanged(Qt::Horizontal, 0, grid::kColumnCount - 1);
}

int MeasurementGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int MeasurementGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : grid::kColumnCount;
}

int MeasurementGridModel::SlotRowAt(int gridRow) const { return order_.at(static_cast<size_t>(gridRow)); }

QString MeasurementGridModel::CellText(int gridRow, int column) const
{
    const Reading& r = table_.Row(context_.slot, SlotRowAt(gridRow));
    switch (column) {
    case grid::kDateTimeColumn:
        return IsDateMode(context_.profile) ? r.DateText + u' ' + r.TimeText : r.TimeText;
    case grid::kNumberColumn:
        return RightAlign(grid::kNumberWidth, QString::number(r.Number));
    case grid::kValueColumn:
        return FormatValue(r.Value, r.Unit, context_.profile, context_.locale).ValueText;
    case grid::kUnitColumn:
        return r.Unit + RightAlign(grid::kMaterialWidth, r.Material);
    default:
        return {};
    }
}

std::optional<QColor> MeasurementGridModel::CellBackground(int gridRow) const
{
    const int slotRow = SlotRowAt(gridRow);
    switch (marks_[static_cast<size_t>(slotRow)]) {
    case Mark::Marked:
        return cell_colour::kMarked;
    case Mark::Unmarked:
        return cell_colour::kUnmarked;
    case Mark::None:
        break;
    }
    return LimitColour(table_.Row(context_.slot, slotRow).Value, context_.limits, context_.absoluteValues);
}

QFont MeasurementGridModel::CellFont(int column) const
{
    if (!font_) {
        font_ = FixedPitchFont();
    }
    QFont f = *font_;
    if (column == grid::kDateTimeColumn && IsDateMode(context_.profile))
        f.setPointSize(grid::kDateModeFontSize);
    return f;
}

QVariant MeasurementGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= grid::kColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return index.column() == grid::kUnitColumn ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                                   : int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
        return CellFont(index.column());
    case Qt::BackgroundRole:
        if (const auto colour = CellBackground(index.row()))
            return *colour;
        return {};
    default:
        return {};
    }
}

QVariant MeasurementGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= grid::kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        switch (section) {
        case grid::kDateTimeColumn:
            return IsDateMode(context_.profile) ? context_.headerDateTime : column0Header_;
        case grid::kNumberColumn:
            return context_.headerNumber;
        case grid::kValueColumn:
            return context_.headerValue;
        default:
            return context_.headerUnit;
        }
    }
    if (role == Qt::TextAlignmentRole)
        return section == grid::kUnitColumn ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                            : int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::FontRole)
        return CellFont(grid::kNumberColumn);
    return {};
}

void MeasurementGridModel::InitGrid() { emit headerDataChanged(Qt::Horizontal, 0, grid::kColumnCount - 1); }

void MeasurementGridModel::FillMSFlexOne(const QString& transferDate)
{
    beginResetModel();
    pending_.clear();
    std::fill(shown_.begin(), shown_.end(), 0);
    std::fill(marks_.begin(), marks_.end(), Mark::None);
    const int n = table_.ReadingCount(context_.slot);
    order_.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        order_[static_cast<size_t>(i)] = i + 1;
        shown_[static_cast<size_t>(i + 1)] = 1;
    }
    column0Header_ = transferDate;
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

void MeasurementGridModel::AddTableRow(int slotRow)
{
    if (slotRow < 1 || slotRow > kMaxRows)
        return;
    const QString& header = table_.Row(context_.slot, 1).DateText;
    const bool headerChanged = header != column0Header_;
    column0Header_ = header;
    marks_[static_cast<size_t>(slotRow)] = Mark::None;
    if (shown_[static_cast<size_t>(slotRow)]) {
        const auto it = std::find(order_.begin(), order_.end(), slotRow);
        if (it != order_.end()) {
            const int row = static_cast<int>(it - order_.begin());
            emit dataChanged(index(row, 0), index(row, grid::kColumnCount - 1));
        }
    } else {
        shown_[static_cast<size_t>(slotRow)] = 1;
        pending_.push_back(slotRow);
        if (!batching_)
            CommitPending();
    }
    if (headerChanged)
        emit headerDataChanged(Qt::Horizontal, 0, 0);
}

void MeasurementGridModel::CommitPending()
{
    if (pending_.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(pending_.size()) - 1);
    order_.insert(order_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    endInsertRows();
}

void MeasurementGridModel::BeginBatch() { batching_ = true; }

void MeasurementGridModel::EndBatch()
{
    batching_ = false;
    CommitPending();
}

void MeasurementGridModel::ClearGrid()
{
    beginResetModel();
    order_.clear();
    pending_.clear();
    std::fill(shown_.begin(), shown_.end(), 0);
    std::fill(marks_.begin(), marks_.end(), Mark::None);
    endResetModel();
}

void MeasurementGridModel::ToggleMark(int gridRow)
{
    if (gridRow < 0 || gridRow >= rowCount())
        return;
    Mark& m = marks_[static_cast<size_t>(SlotRowAt(gridRow))];
    m = m == Mark::Marked ? Mark::Unmarked : Mark::Marked;
    emit dataChanged(index(gridRow, 0), index(gridRow, grid::kColumnCount - 1), {Qt::BackgroundRole});
}

bool MeasurementGridModel::IsMarked(int gridRow) const
{
    return gridRow >= 0 && gridRow < rowCount() && marks_[static_cast<size_t>(SlotRowAt(gridRow))] == Mark::Marked;
}

std::vector<int> MeasurementGridModel::MarkedGridRows() const
{
    std::vector<int> rows;
    for (int i = 0; i < rowCount(); ++i)
        if (IsMarked(i))
            rows.push_back(i);
    return rows;
}

void MeasurementGridModel::Sort()
{
    if (order_.size() < 2)
        return;
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int> slotRowsBefore;
    for (const QModelIndex& i : before)
        slotRowsBefore.push_back(SlotRowAt(i.row()));
    SortOrderByNumber(table_, context_.slot, order_);
    for (int k = 0; k < before.size(); ++k) {
        const int row = static_cast<int>(std::find(order_.begin(), order_.end(), slotRowsBefore[k]) - order_.begin());
        changePersistentIndex(before[k], index(row, before[k].column()));
    }
    emit layoutChanged();
}

std::optional<int> MeasurementGridModel::ShowLastRow() const
{
    // The old grid scrolled once it had two data rows besides its header.
    if (rowCount() < 2)
        return std::nullopt;
    return rowCount() - 1;
}

} // namespace qc
