// The table commands through the main window, with the message boxes
// answered by a script.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

#include "dialog_controls.h"
#include "main_window_fixture.h"
#include "shell/session.h"
#include "shell/table_controller.h"
#include "ui/frmTastatur.h"
#include "ui/frmWerte.h"

namespace qc {
namespace {

const QString kNoEntry = QStringLiteral("Kein Eintrag ausgew\u00E4hlt");
const QString kOneRowOnly = QStringLiteral("Bitte nur eine Zeile ausw\u00E4hlen");
const QString kDeleteRow = QStringLiteral("Wollen Sie die markierte Zeile wirklich l\u00F6schen?");
const QString kDeleteTableFirst = QStringLiteral("Bitte Tabelle l\u00F6schen");
const QString kDeleteTable = QStringLiteral("Wollen Sie die Tabelle wirklich l\u00F6schen?");

QString Record(int number, double value, const char* material = "")
{
    return QString::number(number).rightJustified(4, u' ') + QStringLiteral("  ") +
           QString::number(value, 'f', 1).rightJustified(10, u' ') + QStringLiteral(" \u00B5m   ") +
           QString::fromLatin1(material);
}

class TableWindowTest : public MainWindowTest {
protected:
    TableWindowTest()
    {
        session.Gauge.profile.ProfileClass = QStringLiteral("4");
        session.Gauge.profile.ProfileKeys = QStringLiteral("E");
        session.Gauge.profile.ProfileProbe = QStringLiteral("2");
        session.Gauge.profile.ProfileFlag7 = QStringLiteral("2");
        session.Settings.SetGaugeNumber(QStringLiteral("4711"));
        window.Unblock_Buttons();
        window.table().Reset_Statistic();
        window.table().Data().state.OnlineCounter = 1;
    }

    MeasurementGridModel& model() { return window.table().Data().model; }

    void Fill(std::initializer_list<std::pair<int, const char*>> rows)
    {
        window.table().optFE_Click();
        for (const auto& [n, material] : rows)
            window.table().FillMessdaten(Record(n, 10.0 * n, material));
    }

