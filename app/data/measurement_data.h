#pragma once

#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include "data/gauge_profile.h"
#include "data/key_forwarding_settings.h"
#include "data/limits.h"
#include "data/measurement_grid_model.h"
#include "data/measurement_table.h"
#include "data/record_text.h"
#include "data/statistics.h"
#include "data/table_edit.h"

namespace qc {

// The table, its grid model and its statistics, kept in step. The main
// window owns one and binds its controls to it; everything here runs
// without widgets.
class MeasurementData {
public:
    MeasurementData();

    MeasurementTable table;
    TableState state;
    Statistics statistics;
    MeasurementGridModel model{table};

    GaugeContext gauge;
    Limits limits;
    KeyForwardingSettings keys;
    QLocale locale;
    StatisticsTexts statTexts;
    GridContext gridTexts; // header words; slot, limits and profile are filled in here
    QString memoryCaption;
    QString selectedMemoryName;

    // Pushes slot, profile, limits and header words into the grid model.
    void ApplyContext();
    StatisticsContext StatContext() const;

    struct RowAdded {
        FillStatus status;
        int row;
        QStringList keyTexts; // to type for this reading (online table, forwarding on)
        bool tellTableFull;   // first refusal since the table was emptied
        QString refusal;      // Refused: the log line
    };
    // One record: decode into the current slot, show, count, forward.
    RowAdded FillMessdaten(const QString& recordText, const QDateTime& now);

    // Redraw of the current slot with its statistics.
    void FillMSFlexOne(const QDateTime& now);
    // Statistics over the rows of the current slot.
    void RecalcStatistics();
    // Statistics start values; RowCounter = 1.
    void ResetStatistic();

    // Switches the current slot (memory 0, online 2) and redraws.
    void SetTableMode(int mode, const QDateTime& now);

    // After the user confirmed: empties the current slot.
    void DeleteTable(const QDateTime& now);
    // After the user confirmed: removes the reading of grid row `gridRow`
    // (with its dual-probe partner) and redraws.
    RowDeletion DeleteGridRow(int gridRow, const QDateTime& now);

    // Material button: the other material is left out of the statistics.
    void SwitchMaterial();

    // Readings of the current slot (up to the first empty row).
    int ReadingCount() const { return table.ReadingCount(state.TableMode); }

private:
    void AddTableRow(int row);
    void Accumulate(int row);
    bool tableFullTold_ = false;
};

} // namespace qc
