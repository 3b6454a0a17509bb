#include <QAction>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include "dialog_controls.h"
#include "main_window_fixture.h"
#include "shell/single_instance.h"
#include "shell/table_controller.h"
#include "ui/frmProjekt.h"

namespace qc {
namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every caption the language switch sets, German and English.
struct Caption {
    const char* Control;
    const char16_t* German;
    const char16_t* English;
};
const Caption kCaptions[] = {
    {"mnuDatei", u"Datei", u"File"},
    {"mnuEnd", u"Programm beenden", u"Exit Program"},
    {"Language", u"Sprache", u"Language"},
    {"English", u"Englisch", u"English"},
    {"German", u"Deutsch", u"German"},
    {"mnuTastaturevent", u"Tastaturevents", u"KeyEvents"},
    {"mnuHelp", u"Hilfe", u"Help"},
    {"mnuInfo", u"Info", u"Info"},
    {"mnuHelp1", u"Bedienungsanleitung", u"Manual"},
    {"cmdOpen", u"Datei öffnen", u"Open Data File"},
    {"cmdSave", u"In Datei speichern", u"Save to File"},
    {"cmdprint", u"Drucken", u"Print"},
    {"cmdEnde", u"Programmende", u"Exit program"},
    {"cmdProjekt", u"Projektdaten", u"Project data"},
    {"cmdWerte", u"Grenzwerte", u"Limits"},
    {"cmdLesen", u"Speicher einlesen", u"Read Memory"},
    {"cmdFlexZeileLoeschen", u"Zeile löschen", u"Delete row"},
    {"cmdFlexTabelleloeschen", u"Tabelle löschen", u"Delete Tab"},
    {"cmdConnect", u"Verbinden", u"Connect"},
    {"txtWait", u"Nicht Verbunden", u"not connected"},
    {"txtSpeicher", u"BEREIT", u"READY"},
    {"cmdStop", u"Stopp", u"Stop"},
    {"lblBatterie", u"Batterie", u"Battery"},
    {"FrameWerte", u"Messwerte", u"Data"},
    {"FrameBefehle", u"Befehle", u"Commands"},
    {"Frame4", u"Daten kopieren nach", u"Copy data to"},
};

// A menu text as the user reads it: the "&" of its Alt letter is not shown.
QString WithoutMnemonic(QString text)
{
    text.replace(QStringLiteral("&&"), QString(QChar(1)));
    text.remove(u'&');
    return text.replace(QChar(1), u'&');
}

QString CaptionOf(QObject* object)
{
    if (auto* menu = qobject_cast<QMenu*>(object))
        return WithoutMnemonic(menu->title());
    if (auto* action = qobject_cast<QAction*>(object))
        return WithoutMnemonic(action->text());
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(object))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(object))
        return edit->text();
    if (auto* frame = qobject_cast<QGroupBox*>(object))
        return frame->title();
    return QStringLiteral("<no caption>");
}

class MainWindowBehaviourTest : public MainWindowTest {
protected:
    void ExpectCaptions(int language)
    {
        for (const Caption& c : kCaptions) {
            QObject* object = window.findChild<QObject*>(QString::fromLatin1(c.Control));
            ASSERT_NE(object, nullptr) << c.Control;
            EXPECT_EQ(CaptionOf(object), QString::fromUtf16(language == 1 ? c.English : c.German)) << c.Control;
        }
    }
};