    std::vector<int> Numbers()
    {
        std::vector<int> n;
        for (int i = 0; i < model().rowCount(); ++i)
            n.push_back(model().CellText(i, 1).trimmed().toInt());
        return n;
    }
};

TEST_F(TableWindowTest, GridShowsTheRowsWithTheirStatistics)
{
    Fill({{1, ""}, {2, ""}, {3, ""}});
    EXPECT_EQ(ui().MSFlex->model(), &model());
    EXPECT_EQ(model().rowCount(), 3);
    ASSERT_GE(ui().lstStat->count(), 4);
    EXPECT_EQ(ui().lstStat->item(3)->text(), QStringLiteral("Anzahl              3"));
    EXPECT_FALSE(ui().lstStat->isHidden());
    EXPECT_TRUE(ui().optFE->text().endsWith(QStringLiteral("(3)"))) << ui().optFE->text().toStdString();
}

TEST_F(TableWindowTest, LimitsLoadedForTheGaugeColourTheNextReadings)
{
    Fill({{1, ""}});
    session.Settings.limits = {0, {}, 50, {}, 0, {}, false}; // as the gauge's limits file gives them
    window.table().FillMessdaten(Record(2, 60));
    EXPECT_EQ(model().data(model().index(1, 2), Qt::BackgroundRole).value<QColor>(), QColor(239, 162, 162));
    EXPECT_EQ(model().data(model().index(0, 2), Qt::BackgroundRole).value<QColor>(), QColor(158, 232, 155));
}

TEST_F(TableWindowTest, LanguageSwitchRenewsHeadersStatisticsAndLimits)
{
    Fill({{1, ""}, {2, ""}});
    window.English_Click();
    EXPECT_EQ(model().headerData(1, Qt::Horizontal).toString(), QStringLiteral("No."));
    EXPECT_EQ(model().headerData(2, Qt::Horizontal).toString(), QStringLiteral("Value"));
    EXPECT_EQ(model().headerData(3, Qt::Horizontal).toString(), QStringLiteral("Unit"));
    EXPECT_EQ(ui().lstStat->item(2)->text(), QStringLiteral("Statistics:"));
    EXPECT_EQ(ui().lstStat->item(3)->text(), QStringLiteral("Count               2"));
    EXPECT_EQ(ui().cmdWerte->text(), QStringLiteral("Limits"));
}

TEST_F(TableWindowTest, MaterialButtonSwitchesTheMaterialCounted)
{
    session.Gauge.identity.ModelGroup = QStringLiteral("JV");
    Fill({{1, "FE"}, {2, "NF"}, {3, "FE"}});
    EXPECT_FALSE(ui().cmdMaterial->isHidden());
    EXPECT_EQ(ui().cmdMaterial->text(), QStringLiteral("NF"));
    EXPECT_EQ(ui().lstStat->item(3)->text(), QStringLiteral("Anzahl              2"));
    ui().cmdMaterial->click();
    EXPECT_EQ(ui().cmdMaterial->text(), QStringLiteral("FE"));
    EXPECT_EQ(ui().lstStat->item(2)->text(), QStringLiteral("NFE Statistik:"));
    EXPECT_EQ(ui().lstStat->item(3)->text(), QStringLiteral("Anzahl              1"));
}

TEST_F(TableWindowTest, KeyDialogStoresTheSettingsAndTellsWhenTheTargetCannotStart)
{
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<frmTastatur*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        test::Named<QCheckBox>(*dialog, QStringLiteral("chkAktiv"))->setChecked(true);
        test::Named<QLineEdit>(*dialog, QStringLiteral("txtAnwendung"))
            ->setText(QStringLiteral("/nonexistent/receiver"));
        test::Named<QCheckBox>(*dialog, QStringLiteral("chkNr"))->setChecked(true);
        test::Named<QRadioButton>(*dialog, QStringLiteral("optEnter"))->setChecked(true);
        test::Named<QPushButton>(*dialog, QStringLiteral("cmdOk"))->click();
    });
    ui().mnuTastaturevent->trigger();
    QFile file(session.Settings.KeyForwardingPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("1;/nonexistent/receiver;1000;ENTER\r\n"));
    ASSERT_EQ(prompt.told.size(), 1);
    EXPECT_EQ(prompt.told[0], QStringLiteral("Tastatur Events: Die Anwendung konnte nicht gestartet werden: "
                                             "/nonexistent/receiver"));
    EXPECT_FALSE(window.table().Keys().TargetStarted);
}

TEST_F(TableWindowTest, DeleteRowWithoutAMarkTellsSo)
{
    Fill({{1, ""}, {2, ""}});
    ui().cmdFlexZeileLoeschen->click();
    EXPECT_EQ(prompt.told, QStringList{kNoEntry});
    EXPECT_EQ(model().rowCount(), 2);
}

TEST_F(TableWindowTest, DeleteRowWithTwoMarksTellsSoAndClearsTheMarks)
{
    Fill({{1, ""}, {2, ""}, {3, ""}});
    window.table().MSFlex_Click(0);
    window.table().MSFlex_Click(2);
    ui().cmdFlexZeileLoeschen->click();
    EXPECT_EQ(prompt.told, QStringList{kOneRowOnly});
    EXPECT_TRUE(prompt.asked.isEmpty());
    EXPECT_EQ(model().rowCount(), 3);
    EXPECT_TRUE(model().MarkedGridRows().empty());
}

TEST_F(TableWindowTest, DeleteOneMarkedRowAfterYes)
{
    Fill({{1, ""}, {2, ""}, {3, ""}});
    window.table().MSFlex_Click(1);
    prompt.answers = {false};
    ui().cmdFlexZeileLoeschen->click();
    EXPECT_EQ(prompt.asked, QStringList{kDeleteRow});
    EXPECT_EQ(model().rowCount(), 3); // No keeps everything

    prompt.answers = {true};
    ui().cmdFlexZeileLoeschen->click();
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 3}));
    EXPECT_EQ(ui().lstStat->item(3)->text(), QStringLiteral("Anzahl              2"));
    EXPECT_TRUE(ui().optFE->text().endsWith(QStringLiteral("(2)")));
    EXPECT_EQ(prompt.icons.back(), Prompt::Icon::Question);
}

