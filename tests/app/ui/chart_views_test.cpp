#include <gtest/gtest.h>

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <cmath>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QValueAxis>

#include "../output/xlsx_readback.h"
#include "../shell/scripted_prompt.h"
#include "../shell/shell_test_env.h"
#include "../shell/stepped_clock.h"
#include "dialog_controls.h"
#include "output/chart_data.h"
#include "shell/session.h"
#include "shell/table_controller.h"
#include "shell/texts.h"
#include "ui/chart_commands.h"
#include "ui/chart_view.h"
#include "ui/frmChartG.h"
#include "ui/frmTransfer.h"

namespace qc {
namespace {

Reading Row(int number, double value, const QString& unit = QStringLiteral("\u00B5m"))
{
    Reading r;
    r.Number = static_cast<qint16>(number);
    r.Value = value;
    r.Unit = unit;
    return r;
}

ChartModel Model(const Limits& limits, std::vector<Reading> rows = {Row(1, 10), Row(2, -20), Row(3, 30)})
{
    ChartInput in;
    in.rows = std::move(rows);
    in.limits = limits;
    in.unit = QStringLiteral("\u00B5m");
    in.locale = QLocale(QLocale::German, QLocale::Germany);
    in.stat = {QStringLiteral("      6,67"), QStringLiteral("      -20,0"), QStringLiteral("       30,0")};
    return BuildChartModel(in);
}

std::vector<QLineSeries*> Lines(QChart& chart)
{
    std::vector<QLineSeries*> out;
    for (QAbstractSeries* s : chart.series())
        if (auto* line = qobject_cast<QLineSeries*>(s))
            out.push_back(line);
    return out;
}

struct ViewCase {
    const char* name;
    Limits limits;
    QStringList names;
    std::vector<QColor> colours;
    std::vector<Qt::PenStyle> styles;
};

void PrintTo(const ViewCase& c, std::ostream* os) { *os << c.name; }

class ChartDrawing : public testing::TestWithParam<ViewCase> {};

TEST_P(ChartDrawing, OneSeriesPerColumnWithItsPointsAndPen)
{
    const ChartModel model = Model(GetParam().limits);
    QChart chart;
    DrawChart(chart, model, ChartType::Line, ChartSurface::Window);
    const std::vector<QLineSeries*> lines = Lines(chart);
    ASSERT_EQ(lines.size(), GetParam().names.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]->name(), GetParam().names[static_cast<qsizetype>(i)]);
        EXPECT_EQ(lines[i]->pen().color(), GetParam().colours[i]) << i;
        EXPECT_EQ(lines[i]->pen().style(), GetParam().styles[i]) << i;
        ASSERT_EQ(lines[i]->count(), 3);
        EXPECT_EQ(lines[i]->at(0).x(), 1);
        EXPECT_EQ(lines[i]->at(2).x(), 3);
        for (int p = 0; p < 3; ++p)
            EXPECT_EQ(lines[i]->at(p).y(), model.columns[i].values[static_cast<size_t>(p)]);
    }
    // The X axis is labelled only at its end.
    const auto axes = chart.axes(Qt::Horizontal);
    ASSERT_EQ(axes.size(), 1);
    auto* x = qobject_cast<QCategoryAxis*>(axes.front());
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->categoriesLabels(), QStringList{QStringLiteral(" 3")});
    EXPECT_EQ(x->max(), 3);
    auto* y = qobject_cast<QValueAxis*>(chart.axes(Qt::Vertical).front());
    EXPECT_EQ(y->min(), model.yMinimum);
    EXPECT_EQ(y->max(), model.yMaximum);
    EXPECT_EQ(y->titleText(), QStringLiteral("\u00B5m"));
    EXPECT_FALSE(y->isLineVisible());
    EXPECT_FALSE(x->isLineVisible());
}

const QColor kData(0, 0, 153), kTarget(150, 0, 0), kLimit(0, 130, 0);

