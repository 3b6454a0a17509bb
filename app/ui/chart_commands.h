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
#include "shell/prompt.h"
#include "ui/frmTransfer_controls.h"

class QChartView;

namespace qc {

class frmChartG;
class ReportCommands;
class ReportWindow;
class Session;
class TableController;

// The chart and spreadsheet buttons of the main window: the embedded chart
// in place of the statistics list (cmdChart), the chart window (cmdGross),
// the spreadsheet export (cmdExcel), and the trace of a trigger memory
// handed over by the memory download. The work is done by the chart data
// and workbook code on the session's table; this binds it to the buttons,
// the chart views and the message boxes.
class ChartCommands : public QObject {
    Q_OBJECT
public:
    // The desktop and the chart window, replaceable so tests can answer them.
    struct Desktop {
        // False when no program opens the document.
        std::function<bool(const QUrl& document)> openDocument;
        // Shows the chart window modally.
        std::function<void(frmChartG& window)> showChartWindow;
    };

    ChartCommands(Session& session, TableController& table, ReportCommands& reports, ReportWindow& window,
                  const MainWindowControls& controls, Prompt& prompt);

    void SetDesktop(Desktop desktop) { desktop_ = std::move(desktop); }
    // Message boxes go through this; tests put in their own.
    void SetPrompt(Prompt& prompt) { prompt_ = &prompt; }

    void cmdChart_Click();
    void cmdGross_Click();
    void cmdExcel_Click();

    // A trace file of a trigger memory has been read (the download's
    // hand-over): the chart window opens on its pulses, enlarged, and the
    // embedded chart is on afterwards. The trace is kept for the spreadsheet
    // until the table gets new content.
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
    void TellAndLog(const QString& text) const;
    QString MemoryText() const;
    bool ControlsAlive() const;

    Session& session_;
    TableController& table_;
    ReportCommands& reports_;
    ReportWindow& window_;
    MainWindowControls ui_;
    // The watched controls: the filter stops acting once one of them is gone.
    std::vector<QPointer<QWidget>> watched_;
    Prompt* prompt_;
    Desktop desktop_;
    QChartView* view_ = nullptr; // owned by MSChart1
    ChartModel model_;
    std::optional<PulseSeries> trace_;
    bool chartShown_ = false;
    QString lastWorkbook_;
};

} // namespace qc