TEST_F(MainWindowBehaviourTest, LanguageSwitchChangesEveryCaptionAndBack)
{
    ExpectCaptions(0);
    ui().English->trigger();
    ExpectCaptions(1);
    EXPECT_TRUE(ui().English->isChecked());
    EXPECT_FALSE(ui().German->isChecked());
    ui().German->trigger();
    ExpectCaptions(0);
    EXPECT_TRUE(ui().German->isChecked());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(MainWindowBehaviourTest, LanguageSwitchSavesTheLanguageAndReloadsTheLabels)
{
    WriteFile(folders.Settings() + QStringLiteral("/Projekt.ini"), "Kunde;Customer;\r\n");
    session.Settings.SetGaugeNumber(QStringLiteral("4711"));
    window.English_Click();
    EXPECT_EQ(ReadFile(folders.Settings() + QStringLiteral("/Language_4711.ini")), QByteArray("1\r\n"));
    EXPECT_EQ(session.Settings.projectLabels.Captions[0], QStringLiteral("Customer"));
    EXPECT_EQ(session.Settings.LastMode(), QStringLiteral("PI"));
}

TEST_F(MainWindowBehaviourTest, ConnectedStateCaptionsFollowTheLanguage)
{
    session.Connected = true;
    window.ApplyTexts();
    EXPECT_EQ(ui().cmdConnect->text(), QStringLiteral("Trennen"));
    EXPECT_EQ(ui().txtWait->text(), QStringLiteral("Verbunden"));
    session.SetLanguage(1);
    window.ApplyTexts();
    EXPECT_EQ(ui().cmdConnect->text(), QStringLiteral("Disconnect"));
    EXPECT_EQ(ui().txtWait->text(), QStringLiteral("Connected"));
}

TEST_F(MainWindowBehaviourTest, LanguageFileOfTheGaugeSwitchesToEnglish)
{
    session.Settings.SetGaugeNumber(QStringLiteral("1234"));
    WriteFile(folders.Settings() + QStringLiteral("/Language_1234.ini"), "1\r\n");
    window.Voreinstellungen(settings_mode::LanguageLoad);
    ExpectCaptions(1);
    EXPECT_TRUE(ui().English->isChecked());
}

TEST_F(MainWindowBehaviourTest, SettingsFailureShowsPrefixAndDescriptionAndLogsThePrefix)
{
    session.Settings.SetGaugeNumber(QStringLiteral("1234"));
    WriteFile(folders.Settings() + QStringLiteral("/Limit_1234.ini"), "10;250\r\n");
    session.SetLanguage(1);
    window.Voreinstellungen(settings_mode::LimitsLoad);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].second,
              QStringLiteral("problems reading file  Limit.ini: line 1 has fewer than 3 \";\": \"10;250\""));
    EXPECT_EQ(ReadFile(session.Log.Path()), QByteArray("problems reading file  Limit.ini: \r\n"));
}

TEST_F(MainWindowBehaviourTest, OptionCaptionsCarryTheCountOfTheLastFill)
{
    const struct {
        TableMode Mode;
        QString Shown; // what the memory option shows without its count
        QString Suffix;
        const char* Option;
        QString After;
    } cases[] = {
        {TableMode::Memory, QStringLiteral("FE-Speicher"), QStringLiteral(" (25)"), "optFE",
         QStringLiteral("FE-Speicher (25)")},
        {TableMode::Memory, QString(), QStringLiteral(" (4)"), "optFE", QStringLiteral(" (4)")},
        {TableMode::Online, QStringLiteral("FE-Speicher"), QStringLiteral(" (8)"), "optOnline",
         QStringLiteral("Online (8)")},
    };
    for (const auto& c : cases) {
        session.SetMode(c.Mode);
        session.MemoryOptionText = c.Shown;
        session.CountSuffix = c.Suffix;
        window.table().Button_setzen();
        EXPECT_EQ(Control<QRadioButton>(c.Option)->text(), c.After) << c.Suffix.toStdString();
        EXPECT_EQ(session.CountSuffix, QStringLiteral(" (0)"));
    }
}

TEST_F(MainWindowBehaviourTest, ButtonSetzenInitShowsZeroRows)
{
    session.MemoryOptionCaption = QStringLiteral("NFE-Speicher");
    session.SetMode(TableMode::Memory);
    window.table().Button_setzen_Init();
    EXPECT_EQ(ui().optFE->text(), QStringLiteral("NFE-Speicher (0)"));
    session.SetLanguage(1);
    session.SetMode(TableMode::Online);
    window.table().Button_setzen_Init();
    EXPECT_EQ(ui().optOnline->text(), QStringLiteral("Online (0)"));
}

TEST_F(MainWindowBehaviourTest, MissingManualShowsTheNotFoundTextWithThePath)
{
    QFile::remove(folders.Settings() + QStringLiteral("/DE_Manual_Quen_Connect.pdf"));
    QFile::remove(folders.Settings() + QStringLiteral("/EN_Manual_Quen_Connect.pdf"));
    ui().mnuHelp1->trigger();
    session.SetLanguage(1);
    ui().mnuHelp1->trigger();
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0].second, QStringLiteral("Datei ") + folders.Settings() +
                                        QStringLiteral("/DE_Manual_Quen_Connect.pdf wurde nicht gefunden"));
    EXPECT_EQ(Messages()[1].second,
              QStringLiteral("File ") + folders.Settings() + QStringLiteral("/EN_Manual_Quen_Connect.pdf not found "));
}

