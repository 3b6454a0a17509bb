#include "ui/chart_commands.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "output/export_file.h"
#include "output/export_inputs.h"
#include "output/report_docx.h"
#include "output/spreadsheet_export.h"
#include "shell/session.h"
#include "shell/table_controller.h"
#include "shell/texts.h"
#include "ui/chart_view.h"
#include "ui/frmChartG.h"
#include "ui/report_commands.h"

namespace qc {

namespace {

const QString kOpenExcelPrefix = QStringLiteral("Open Excel:");
const QString kChartCaption = QStringLiteral("Chart");
const QString kStatCaption = QStringLiteral("Stat");
const QString kOnlineFileName = QStringLiteral("Online");
constexpr int kChartQuestionKey = 49; // MessageTexts "Excel inklusive Chart erstellen?"

ChartCommands::Desktop SystemDesktop()
{
    ChartCommands::Desktop d;
    d.openDocument = [](const QUrl& document) { return QDesktopServices::openUrl(document); };
    d.showChartWindow = [](frmChartG& window) { window.exec(); };
    return d;
}

} // namespace

ChartCommands::ChartCommands(Session& session, TableController& table, ReportCommands& reports, ReportWindow& window,
                             const MainWindowControls& controls, Prompt& prompt)
    : session_(session)
    , table_(table)
    , reports_(reports)
    , window_(window)
    , ui_(controls)
    , prompt_(&prompt)
    , desktop_(SystemDesktop())
{
    const MainWindowControls& ui = ui_;
    for (QWidget* w : {static_cast<QWidget*>(ui.lstStat), static_cast<QWidget*>(ui.cmdChart),
                       static_cast<QWidget*>(ui.cmdGross), static_cast<QWidget*>(ui.MSChart1),
                       static_cast<QWidget*>(ui.txtMittelwert), static_cast<QWidget*>(ui.picQuen)})
        watched_.emplace_back(w);
    view_ = new QChartView(new QChart, ui.MSChart1);
    view_->setObjectName(QStringLiteral("MSChart1View"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumHeight(160);
    ui.MSChart1->layout()->setContentsMargins(0, 0, 0, 0);
    ui.MSChart1->layout()->addWidget(view_);
    connect(ui.cmdChart, &QPushButton::clicked, this, &ChartCommands::cmdChart_Click);
    connect(ui.cmdGross, &QPushButton::clicked, this, &ChartCommands::cmdGross_Click);
    connect(ui.cmdExcel, &QPushButton::clicked, this, &ChartCommands::cmdExcel_Click);
    // The table shows and hides the statistics list and the chart button as
    // readings come and go; the chart follows it.
    ui.lstStat->installEventFilter(this);
    ui.cmdChart->installEventFilter(this);
    // A trace belongs to the memory it was read with: any new table content ends it.
    const MeasurementGridModel& model = table_.Data().model;
    connect(&model, &QAbstractItemModel::modelReset, this, [this] { trace_.reset(); });
    connect(&model, &QAbstractItemModel::rowsInserted, this, [this] { trace_.reset(); });
}
bool ChartCommands::ControlsAlive() const
{
    return std::all_of(watched_.begin(), watched_.end(), [](const QPointer<QWidget>& w) { return !w.isNull(); });
}

bool ChartCommands::eventFilter(QObject* watched, QEvent* event)
{
    const MainWindowControls& ui = ui_;
    if (!ControlsAlive())
        return QObject::eventFilter(watched, event);
    if (watched == ui.lstStat && event->type() == QEvent::Show) {
        if (!chartShown_) {
            ui.cmdChart->setText(kChartCaption);
            ui.cmdChart->show();
        } else {
            // New readings while the chart is on: the chart shows them.
            FillChartData();
            QMetaObject::invokeMethod(ui.lstStat, &QWidget::hide, Qt::QueuedConnection);
        }
    } else if (watched == ui.cmdChart && event->type() == QEvent::Hide && chartShown_) {
        HideChart();
    }
    return QObject::eventFilter(watched, event);
}

std::optional<PulseSeries> ChartCommands::Trace() const
{
    if (!trace_ || session_.Mode() != TableMode::Memory)
        return std::nullopt;
    return trace_;
}

void ChartCommands::FillChartData()
{
    model_ = BuildChartModel(ChartFromData(table_.Data(), session_.Language(), Trace()));
    DrawChart(*view_->chart(), model_, ChartType::Line, ChartSurface::Embedded);
    QLineEdit* mean = ui_.txtMittelwert;
    mean->setText(model_.meanBox);
    QPalette black = mean->palette();
    black.setColor(QPalette::Text, Qt::black);
    mean->setPalette(black);
}

void ChartCommands::ShowChart()
{
    const MainWindowControls& ui = ui_;
    chartShown_ = true;
    ui.picQuen->hide();
    ui.MSChart1->show();
    ui.lstStat->hide();
    ui.cmdChart->setText(kStatCaption);
    ui.cmdChart->show();
    ui.cmdGross->show();
    ui.txtMittelwert->show();
    FillChartData();
}

void ChartCommands::HideChart()
{
    const MainWindowControls& ui = ui_;
    chartShown_ = false;
    ui.MSChart1->hide();
    ui.cmdChart->setText(kChartCaption);
    ui.cmdGross->hide();
    ui.txtMittelwert->hide();
}

void ChartCommands::cmdChart_Click()
{
    if (chartShown_) {
        HideChart();
        ui_.lstStat->show();
        return;
    }
    MeasurementData& data = table_.Data();
    if (data.statistics.UnitsDiffer)
        return;
    data.statistics.AbsoluteValues = false;
    ShowChart();
}

void ChartCommands::cmdGross_Click()
{
    if (chartShown_)
        cmdChart_Click();
    frmChartG chart(model_, session_.Language(), window_.DialogParent());
    desktop_.showChartWindow(chart);
}

void ChartCommands::ShowTrace(const PulseSeries& trace)
{
    trace_ = trace;
    model_ = BuildChartModel(ChartFromData(table_.Data(), session_.Language(), Trace()));
    {
        frmChartG chart(model_, session_.Language(), window_.DialogParent());
        chart.setWindowState(chart.windowState() | Qt::WindowMaximized);
        desktop_.showChartWindow(chart);
    }
    ShowChart();
    ui_.txtMittelwert->hide();
}

void ChartCommands::TellAndLog(const QString& text) const
{
    prompt_->Tell(MessageText(session_.Language(), kCaptionTextKey), text, Prompt::Icon::None);
    session_.Log.WriteLog(text);
}

QString ChartCommands::MemoryText() const { return ui_.cmbSpeicher->currentText().trimmed(); }

void ChartCommands::cmdExcel_Click()
{
    window_.SetReportBusy(true);
    const int lang = session_.Language();
    const std::optional<PulseSeries> trace = Trace();
    MeasurementData& data = table_.Data();
    bool withChart = false;
    if (!data.statistics.UnitsDiffer)
        withChart = prompt_->AskYesNo(MessageText(lang, kCaptionTextKey), MessageText(lang, kChartQuestionKey),
                                      Prompt::Icon::Question);
    const QString header = reports_.FillReportText(report_mode::Project);
    QString memory = MemoryText();
    if (memory.isEmpty() && trace)
        memory = trace->MemoryName.trimmed();
    const SpreadsheetInput input = SpreadsheetFromData(data, header, lang, memory, trace, withChart);
    table_.RecalcStatistics(); // the list shows the material the export left selected
    if (trace)
        trace_ = trace;

    const QString gauge = session_.Gauge.identity.GaugeNumber;
    QString fileMemory = session_.Mode() == TableMode::Online ? kOnlineFileName : memory;
    if (fileMemory.isEmpty())
        fileMemory = session_.MemoryOptionText;
    const ReservedPath target = ReserveExportPath(ExportFolder(session_.Folders.DataDir, gauge),
                                                  ExportFileStem(gauge, fileMemory, session_.Clock().CurrentDateTime()),
                                                  export_file::kSpreadsheetExtension);
    std::optional<QString> error = target.error;
    if (!error)
        error = WriteSpreadsheet(target.path, input);
    if (error) {
        TellAndLog(kOpenExcelPrefix + *error);
        window_.SetReportBusy(false);
        return;
    }
    lastWorkbook_ = target.path;
    if (!desktop_.openDocument(QUrl::fromLocalFile(target.path)))
        TellAndLog(kOpenExcelPrefix + NoticeText(lang, kNoticeDocumentNotOpened) + QDir::toNativeSeparators(target.path));
    window_.SetReportBusy(false);
}

} // namespace qc