TEST_F(TableWindowTest, TheOnlyRowGoesOnlyWithTheTable)
{
    Fill({{1, ""}});
    window.table().MSFlex_Click(0);
    prompt.answers = {true, true};
    ui().cmdFlexZeileLoeschen->click();
    EXPECT_EQ(prompt.asked, (QStringList{kDeleteRow, kDeleteTableFirst}));
    EXPECT_EQ(model().rowCount(), 1);
}

TEST_F(TableWindowTest, ADualProbePairGoesTogether)
{
    Fill({{1, "FE"}, {2, "DFE"}, {2, "DNF"}, {3, "FE"}});
    window.table().MSFlex_Click(2); // the DNF row
    prompt.answers = {true};
    ui().cmdFlexZeileLoeschen->click();
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 3}));
    EXPECT_EQ(window.table().Data().state.RemovedRows, 2);
}

TEST_F(TableWindowTest, SortTurnsTheOrderAndBack)
{
    Fill({{1, ""}, {2, ""}, {3, ""}, {4, ""}, {5, ""}});
    ui().cmdSort->click();
    EXPECT_EQ(Numbers(), (std::vector<int>{5, 4, 3, 2, 1}));
    ui().cmdSort->click();
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(TableWindowTest, DeletingTheOnlineTableStartsTheNumbersAgain)
{
    Fill({{1, ""}});
    ui().optOnline->click();
    EXPECT_EQ(model().rowCount(), 0);
    for (int i = 0; i < 3; ++i)
        window.table().FillMessdaten(Record(99, 20 + i));
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(window.table().Data().state.OnlineCounter, 4);
    EXPECT_EQ(ui().lstStat->item(0)->text(), QStringLiteral("Online"));

    prompt.answers = {false};
    ui().cmdFlexTabelleloeschen->click();
    EXPECT_EQ(model().rowCount(), 3);
    EXPECT_EQ(window.table().Data().state.MsgAnswer, QStringLiteral("7"));

    prompt.answers = {true};
    ui().cmdFlexTabelleloeschen->click();
    EXPECT_EQ(prompt.asked.last(), kDeleteTable);
    EXPECT_EQ(model().rowCount(), 0);
    EXPECT_EQ(window.table().Data().state.OnlineCounter, 1);
    window.table().FillMessdaten(Record(99, 30));
    EXPECT_EQ(Numbers(), std::vector<int>{1});
    EXPECT_EQ(ui().optOnline->text(), QStringLiteral("Online (1)"));

    // The memory table kept its row.
    ui().optFE->click();
    EXPECT_EQ(model().rowCount(), 1);
}

TEST_F(TableWindowTest, AMemoryAbove5000RecordsIsCutAndTheUserTold)
{
    window.table().optFE_Click();
    window.table().BeginFill();
    for (int i = 1; i <= kMaxRows + 2; ++i)
        window.table().FillMessdaten(Record(i % 9000 + 1, 12.5));
    window.table().EndFill();
    EXPECT_EQ(prompt.told, QStringList{QStringLiteral("Maximale Werteanzahl \u00FCberschritten 5000")});
    EXPECT_EQ(model().rowCount(), kMaxRows);
    EXPECT_EQ(ui().lstStat->item(3)->text(), QStringLiteral("Anzahl           5000"));
}

TEST_F(TableWindowTest, LimitsDialogSavesAndColours)
{
    Fill({{1, ""}, {5, ""}});
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<frmWerte*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        test::Named<QLineEdit>(*dialog, QStringLiteral("txtMin"))->setText(QStringLiteral("20"));
        dialog->ValidateBox(frmWerte::Box::Min);
        test::Named<QLineEdit>(*dialog, QStringLiteral("txtMax"))->setText(QStringLiteral("40"));
        dialog->ValidateBox(frmWerte::Box::Max);
        test::Named<QPushButton>(*dialog, QStringLiteral("cmdSpeichern"))->click();
    });
    ui().cmdWerte->click();
    EXPECT_EQ(ui().cmdWerte->text(), QStringLiteral(">     20\r\n<     40\r\n=      0"));
    QFile file(session.Settings.LimitsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("20;40;0;0;"));
    EXPECT_EQ(model().data(model().index(0, 2), Qt::BackgroundRole).value<QColor>(), QColor(239, 162, 162));
    EXPECT_EQ(model().data(model().index(1, 2), Qt::BackgroundRole).value<QColor>(), QColor(239, 162, 162));
}

