#include "data/measurement_data.h"

#include "data/key_forwarding.h"
#include "data/text_align.h"
#include "data/units.h"

namespace qc {

MeasurementData::MeasurementData()
{
    table.ClearSlot(kMemorySlot);
    table.ClearSlot(kOnlineSlot);
    ApplyContext();
}

void MeasurementData::ApplyContext()
{
    GridContext c = gridTexts;
    c.slot = state.TableMode;
    c.profile = gauge.profile;
    c.limits = limits;
    c.absoluteValues = statistics.AbsoluteValues;
    c.locale = locale;
    model.SetContext(c);
}

StatisticsContext MeasurementData::StatContext() const
{
    StatisticsContext c;
    c.profile = gauge.profile;
    c.ModelGroup = gauge.identity.ModelGroup;
    c.limits = limits;
    c.OnlineTable = state.TableMode == kOnlineSlot;
    c.MemoryCaption = memoryCaption;
    c.SelectedMemoryName = selectedMemoryName;
    c.locale = locale;
    c.texts = statTexts;
    return c;
}

void MeasurementData::Accumulate(int row)
{
    const Reading& r = table.Row(state.TableMode, row);
    state.CurrentValue = r.Value;
    state.CurrentUnit = r.Unit;
    state.CurrentMaterial = r.Material;
    const bool absoluteBefore = statistics.AbsoluteValues;
    statistics.Accumulate(r.Value, r.Unit, r.Material, StatContext());
    if (statistics.AbsoluteValues != absoluteBefore)
        ApplyContext(); // the cell colours follow the statistics' absolute values
}

void MeasurementData::AddTableRow(int row)
{
    model.AddTableRow(row);
    state.CountSuffix = QStringLiteral(" (") + QString::number(row) + u')';
    Accumulate(row);
}

MeasurementData::RowAdded MeasurementData::FillMessdaten(const QString& recordText, const QDateTime& now)
{
    const FillOutcome out = qc::FillMessdaten(recordText, gauge, table, state, now, locale);
    RowAdded added{out.status, out.row, {}, false, out.refusal};
    if (out.status == FillStatus::TableFull) {
        added.tellTableFull = !tableFullTold_;
        tableFullTold_ = true;
        return added;
    }
    if (out.status != FillStatus::Added)
        return added;
    AddTableRow(out.row);
    if (!keys.Enabled || state.TableMode != kOnlineSlot)
        return added; // nothing to type: the texts are not made
    const Reading& r = table.Row(state.TableMode, out.row);
    const ForwardedReading forwarded{RightAlign(grid::kNumberWidth, QString::number(r.Number)), r.DateText,
                                     FormatValue(r.Value, r.Unit, gauge.profile, locale).ValueText, r.Unit, r.Material};
    added.keyTexts = KeyForwardingTexts(keys, state.TableMode, forwarded);
    return added;
}

void MeasurementData::ResetStatistic()
{
    statistics.Reset();
    state.RowCounter = 1;
    tableFullTold_ = false;
}

void MeasurementData::FillMSFlexOne(const QDateTime& now)
{
    statistics.Reset();
    ApplyContext();
    // Outside date mode the time column is headed by the readings' transfer
    // date; only an empty table takes today's.
    const QString& firstDate = table.Row(state.TableMode, 1).DateText;
    const bool dated = ReadingCount() > 0 && !firstDate.trimmed().isEmpty();
    model.FillMSFlexOne(dated ? firstDate : TransferDateText(now));
    const int n = ReadingCount();
    for (int i = 1; i <= n; ++i) {
        state.RowCounter = i;
        Accumulate(i);
    }
    state.CountSuffix = QStringLiteral(" (") + QString::number(n) + u')';
}

void MeasurementData::RecalcStatistics()
{
    statistics.Reset();
    state.RowCounter = 0;
    const int n = ReadingCount();
    for (int i = 1; i <= n; ++i) {
        ++state.RowCounter;
        Accumulate(i);
    }
}

void MeasurementData::SetTableMode(int mode, const QDateTime& now)
{
    state.TableMode = mode;
    FillMSFlexOne(now);
}

void MeasurementData::DeleteTable(const QDateTime& now)
{
    statistics.FirstUnit.clear();
    model.ClearGrid();
    ResetStatistic();
    qc::DeleteTable(table, state);
    FillMSFlexOne(now);
    if (state.TableMode == kOnlineSlot) {
        state.OnlineCounter = 1;
        state.NextOnlineNumber = 0;
    }
}

RowDeletion MeasurementData::DeleteGridRow(int gridRow, const QDateTime& now)
{
    if (gridRow < 0 || gridRow >= model.rowCount())
        return RowDeletion::OnlyWithTable;
    const RowDeletion result = DeleteSlotRow(table, state, model.SlotRowAt(gridRow));
    if (result != RowDeletion::Removed)
        return result;
    FillMSFlexOne(now);
    RecalcStatistics();
    tableFullTold_ = false;
    return result;
}

void MeasurementData::SwitchMaterial()
{
    statistics.SwitchMaterial(gauge.profile.ProfileClass);
    statistics.ResetValues();
    state.RowCounter = 0;
    const int n = ReadingCount();
    for (int i = 1; i <= n; ++i) {
        ++state.RowCounter;
        Accumulate(i);
    }
}

} // namespace qc