INSTANTIATE_TEST_SUITE_P(
    Output, ChartDrawing,
    testing::Values(
        ViewCase{"NoLines", {}, {QStringLiteral("Daten")}, {kData}, {Qt::SolidLine}},
        ViewCase{"Target", {0, {}, 0, {}, 12, {}, false}, {QStringLiteral("Daten"), QStringLiteral("Sollwert     12")},
                 {kData, kTarget}, {Qt::SolidLine, Qt::DotLine}},
        ViewCase{"Limits", {5, {}, 50, {}, 0, {}, false},
                 {QStringLiteral("Daten"), QStringLiteral("Minimum 5"), QStringLiteral("Maximum 50")},
                 {kData, kLimit, kLimit}, {Qt::SolidLine, Qt::DotLine, Qt::DotLine}},
        ViewCase{"TargetAndLimits", {5, {}, 50, {}, 12, {}, false},
                 {QStringLiteral("Daten"), QStringLiteral("Sollwert     12"), QStringLiteral("Minimum 5"),
                  QStringLiteral("Maximum 50")},
                 {kData, kTarget, kLimit, kLimit}, {Qt::SolidLine, Qt::DotLine, Qt::DotLine, Qt::DotLine}}),
    [](const testing::TestParamInfo<ViewCase>& info) { return info.param.name; });

TEST(ChartDrawingPens, WidthOrderOfBothViews)
{
    const ChartModel model = Model({5, {}, 50, {}, 12, {}, false});
    QChart window, embedded;
    DrawChart(window, model, ChartType::Line, ChartSurface::Window);
    DrawChart(embedded, model, ChartType::Line, ChartSurface::Embedded);
    const auto w = Lines(window);
    const auto e = Lines(embedded);
    EXPECT_GT(w[0]->pen().widthF(), w[2]->pen().widthF()); // data > limits
    EXPECT_GT(w[2]->pen().widthF(), w[1]->pen().widthF()); // limits > target
    EXPECT_GT(e[0]->pen().widthF(), e[1]->pen().widthF()); // data > target
    EXPECT_EQ(e[1]->pen().widthF(), e[2]->pen().widthF()); // target = limits
    EXPECT_FALSE(embedded.legend()->isVisible());
    EXPECT_TRUE(embedded.axes(Qt::Vertical).front()->titleText().isEmpty());
}

TEST(ChartDrawingEdges, EmptyMemoryAndNonFinitePointsAndRedraw)
{
    QChart chart;
    DrawChart(chart, Model({}, {}), ChartType::Line, ChartSurface::Window);
    ASSERT_EQ(Lines(chart).size(), 1u);
    EXPECT_EQ(Lines(chart)[0]->count(), 0);
    EXPECT_TRUE(qobject_cast<QCategoryAxis*>(chart.axes(Qt::Horizontal).front())->categoriesLabels().isEmpty());

    DrawChart(chart, Model({}, {Row(1, 1), Row(2, NAN), Row(3, 3)}), ChartType::Line, ChartSurface::Window);
    EXPECT_EQ(Lines(chart)[0]->count(), 2);
    // Drawing again replaces, never adds.
    EXPECT_EQ(chart.series().size(), 1);
    EXPECT_EQ(chart.axes().size(), 2);
}

