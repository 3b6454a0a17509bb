#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <gtest/gtest.h>

#include "dialog_controls.h"
#include "main_window_fixture.h"
#include "ui/frmTransfer.h"

namespace qc {
namespace {

const char* const kWorkingControls[] = {
    "optFE",
    "optOnline",
    "cmdOpen",
    "cmdSave",
    "cmdprint",
    "cmdWord",
    "cmdClipboard",
    "cmdExcel",
    "cmdLesen",
    "cmdEnde",
    "cmdWerte",
    "cmdProjekt",
    "cmdFlexTabelleloeschen",
    "cmdFlexZeileLoeschen",
    "cmdSort",
    "cmdChart",
    "cmdGross",
    "cmdMaterial",
};

TEST_F(MainWindowTest, EveryControlCarriesItsName)
{
    const char* const widgets[] = {
        "Frame2",        "Frame6",      "FrameWerte",  "FrameBefehle", "Frame4",      "FrameStatistik", "frmPic",
        "cmdConnect",    "cmdStop",     "cmdRefresh",  "cmbSpeicher",  "lblSpeicher", "txtWait",        "txtSpeicher",
        "txtMittelwert", "lblBatterie", "MSFlex",      "lstStat",      "MSChart1",    "picQuen",        "picPL",
        "picUsb",        "picBth",      "picBthBlitz", "picRahmen",    "BattIcon",
    };
    for (const char* name : widgets)
        Control<QWidget>(name);
    for (const char* name : kWorkingControls)
        Control<QWidget>(name);
    for (const char* name : {"mnuDatei", "Language", "mnuHelp"})
        Control<QMenu>(name);
    for (const char* name : {"mnuEnd", "English", "German", "mnuTastaturevent", "mnuSetTime", "mnuInfo", "mnuHelp1"})
        Control<QAction>(name);
    EXPECT_EQ(ui().lstStat, Control<QListWidget>("lstStat"));
    EXPECT_EQ(ui().MSFlex, Control<QTableView>("MSFlex"));
}

TEST_F(MainWindowTest, StartsWithTheWorkingControlsDisabled)
{
    for (const char* name : kWorkingControls)
        EXPECT_FALSE(Control<QWidget>(name)->isEnabled()) << name;
    for (const char* name : {"cmdConnect", "cmdStop", "cmdRefresh", "cmbSpeicher"})
        EXPECT_TRUE(Control<QWidget>(name)->isEnabled()) << name;
}

TEST_F(MainWindowTest, StartsWithTheStartupVisibility)
{
    const char* const hidden[] = {
        "FrameWerte",  "FrameStatistik", "FrameBefehle", "cmdProjekt",  "cmdWerte",      "picUsb",   "lstStat",
        "MSChart1",    "cmdChart",       "cmdGross",     "cmdMaterial", "txtMittelwert", "cmdLesen", "BattIcon",
        "lblBatterie", "cmbSpeicher",    "cmdRefresh",   "picPL",       "picBth",        "frmPic",
    };
    for (const char* name : hidden)
        EXPECT_TRUE(Control<QWidget>(name)->isHidden()) << name;
    for (const char* name : {"MSFlex", "cmdConnect", "txtSpeicher", "txtWait"})
        EXPECT_FALSE(Control<QWidget>(name)->isHidden()) << name;
    EXPECT_EQ(Control<QLabel>("txtWait")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(Control<QAction>("German")->isChecked());
    EXPECT_FALSE(Control<QAction>("English")->isChecked());
    EXPECT_FALSE(window.windowIcon().isNull());
    for (const char* name : {"Frame4", "cmdClipboard", "cmdOpen"}) // inside the hidden commands frame
        EXPECT_FALSE(Control<QWidget>(name)->isVisibleTo(&window)) << name;
    EXPECT_TRUE(Control<QLabel>("picBthBlitz")->pixmap().size().isValid());
}

TEST_F(MainWindowTest, StartsWithGermanTextsAndTheCaption)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quen Connect V1.10"));
    EXPECT_EQ(Control<QPushButton>("cmdConnect")->text(), QStringLiteral("Verbinden"));
    EXPECT_EQ(Control<QLabel>("txtWait")->text(), QStringLiteral("Nicht Verbunden"));
    EXPECT_EQ(Control<QLineEdit>("txtSpeicher")->text(), QStringLiteral("BEREIT"));
    EXPECT_EQ(Control<QGroupBox>("Frame6")->title(), QStringLiteral("Tabelle"));
    EXPECT_EQ(Control<QGroupBox>("Frame2")->title(), QStringLiteral("Verbindung"));
    EXPECT_EQ(Control<QPushButton>("cmdClipboard")->text(), QStringLiteral("Clipboard"));
    EXPECT_EQ(Control<QAction>("mnuSetTime")->text(), QStringLiteral("&SetTime"));
}

// On the simulated radio the caption and the connection text say so, in
// both languages and after a connection; the real radio shows no mark.
TEST_F(MainWindowTest, DemoModeMarksTheCaptionAndTheConnectionText)
{
    const QByteArray radio = qgetenv("VORNIK220_RADIO");
    const bool hadRadio = qEnvironmentVariableIsSet("VORNIK220_RADIO");
    struct Restore {
        QByteArray value;
        bool set;
        ~Restore() { set ? qputenv("VORNIK220_RADIO", value) : qunsetenv("VORNIK220_RADIO"); }
    } restore{radio, hadRadio};

    for (const bool demo : {false, true}) {
        if (demo)
            qputenv("VORNIK220_RADIO", "sim");
        else
            qunsetenv("VORNIK220_RADIO");
        const QString mark = demo ? QStringLiteral(" [DEMO]") : QString();
        Session demoSession{clock};
        frmTransfer demoWindow{demoSession};
        demoWindow.SetPrompt(&prompt);
        QLabel* wait = test::Named<QLabel>(demoWindow, QStringLiteral("txtWait"));
        ASSERT_NE(wait, nullptr);
        EXPECT_EQ(demoWindow.windowTitle(), QStringLiteral("Quen Connect V1.10") + mark);
        EXPECT_EQ(wait->text(), QStringLiteral("Nicht Verbunden") + mark);
        demoWindow.English_Click();
        EXPECT_TRUE(wait->text().endsWith(mark)) << wait->text().toStdString();
        EXPECT_NE(wait->text(), QStringLiteral("Nicht Verbunden") + mark);
        demoSession.Connected = true;
        demoWindow.ApplyTexts();
        EXPECT_TRUE(wait->text().endsWith(mark)) << wait->text().toStdString();
        EXPECT_EQ(wait->text().count(QStringLiteral("[DEMO]")), demo ? 1 : 0);
        demoSession.Connected = false;
        demoWindow.German_Click();
    }
}

TEST_F(MainWindowTest, BlockThenUnblockEnablesAllEighteen)
{
    Control<QWidget>("cmdSort")->setEnabled(true);
    window.Block_Buttons();
    for (const char* name : kWorkingControls)
        EXPECT_FALSE(Control<QWidget>(name)->isEnabled()) << name;
    window.Unblock_Buttons();
    for (const char* name : kWorkingControls)
        EXPECT_TRUE(Control<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(std::size(kWorkingControls), 18u);
}

TEST_F(MainWindowTest, InfoBeforeAnyGaugeShowsTheVersionBox)
{
    bool deviceInfoShown = false;
    window.SetDeviceInfoHandler([&] { deviceInfoShown = true; });
    Control<QAction>("mnuInfo")->trigger();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].first, QStringLiteral("Version"));
    EXPECT_EQ(Messages()[0].second, QStringLiteral("Quen Connect V1.10"));
    EXPECT_FALSE(deviceInfoShown);

    session.GaugeIdentified = true;
    Control<QAction>("mnuInfo")->trigger();
    EXPECT_TRUE(deviceInfoShown);
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(MainWindowTest, ClosesAndIsDeleted)
{
    Session otherSession{clock};
    QPointer<frmTransfer> other = new frmTransfer(otherSession);
    other->setAttribute(Qt::WA_DeleteOnClose);
    other->show();
    EXPECT_TRUE(other->isVisible());
    EXPECT_TRUE(other->close());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(other.isNull());
}

} // namespace
} // namespace qc