// Receives what the desktop would be asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(MainWindowBehaviourTest, ManualIsCopiedAtStartAndOpensFromTheHelpMenu)
{
    for (const char* name : {"DE_Manual_Quen_Connect.pdf", "EN_Manual_Quen_Connect.pdf"}) {
        const QByteArray pdf = ReadFile(folders.Settings() + u'/' + QString::fromLatin1(name));
        EXPECT_TRUE(pdf.startsWith("%PDF")) << name;
    }
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    session.SetLanguage(1);
    ui().mnuHelp1->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toLocalFile(), folders.Settings() + QStringLiteral("/EN_Manual_Quen_Connect.pdf"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(MainWindowBehaviourTest, StartUpEmptiesTheLogOfAnEarlierRun)
{
    WriteFile(session.Log.Path(), "entry of an earlier run\r\n");
    Session secondSession{clock};
    frmTransfer again{secondSession};
    EXPECT_EQ(ReadFile(secondSession.Log.Path()), QByteArray());
    EXPECT_EQ(secondSession.Log.Path(), folders.Settings() + QStringLiteral("/Quen ConnectTransferLog.txt"));
    EXPECT_TRUE(QDir(folders.Data()).exists());
}

TEST_F(MainWindowBehaviourTest, BrandFollowsMarkAndGaugeNumber)
{
    window.ApplyBrand(QString(), QStringLiteral("7000"));
    EXPECT_EQ(ui().FrameStatistik->title(), QStringLiteral("Tarnholm GmbH"));
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_FALSE(ui().picQuen->pixmap().isNull());
    window.ApplyBrand(QStringLiteral("1"), QStringLiteral("1234")); // first OEM mark: unchanged
    EXPECT_EQ(ui().FrameStatistik->title(), QStringLiteral("Tarnholm GmbH"));
    window.ApplyBrand(QString(), QStringLiteral("8000"));
    EXPECT_EQ(ui().FrameStatistik->title(), QStringLiteral("Orvanta GmbH"));
}

TEST_F(MainWindowBehaviourTest, MissingPictureLeavesTheBoxEmptyAndIsLogged)
{
    EXPECT_FALSE(window.ShowModelPicture(QStringLiteral("NoSuchModel.png")));
    EXPECT_TRUE(ui().picPL->pixmap().isNull());
    EXPECT_TRUE(ReadFile(session.Log.Path())
                    .startsWith("Picture not loaded: " + session.Folders.ProgramDir.toUtf8() + "/NoSuchModel.png: "));
    EXPECT_TRUE(window.ShowModelPicture(QStringLiteral("PL.gif")));
    EXPECT_EQ(ui().picPL->pixmap().size(), QSize(216, 156));
}

TEST_F(MainWindowBehaviourTest, ProjectDialogLoadsSavesAndCuts)
{
    session.Settings.SetGaugeNumber(QStringLiteral("1234"));
    WriteFile(folders.Settings() + QStringLiteral("/Projekt.ini"),
              "# Felder\r\nKunde;Customer;\r\nObjekt;Object;\r\nPr\xFC"
              "fer;Inspector;\r\n");
    window.Unblock_Buttons();
    ui().cmdProjekt->click();
    auto* dialog = window.findChild<frmProjekt*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Quen Connect V1.10"));
    EXPECT_EQ(test::Named<QLabel>(*dialog, QStringLiteral("lblFelder3"))->text(), QStringLiteral("Prüfer"));
    EXPECT_EQ(test::Named<QPushButton>(*dialog, QStringLiteral("cmdSpeichern"))->text(), QStringLiteral("Speichern"));
    EXPECT_EQ(test::Named<QPushButton>(*dialog, QStringLiteral("cmdLoeschen"))->text(), QStringLiteral("Löschen"));
    EXPECT_EQ(test::Named<QDateEdit>(*dialog, QStringLiteral("DTPDate"))->date(),
              QDate::currentDate()); // first opening: today
    EXPECT_EQ(test::Named<QLineEdit>(*dialog, QStringLiteral("txtFelder1"))->text(), QString());

    test::Named<QLineEdit>(*dialog, QStringLiteral("txtFelder1"))->setText(QString(40, u'k'));
    test::Named<QLineEdit>(*dialog, QStringLiteral("txtFelder2"))->setText(QStringLiteral("Br\u00FCcke"));
    test::Named<QDateEdit>(*dialog, QStringLiteral("DTPDate"))->setDate(QDate(2024, 3, 9));
    test::Named<QPushButton>(*dialog, QStringLiteral("cmdSpeichern"))->click();
    EXPECT_FALSE(dialog->isVisible());

    dialog->cmdLoeschen_Click();
    EXPECT_EQ(test::Named<QLineEdit>(*dialog, QStringLiteral("txtFelder2"))->text(), QString());
    EXPECT_EQ(test::Named<QTimeEdit>(*dialog, QStringLiteral("DTPTime"))->time(), QTime(0, 0));

    ui().cmdProjekt->click();
    EXPECT_EQ(test::Named<QLineEdit>(*dialog, QStringLiteral("txtFelder1"))->text(), QString(30, u'k'));
    EXPECT_EQ(test::Named<QLineEdit>(*dialog, QStringLiteral("txtFelder2"))->text(), QStringLiteral("Br\u00FCcke"));
    EXPECT_EQ(test::Named<QDateEdit>(*dialog, QStringLiteral("DTPDate"))->date(), QDate(2024, 3, 9));
    EXPECT_TRUE(Messages().empty());
    dialog->hide();
}

// A manual that is there but that no program opens is not "not found".
TEST_F(MainWindowBehaviourTest, ManualNoProgramOpensIsToldWithItsFolder)
{
    QList<QUrl> asked;
    window.SetUrlOpener([&](const QUrl& url) {
        asked << url;
        return false;
    });
    const QString path = folders.Settings() + QStringLiteral("/DE_Manual_Quen_Connect.pdf");
    WriteFile(path, "%PDF-1.4\n");
    ui().mnuHelp1->trigger();
    ASSERT_EQ(asked.size(), 1);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].second, QStringLiteral("Keine Anwendung konnte die Datei ") + path +
                                        QStringLiteral(" \u00F6ffnen. Sie liegt im Ordner ") + folders.Settings());
    session.SetLanguage(1);
    WriteFile(folders.Settings() + QStringLiteral("/EN_Manual_Quen_Connect.pdf"), "%PDF-1.4\n");
    ui().mnuHelp1->trigger();
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_TRUE(Messages()[1].second.startsWith(QStringLiteral("No program could open the file ")));
}