TEST_F(TableWindowTest, KeyForwardingWithoutADisplayIsToldOnceAndKeepsTheReadings)
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    KeyForwardingSettings& keys = session.Settings.keyForwarding;
    keys.Enabled = true;
    keys.TargetApplication = QStringLiteral("/bin/true");
    window.table().Keys().TargetStarted = true;
    ui().optOnline->click();
    for (int i = 0; i < 3; ++i)
        window.table().FillMessdaten(Record(1, 20 + i));
    EXPECT_EQ(prompt.told.size(), 1);
    EXPECT_TRUE(prompt.told.value(0).startsWith(QStringLiteral("Tastatur Events: ")));
    EXPECT_EQ(model().rowCount(), 3);
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
}

TEST_F(TableWindowTest, MemoryControlsFollowTheGaugeClass)
{
    window.show();
    session.Gauge.profile.ProfileClass = QStringLiteral("X");
    window.table().ArrangeMemoryControls();
    EXPECT_TRUE(ui().cmdLesen->isHidden());
    EXPECT_TRUE(ui().cmdRefresh->isHidden());
    session.Gauge.profile.ProfileClass = QStringLiteral("5");
    window.table().ArrangeMemoryControls();
    EXPECT_FALSE(ui().cmdLesen->isHidden());
    EXPECT_FALSE(ui().cmbSpeicher->isHidden());
    EXPECT_TRUE(ui().optFE->isHidden());

    session.Gauge.profile.ProfileLink = QStringLiteral("L");
    window.Block_Buttons();
    window.table().Meldung_Speicher_Leer();
    EXPECT_EQ(ui().txtSpeicher->text(), QStringLiteral("Speicher leer"));
    EXPECT_TRUE(ui().cmdSort->isEnabled());
}

// Esc in the limits dialog changes nothing: no limits, no file, no redraw,
// and the working controls stay as they were.
TEST_F(TableWindowTest, LimitsDialogEscChangesNothing)
{
    Fill({{1, ""}, {5, ""}});
    session.Settings.limits = {10, QStringLiteral("10"), 100, QStringLiteral("100"), 0, QStringLiteral("0"), false};
    window.table().ShowLimitsCaption();
    const QString caption = ui().cmdWerte->text();
    window.Block_Buttons();
    ui().lstStat->addItem(QStringLiteral("marker of the last redraw"));
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<frmWerte*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        test::Named<QLineEdit>(*dialog, QStringLiteral("txtMin"))->setText(QStringLiteral("20"));
        dialog->ValidateBox(frmWerte::Box::Min);
        dialog->reject();
    });
    window.table().cmdWerte_Click();
    EXPECT_DOUBLE_EQ(session.Settings.limits.MinLimit, 10);
    EXPECT_FALSE(QFile::exists(session.Settings.LimitsPath()));
    EXPECT_EQ(ui().cmdWerte->text(), caption);
    EXPECT_FALSE(ui().cmdSort->isEnabled());
    EXPECT_EQ(ui().lstStat->item(ui().lstStat->count() - 1)->text(), QStringLiteral("marker of the last redraw"));
}

// A refused record leaves the table alone and says why in the log.
TEST_F(TableWindowTest, ARefusedRecordIsLogged)
{
    Fill({{1, ""}});
    window.table().FillMessdaten(QStringLiteral("   2         nan \u00B5m   "));
    EXPECT_EQ(model().rowCount(), 1);
    QFile log(session.Log.Path());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Record refused, not a number: \"   2         nan \xB5m\""));
}

// The online numbers of the window's table stay unique after a deletion.
TEST_F(TableWindowTest, OnlineNumbersStayUniqueAfterADeletion)
{
    ui().optOnline->click();
    for (int i = 0; i < 3; ++i)
        window.table().FillMessdaten(Record(99, 20 + i));
    window.table().MSFlex_Click(0);
    prompt.answers = {true};
    ui().cmdFlexZeileLoeschen->click();
    window.table().FillMessdaten(Record(99, 30));
    EXPECT_EQ(Numbers(), (std::vector<int>{2, 3, 4}));
}

} // namespace
} // namespace qc