TEST(ChartWindow, ActivationLabelsAndLineBarSwitching)
{
    const ChartModel model = Model({5, {}, 50, {}, 12, {}, false});
    frmChartG window(model, kGerman);
    window.show();
    EXPECT_EQ(window.Type(), ChartType::Line);
    EXPECT_EQ(window.cmdChartType->text(), QStringLiteral("Linie / Balken"));
    EXPECT_EQ(window.windowTitle(), MessageText(kGerman, kCaptionTextKey));
    EXPECT_EQ(window.lblMean->text(), QStringLiteral("Mittelwert 6,67 \u00B5m"));
    EXPECT_EQ(window.lblStrich->text(), QStringLiteral("__ __ __"));
    EXPECT_EQ(window.lblMinMax->text(), QStringLiteral("Maximum 30,0 \u00B5m   Minimum -20,0 \u00B5m"));
    EXPECT_TRUE(window.lblMean->isVisible());
    EXPECT_FALSE(window.lblImpulszeit->isVisible());
    QChart& chart = *window.MSChart1->chart();
    EXPECT_EQ(Lines(chart).size(), 4u);

    window.cmdChartType->click();
    EXPECT_EQ(window.Type(), ChartType::Bar);
    ASSERT_EQ(chart.series().size(), 1);
    auto* bars = qobject_cast<QBarSeries*>(chart.series().front());
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->count(), 1);
    EXPECT_EQ(bars->barSets().front()->label(), QStringLiteral("Data"));
    EXPECT_EQ(bars->barSets().front()->count(), 3);
    EXPECT_EQ(bars->barSets().front()->at(1), -20);
    EXPECT_EQ(window.lblMean->text(), QStringLiteral("Mittelwert 6,67 \u00B5m")) << "the labels keep their texts";

    window.cmdChartType->click();
    EXPECT_EQ(window.Type(), ChartType::Line);
    EXPECT_EQ(Lines(chart).size(), 4u);
    EXPECT_EQ(chart.series().size(), 4);
}

TEST(ChartWindow, TriggerMemoryShowsThePulseTime)
{
    ChartInput in;
    in.trigger = PulseSeries{QStringLiteral("t1"), QStringLiteral("x"), 2.5, {1, 2, 3}, QStringLiteral("V"), 10};
    in.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    in.language = kEnglish;
    frmChartG window(BuildChartModel(in), kEnglish);
    window.show();
    EXPECT_TRUE(window.lblImpulszeit->isVisible());
    EXPECT_EQ(window.lblImpulszeit->text(), QStringLiteral("pulse time 2.50 ms"));
    EXPECT_FALSE(window.lblMean->isVisible());
    EXPECT_EQ(window.MSChart1->chart()->axes(Qt::Vertical).front()->titleText(), QStringLiteral("V"));
    EXPECT_EQ(window.cmdChartType->text(), QStringLiteral("Line / Bar"));
}

// The controls of the main window a user sees, by their names.
struct MainControls {
    explicit MainControls(const QWidget& w)
        : lstStat(test::Named<QListWidget>(w, QStringLiteral("lstStat")))
        , MSChart1(test::Named<QWidget>(w, QStringLiteral("MSChart1")))
        , picQuen(test::Named<QLabel>(w, QStringLiteral("picQuen")))
        , cmdChart(test::Named<QPushButton>(w, QStringLiteral("cmdChart")))
        , cmdGross(test::Named<QPushButton>(w, QStringLiteral("cmdGross")))
        , cmdExcel(test::Named<QPushButton>(w, QStringLiteral("cmdExcel")))
        , txtMittelwert(test::Named<QLineEdit>(w, QStringLiteral("txtMittelwert")))
    {
        for (const char* frame : {"FrameWerte", "FrameStatistik", "FrameBefehle"})
            frames.push_back(test::Named<QWidget>(w, QString::fromLatin1(frame)));
    }
    QListWidget* lstStat;
    QWidget* MSChart1;
    QLabel* picQuen;
    QPushButton* cmdChart;
    QPushButton* cmdGross;
    QPushButton* cmdExcel;
    QLineEdit* txtMittelwert;
    std::vector<QWidget*> frames;
};

// The main window with readings in its memory table; prompts and the
// desktop answer as each test says.
class ChartCommandsTest : public testing::Test {
protected:
    ChartCommandsTest()
    {
        window.SetPrompt(&prompt);
        session.Gauge.identity.GaugeNumber = QStringLiteral("12/34");
        session.Gauge.profile.ProfileClass = QStringLiteral("4");
        session.Gauge.profile.ProfileProbe = QStringLiteral("2");
        session.Gauge.profile.ProfileFlag7 = QStringLiteral("2");
        session.Settings.SetGaugeNumber(QStringLiteral("1234"));
        desktop.openDocument = [this](const QUrl& url) {
            opened = url;
            blockedWhileOpening = !ui.cmdExcel->isEnabled();
            return documentOpens;
        };
        desktop.showChartWindow = [this](frmChartG& chart) {
            chart.show();
            shownModel = chart.Model();
            shownMaximised = chart.windowState().testFlag(Qt::WindowMaximized);
            ++windowsShown;
            chart.close();
        };
        window.charts().SetDesktop(desktop);
        window.show();
        // As after a gauge is identified.
        for (QWidget* frame : ui.frames)
            frame->show();
        window.Unblock_Buttons();
    }

