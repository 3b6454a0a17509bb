#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>
#include <vector>

#include "output/chart_data.h"
#include "output/report_text.h"
#include "shell/frmTransfer_controls.h"

class QChartView;

namespace qc {

class frmChartG;
class frmTransfer;

// The chart and spreadsheet buttons of the main window: the embedded chart
// in place of the statistics list (cmdChart), the chart window (cmdGross),
// the spreadsheet export (cmdExcel), and the trace of a trigger memory
// handed over by the memory download. The work is done by the chart data
// and workbook code; this binds it to the buttons and message boxes.
class ChartCommands : public QObject {
    Q_OBJECT
public:
    // The prompts and the desktop, replaceable so tests can answer them.
    struct Desktop {
        std::function<bool(QWidget* parent, const QString& title, const QString& question)> askYesNo;
        // False when no program opens the document.
        std::function<bool(const QUrl& document)> openDocument;
        // Shows the chart window modally.
        std::function<void(frmChartG& window)> showChartWindow;
    };

    explicit ChartCommands(frmTransfer& window);

    void SetDesktop(Desktop desktop) { desktop_ = std::move(desktop); }

    void cmdChart_Click();
    void cmdGross_Click();
    void cmdExcel_Click();

    // A trace file of a trigger memory has been read (the download's
    // hand-over): the chart window opens on its pulses, and the embedded
    // chart stays on afterwards. The trace is kept for the exports while its
    // memory is the one shown.
    void ShowTrace(const PulseSeries& trace);

    bool ChartShown() const { return chartShown_; }
    QChartView* EmbeddedView() const { return view_; }
    const ChartModel& Model() const { return model_; }
    // Where the last workbook was saved.
    const QString& LastWorkbook() const { return lastWorkbook_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<PulseSeries> Trace() const;
    void FillChartData();
    void ShowChart();
    void HideChart();
    void Tell(const QString& text) const;
    QString MemoryText() const;
    bool ControlsAlive() const;

    frmTransfer& window_;
    // The controls, copied at start: the event filter also sees the hide
    // events of the window's teardown, when the window is no longer one.
    MainWindowControls ui_;
    std::vector<QPointer<QWidget>> watched_;
    Desktop desktop_;
    QChartView* view_ = nullptr;
    ChartModel model_;
    std::optional<PulseSeries> trace_;
    bool chartShown_ = false;
    QString lastWorkbook_;
};

} // namespace qc
