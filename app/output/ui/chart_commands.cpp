#include "output/ui/chart_commands.h"

#include <QChart>
#include <algorithm>
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
#include <QMessageBox>
#include <QPushButton>

#include "data/ui/table_controller.h"
#include "output/export_file.h"
#include "output/export_inputs.h"
#include "output/report_docx.h"
#include "output/spreadsheet_export.h"
#include "output/ui/chart_view.h"
#include "output/ui/frmChartG.h"
#include "output/ui/report_commands.h"
#include "shell/frmTransfer.h"
#include "shell/texts.h"

namespace qc {

namespace {

const QString kOpenExcelPrefix = QStringLiteral("Open Excel:");
const QString kChartCaption = QStringLiteral("Chart");
const QString kStatCaption = QStringLiteral("Stat");
const QString kOnlineFileName = QStringLiteral("Online");
constexpr int kChartQuestionKey = 49; // MessageTexts "Excel inklusive Chart erstellen?"

QString Words(int language, const char16_t* german, const char16_t* english)
{
    return QString::fromUtf16(language == kEnglish ? english : german);
}

ChartCommands::Desktop SystemDesktop()
{
    ChartCommands::Desktop d;
    d.askYesNo = [](QWidget* parent, const QString& title, const QString& question) {
        return QMessageBox::question(parent, title, question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    d.openDocument = [](const QUrl& document) { return QDesktopServices::openUrl(document); };
    d.showChartWindow = [](frmChartG& window) { window.exec(); };
    return d;
}

} // namespace

ChartCommands::ChartCommands(frmTransfer& window)
    : QObject(&window)
    , window_(window)
    , ui_(window.controls())
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
    const MeasurementGridModel& model = window_.table().Data().model;
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
    if (!trace_ || window_.table().Data().state.TableMode != kMemorySlot)
        return std::nullopt;
    return trace_;
}

void ChartCommands::FillChartData()
{
    const MeasurementData& data = window_.table().Data();
    model_ = BuildChartModel(ChartFromData(data, window_.Language(), Trace()));
    DrawChart(*view_->chart(), model_, ChartType::Line, ChartSurface::Embedded);
    QLineEdit* mean = window_.controls().txtMittelwert;
    mean->setText(model_.meanBox);
    QPalette black = mean->palette();
    black.setColor(QPalette::Text, Qt::black);
    mean->setPalette(black);
}

void ChartCommands::ShowChart()
{
    const MainWindowControls& ui = window_.controls();
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
    const MainWindowControls& ui = window_.controls();
    if (chartShown_) {
        HideChart();
        ui.lstStat->show();
        return;
    }
    MeasurementData& data = window_.table().Data();
    if (data.statistics.UnitsDiffer)
        return;
    data.statistics.AbsoluteValues = false;
    ShowChart();
}

void ChartCommands::cmdGross_Click()
{
    if (chartShown_)
        cmdChart_Click();
    frmChartG chart(model_, window_.Language(), &window_);
    desktop_.showChartWindow(chart);
}

void ChartCommands::ShowTrace(const PulseSeries& trace)
{
    trace_ = trace;
    const MeasurementData& data = window_.table().Data();
    model_ = BuildChartModel(ChartFromData(data, window_.Language(), Trace()));
    {
        frmChartG chart(model_, window_.Language(), &window_);
        chart.setWindowState(chart.windowState() | Qt::WindowMaximized);
        desktop_.showChartWindow(chart);
    }
    ShowChart();
    window_.controls().txtMittelwert->hide();
}

void ChartCommands::Tell(const QString& text) const
{
    window_.ShowMessage(MessageText(window_.Language(), kCaptionTextKey), text);
}

QString ChartCommands::MemoryText() const { return window_.controls().cmbSpeicher->currentText().trimmed(); }

void ChartCommands::cmdExcel_Click()
{
    window_.Block_Buttons();
    const int lang = window_.Language();
    const std::optional<PulseSeries> trace = Trace();
    TableController& table = window_.table();
    MeasurementData& data = table.Data();
    bool withChart = false;
    if (!data.statistics.UnitsDiffer)
        withChart = desktop_.askYesNo(&window_, MessageText(lang, kCaptionTextKey), MessageText(lang, kChartQuestionKey));
    const QString header = window_.reports().FillReportText(report_mode::Project);
    QString memory = MemoryText();
    if (memory.isEmpty() && trace)
        memory = trace->MemoryName.trimmed();
    const SpreadsheetInput input = SpreadsheetFromData(data, header, lang, memory, trace, withChart);
    table.RecalcStatistics(); // the list shows the material the export left selected
    if (trace)
        trace_ = trace;

    const QString gauge = window_.gauge().identity.GaugeNumber;
    QString fileMemory = data.state.TableMode == kOnlineSlot ? kOnlineFileName : memory;
    if (fileMemory.isEmpty())
        fileMemory = window_.MemoryOptionCaption;
    const ReservedPath target =
        ReserveExportPath(ExportFolder(window_.folders().DataDir, gauge),
                          ExportFileStem(gauge, fileMemory, QDateTime::currentDateTime()), export_file::kSpreadsheetExtension);
    std::optional<QString> error = target.error;
    if (!error)
        error = WriteSpreadsheet(target.path, input);
    if (error) {
        const QString text = kOpenExcelPrefix + *error;
        Tell(text);
        window_.WriteLog(text);
        window_.Unblock_Buttons();
        return;
    }
    lastWorkbook_ = target.path;
    if (!desktop_.openDocument(QUrl::fromLocalFile(target.path))) {
        const QString text = kOpenExcelPrefix +
                             Words(lang, u"Kein Programm zum Öffnen gefunden. Die Arbeitsmappe ist gespeichert in ",
                                   u"No program was found to open it. The workbook is saved in ") +
                             QDir::toNativeSeparators(target.path);
        Tell(text);
        window_.WriteLog(text);
    }
    window_.Unblock_Buttons();
}

} // namespace qc
