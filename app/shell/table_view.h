#pragma once

#include <QString>
#include <QStringList>

#include "data/key_forwarding_settings.h"
#include "data/limits.h"

namespace qc {

class MeasurementGridModel;
enum class TableMode;

// Which memory controls a gauge class gets.
enum class MemoryControls {
    None,     // class "X": no memory to read
    Selector, // classes "4" and "5": selector, refresh and read buttons
};

// What the table controller needs of the window that shows the table: it
// is told what to show and never asked for what it shows. The main window
// implements it; tests and other front ends can put in their own.
class TableView {
public:
    virtual ~TableView() = default;

    // The grid shows this model from now on.
    virtual void BindModel(MeasurementGridModel& model) = 0;
    virtual void ShowGrid() = 0;
    virtual void ScrollToRow(int gridRow) = 0;
    // The statistics list; the logo stands in for it while `logo` is set.
    virtual void ShowStatistics(const QStringList& lines) = 0;
    virtual void ShowLogo(bool logo) = 0;
    virtual void ShowMaterialButton(const QString& caption, bool visible) = 0;
    virtual void ShowLimitsCaption(const QString& caption) = 0;
    // Captions of the two table options, counts included.
    virtual void ShowOptionCaption(TableMode mode, const QString& caption) = 0;
    // The memory status box; `widen` makes room for the "memory empty" notice.
    virtual void ShowMemoryStatus(const QString& text, bool widen) = 0;
    // The table of `mode` was chosen: its option checked, the outputs
    // offered, chart and mean hidden.
    virtual void ShowTableChosen(TableMode mode) = 0;
    virtual void HideChart() = 0;
    virtual void ArrangeMemoryControls(MemoryControls controls) = 0;
    // A measurement file fills the memory table: the memory option shows
    // `caption` and is chosen, the outputs are offered.
    virtual void ShowMeasurementFile(const QString& caption) = 0;
    // The working controls; disabled while the program is busy.
    virtual void SetWorkingControlsEnabled(bool enabled) = 0;

    // The limits dialog on a copy of `limits`; true and the new values when
    // the user saved them.
    virtual bool EditLimits(Limits& limits, const QString& profileRule) = 0;
    // The key forwarding dialog; true and the new settings after OK.
    virtual bool EditKeyForwarding(KeyForwardingSettings& settings) = 0;
};

} // namespace qc