// The open project data window follows a language change: captions and labels.
TEST_F(MainWindowBehaviourTest, ProjectDialogFollowsTheLanguageWhileOpen)
{
    session.Settings.SetGaugeNumber(QStringLiteral("1234"));
    WriteFile(folders.Settings() + QStringLiteral("/Projekt.ini"), "Kunde;Customer;\r\n");
    window.Unblock_Buttons();
    ui().cmdProjekt->click();
    auto* dialog = window.findChild<frmProjekt*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(test::Named<QPushButton>(*dialog, QStringLiteral("cmdSpeichern"))->text(), QStringLiteral("Speichern"));
    EXPECT_EQ(test::Named<QLabel>(*dialog, QStringLiteral("lblFelder1"))->text(), QStringLiteral("Kunde"));
    window.English_Click();
    EXPECT_EQ(test::Named<QPushButton>(*dialog, QStringLiteral("cmdSpeichern"))->text(), QStringLiteral("Save"));
    EXPECT_EQ(test::Named<QLabel>(*dialog, QStringLiteral("lblFelder1"))->text(), QStringLiteral("Customer"));
    window.German_Click();
    EXPECT_EQ(test::Named<QPushButton>(*dialog, QStringLiteral("cmdLoeschen"))->text(), QStringLiteral("L\u00F6schen"));
    EXPECT_EQ(test::Named<QLabel>(*dialog, QStringLiteral("lblFelder1"))->text(), QStringLiteral("Kunde"));
    dialog->hide();
}