    void Fill(const std::vector<const char*>& records)
    {
        TableController& table = window.table();
        table.BeginFill();
        for (const char* record : records)
            table.FillMessdaten(QString::fromUtf8(record));
        table.EndFill();
    }
    void FillThree()
    {
        Fill({"   1       12.30 \u00B5m   FE  2024-12-05 10:15:30", "   2       15.00 \u00B5m   FE  2024-12-05 10:15:31",
              "   3       -5.20 \u00B5m   FE  2024-12-05 10:15:32"});
    }

    QString ExportFolder() const { return folders.Data() + QStringLiteral("/export/~12_002F34"); }

    test::ShellFolders folders;
    test::SteppedClock clock;
    Session session{clock};
    frmTransfer window{session};
    MainControls ui{window};
    test::ScriptedPrompt prompt;
    QStringList& messages = prompt.told;
    QStringList& questions = prompt.asked;
    ChartCommands::Desktop desktop;
    QUrl opened;
    bool documentOpens = true;
    bool blockedWhileOpening = false;
    ChartModel shownModel;
    bool shownMaximised = false;
    int windowsShown = 0;
};

TEST_F(ChartCommandsTest, ChartButtonComesWithTheStatisticsAndTogglesTheChart)
{
    EXPECT_FALSE(ui.cmdChart->isVisible());
    FillThree();
    ASSERT_TRUE(ui.lstStat->isVisible());
    EXPECT_TRUE(ui.cmdChart->isVisible()) << "without it the chart could never be reached";
    EXPECT_EQ(ui.cmdChart->text(), QStringLiteral("Chart"));
    window.table().Data().statistics.AbsoluteValues = true;

    ui.cmdChart->click();
    ChartCommands& charts = window.charts();
    EXPECT_TRUE(charts.ChartShown());
    EXPECT_TRUE(ui.MSChart1->isVisible());
    EXPECT_FALSE(ui.lstStat->isVisible());
    EXPECT_FALSE(ui.picQuen->isVisible());
    EXPECT_TRUE(ui.cmdGross->isVisible());
    EXPECT_TRUE(ui.txtMittelwert->isVisible());
    EXPECT_EQ(ui.cmdChart->text(), QStringLiteral("Stat"));
    EXPECT_FALSE(window.table().Data().statistics.AbsoluteValues) << "the chart button clears it";
    EXPECT_EQ(charts.Model().columns[0].values, (std::vector<double>{12.3, 15, -5.2}));
    EXPECT_TRUE(ui.txtMittelwert->text().startsWith(QStringLiteral("_ _ _Mittelwert")));
    EXPECT_EQ(charts.EmbeddedView()->chart()->series().size(), 1);

    ui.cmdChart->click();
    EXPECT_FALSE(charts.ChartShown());
    EXPECT_FALSE(ui.MSChart1->isVisible());
    EXPECT_TRUE(ui.lstStat->isVisible());
    EXPECT_FALSE(ui.cmdGross->isVisible());
    EXPECT_FALSE(ui.txtMittelwert->isVisible());
    EXPECT_EQ(ui.cmdChart->text(), QStringLiteral("Chart"));
}

TEST_F(ChartCommandsTest, DifferentUnitsLeaveTheChartOff)
{
    Fill({"   1       12.30 \u00B5m   FE  2024-12-05 10:15:30", "   2        1.50 mm     FE  2024-12-05 10:15:31"});
    ASSERT_TRUE(window.table().Data().statistics.UnitsDiffer);
    window.charts().cmdChart_Click();
    EXPECT_FALSE(window.charts().ChartShown());
    EXPECT_FALSE(ui.MSChart1->isVisible());
}

TEST_F(ChartCommandsTest, LargeDisplaySwitchesTheEmbeddedChartOffAndShowsTheSameData)
{
    FillThree();
    window.charts().cmdChart_Click();
    window.charts().cmdGross_Click();
    EXPECT_EQ(windowsShown, 1);
    EXPECT_FALSE(window.charts().ChartShown());
    EXPECT_EQ(shownModel.columns[0].values, window.charts().Model().columns[0].values);
    EXPECT_FALSE(shownMaximised);
}

TEST_F(ChartCommandsTest, TheChartFollowsNewReadingsAndLeavesWithTheTable)
{
    FillThree();
    window.charts().cmdChart_Click();
    Fill({"   4       20.00 \u00B5m   FE  2024-12-05 10:15:33"});
    EXPECT_EQ(window.charts().Model().pointCount, 4);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ui.lstStat->isVisible());
    EXPECT_TRUE(ui.MSChart1->isVisible());

    // The table hides the chart button (emptied table): the chart goes too.
    ui.cmdChart->hide();
    EXPECT_FALSE(window.charts().ChartShown());
    EXPECT_FALSE(ui.MSChart1->isVisible());
    EXPECT_FALSE(ui.cmdGross->isVisible());
}

TEST_F(ChartCommandsTest, TraceOpensTheChartWindowOnItsPulses)
{
    PulseSeries trace{QStringLiteral("t3"), QStringLiteral("1 kHz"), 2.5, {1.5, 2.5, 0.5, 3}, QStringLiteral("V"), 250};
    window.charts().ShowTrace(trace);
    EXPECT_EQ(windowsShown, 1);
    EXPECT_TRUE(shownMaximised);
    EXPECT_TRUE(shownModel.trigger);
    EXPECT_EQ(shownModel.pointCount, 4);
    EXPECT_TRUE(window.charts().ChartShown());
    EXPECT_TRUE(ui.MSChart1->isVisible());
    EXPECT_TRUE(ui.cmdChart->isVisible());
    EXPECT_TRUE(ui.cmdGross->isVisible());
    EXPECT_FALSE(ui.txtMittelwert->isVisible());
    EXPECT_FALSE(ui.lstStat->isVisible());
    EXPECT_EQ(ui.cmdChart->text(), QStringLiteral("Stat"));

    // The export of the trace memory writes its pulses.
    prompt.answers = {true};
    window.charts().cmdExcel_Click();
    const QJsonObject book = test::ReadWorkbook(window.charts().LastWorkbook());
    EXPECT_EQ(book[QStringLiteral("charts")].toArray()[0].toObject()[QStringLiteral("title")].toString(),
              QStringLiteral("Chart Trigger t3 (1 kHz)"));
    EXPECT_FALSE(book[QStringLiteral("cells")].toObject().isEmpty());
}

TEST_F(ChartCommandsTest, ExportAsksSavesUnderANewNameAndOpens)
{
    FillThree();
    prompt.answers = {true, false};
    window.charts().cmdExcel_Click();
    EXPECT_EQ(questions, QStringList{QStringLiteral("Excel inklusive Chart erstellen?")});
    const QString first = window.charts().LastWorkbook();
    EXPECT_TRUE(first.startsWith(ExportFolder() + QStringLiteral("/~12_002F34_"))) << first.toStdString();
    EXPECT_TRUE(first.endsWith(QStringLiteral(".xlsx")));
    EXPECT_EQ(opened, QUrl::fromLocalFile(first));
    EXPECT_TRUE(blockedWhileOpening);
    EXPECT_TRUE(ui.cmdExcel->isEnabled());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    QJsonObject book = test::ReadWorkbook(first);
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray().size(), 3);

    window.charts().cmdExcel_Click();
    const QString second = window.charts().LastWorkbook();
    EXPECT_NE(second, first) << "an earlier export is never overwritten";
    book = test::ReadWorkbook(second);
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray().size(), 1) << "No: no chart";
    EXPECT_EQ(QDir(ExportFolder()).entryList(QDir::Files).size(), 2);
}