// Project texts the settings file cannot hold are named before saving; the
// file keeps what it had.
TEST_F(MainWindowBehaviourTest, ProjectDialogNamesCharactersItCannotStore)
{
    session.Settings.SetGaugeNumber(QStringLiteral("1234"));
    window.Unblock_Buttons();
    ui().cmdProjekt->click();
    auto* dialog = window.findChild<frmProjekt*>();
    ASSERT_NE(dialog, nullptr);
    const QString file = folders.Settings() + QStringLiteral("/Projektdaten._1234.ini");
    const QByteArray before = ReadFile(file);
    test::Named<QLineEdit>(*dialog, QStringLiteral("txtFelder1"))->setText(QStringLiteral("Br\u00FCcke \u2713"));
    test::Named<QLineEdit>(*dialog, QStringLiteral("txtFelder2"))
        ->setText(QStringLiteral("\u0141\u00F3d\u017A \u2713"));
    test::Named<QPushButton>(*dialog, QStringLiteral("cmdSpeichern"))->click();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].second,
              QStringLiteral("Diese Zeichen k\u00F6nnen nicht gespeichert werden: \u2713 \u0141 \u017A"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(ReadFile(file), before);
    test::Named<QLineEdit>(*dialog, QStringLiteral("txtFelder1"))->setText(QStringLiteral("Br\u00FCcke \u20AC"));
    test::Named<QLineEdit>(*dialog, QStringLiteral("txtFelder2"))->clear();
    test::Named<QPushButton>(*dialog, QStringLiteral("cmdSpeichern"))->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(ReadFile(file).startsWith("Br\xFC"
                                          "cke \x80\r\n"));
}

TEST_F(MainWindowBehaviourTest, EndWaitsForTheGaugeToDisconnect)
{
    window.show();
    session.Connected = true;
    QTimer::singleShot(0, &window, [this] { session.Connected = false; });
    window.mnuEnd_Click();
    EXPECT_FALSE(session.Connected);
    EXPECT_FALSE(window.isVisible());
    EXPECT_LT(clock.waitedTotal, std::chrono::milliseconds(3000)); // no need to wait out the deadline
}

TEST_F(MainWindowBehaviourTest, EndGivesUpOnAGaugeThatNeverDisconnects)
{
    window.show();
    session.Connected = true;
    window.mnuEnd_Click(); // bounded wait: returns although the flag stays set
    EXPECT_TRUE(session.Connected);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(clock.waitedTotal, std::chrono::milliseconds(3000 + 300)); // the deadline, then the pause
}

// A second start asks the running instance to show its window.
TEST(SingleInstance, ASecondStartAsksTheFirstToComeToTheFront)
{
    QTemporaryDir runtime;
    SingleInstance first(runtime.path());
    ASSERT_TRUE(first.IsFirst());
    int raised = 0;
    first.OnRaiseRequest([&] { ++raised; });
    SingleInstance second(runtime.path());
    EXPECT_FALSE(second.IsFirst());
    EXPECT_TRUE(second.AskRunningToRaise(std::chrono::seconds(5)));
    EventLoopClock clock;
    EXPECT_TRUE(clock.PumpEventsUntil([&] { return raised == 1; }, std::chrono::seconds(30)));
    EXPECT_FALSE(first.AskRunningToRaise(std::chrono::seconds(1))); // the first asks nobody
}

TEST(SingleInstance, NobodyAnswersWhenNoInstanceRuns)
{
    QTemporaryDir runtime;
    QLockFile other(runtime.path() + QStringLiteral("/quenconnect.lock"));
    ASSERT_TRUE(other.tryLock(0)); // a lock without a listener
    SingleInstance second(runtime.path());
    EXPECT_FALSE(second.IsFirst());
    EXPECT_FALSE(second.AskRunningToRaise(std::chrono::milliseconds(200)));
}

TEST(EventLoopClock, StopsWhenDoneOrAtTheDeadline)
{
    EventLoopClock clock;
    int calls = 0;
    EXPECT_TRUE(clock.PumpEventsUntil([&] { return ++calls == 3; }, std::chrono::seconds(30)));
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(clock.PumpEventsUntil([] { return false; }, std::chrono::milliseconds(20)));
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    EXPECT_TRUE(clock.PumpEventsUntil([&] { return fired; }, std::chrono::seconds(30))); // events are processed
}

} // namespace
} // namespace qc

#include "main_window_behaviour_test.moc"