TEST_F(ChartCommandsTest, DifferentUnitsAreNotAskedAbout)
{
    Fill({"   1       12.30 \u00B5m   FE  2024-12-05 10:15:30", "   2        1.50 mm     FE  2024-12-05 10:15:31"});
    window.charts().cmdExcel_Click();
    EXPECT_TRUE(questions.isEmpty());
    const QJsonObject book = test::ReadWorkbook(window.charts().LastWorkbook());
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray().size(), 1);
}

TEST_F(ChartCommandsTest, FailuresAreToldAndLoggedAndTheControlsComeBack)
{
    FillThree();
    QFile blocker(folders.Data() + QStringLiteral("/export"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    window.charts().cmdExcel_Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Open Excel:"))) << messages[0].toStdString();
    EXPECT_TRUE(ui.cmdExcel->isEnabled());
    QFile log(session.Log.Path());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromLatin1(log.readAll()).contains(QStringLiteral("Open Excel:"))); // Windows-1252
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(ChartCommandsTest, NoProgramToOpenItTellsWhereItIs)
{
    FillThree();
    documentOpens = false;
    session.SetLanguage(kEnglish);
    window.charts().cmdExcel_Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Open Excel:No program was found to open it. The document is saved in ") +
                               QDir::toNativeSeparators(window.charts().LastWorkbook()));
    EXPECT_TRUE(QFileInfo(window.charts().LastWorkbook()).size() > 0);
}

} // namespace
} // namespace qc

namespace qc {
namespace {

// Pictures of each view for the reviewers, written only when
// QC_SCREENS_DIR names a folder (run under xvfb-run by hand).
TEST_F(ChartCommandsTest, ScreensOfEachView)
{
    const QString dir = qEnvironmentVariable("QC_SCREENS_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "QC_SCREENS_DIR not set";
    QDir().mkpath(dir);
    session.Settings.limits = {40, QStringLiteral("40"), 80, QStringLiteral("80"), 60, QStringLiteral("60"), false};
    std::vector<QByteArray> records;
    for (int i = 1; i <= 60; ++i) {
        const double v = 60 + 14 * std::sin(i * 0.37) + (i % 7) * 1.3 - 4;
        records.push_back(QStringLiteral("%1  %2 \u00B5m   FE  2024-12-05 10:%3:30")
                              .arg(i, 4)
                              .arg(v, 10, 'f', 2)
                              .arg(i % 60, 2, 10, QLatin1Char('0'))
                              .toUtf8());
    }
    std::vector<const char*> raw;
    for (const QByteArray& r : records)
        raw.push_back(r.constData());
    Fill(raw);
    window.resize(1180, 760);
    window.charts().cmdChart_Click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.grab().save(dir + QStringLiteral("/embedded_chart.png")));

    desktop.showChartWindow = [&](frmChartG& chart) {
        chart.resize(1000, 640);
        chart.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(chart.grab().save(dir + QStringLiteral("/chart_window_line.png")));
        chart.cmdChartType->click();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(chart.grab().save(dir + QStringLiteral("/chart_window_bar.png")));
        chart.close();
    };
    window.charts().SetDesktop(desktop);
    window.charts().cmdGross_Click();

    PulseSeries trace{QStringLiteral("t1"), QStringLiteral("1 kHz"), 2.5, {}, QStringLiteral("V"), 50};
    for (int i = 0; i < 400; ++i)
        trace.Values.push_back(3 * std::exp(-i / 90.0) * std::sin(i / 6.0));
    desktop.showChartWindow = [&](frmChartG& chart) {
        chart.resize(1000, 640);
        chart.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(chart.grab().save(dir + QStringLiteral("/trace_chart_window.png")));
        chart.close();
    };
    window.charts().SetDesktop(desktop);
    window.charts().ShowTrace(trace);
}

} // namespace
} // namespace qc
