#include <QAction>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include "main_window_fixture.h"
#include "shell/delay.h"
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
    {"txtWait", u"Bitte warten....", u"Please wait...."},
    {"txtSpeicher", u"BEREIT", u"READY"},
    {"cmdStop", u"Stopp", u"Stop"},
    {"lblBatterie", u"Batterie", u"Battery"},
    {"FrameWerte", u"Messwerte", u"Data"},
    {"FrameBefehle", u"Befehle", u"Commands"},
    {"Frame4", u"Daten kopieren nach", u"Copy data to"},
};

QString CaptionOf(QObject* object)
{
    if (auto* menu = qobject_cast<QMenu*>(object))
        return menu->title();
    if (auto* action = qobject_cast<QAction*>(object))
        return action->text();
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
    window.controls().English->trigger();
    ExpectCaptions(1);
    EXPECT_TRUE(window.controls().English->isChecked());
    EXPECT_FALSE(window.controls().German->isChecked());
    window.controls().German->trigger();
    ExpectCaptions(0);
    EXPECT_TRUE(window.controls().German->isChecked());
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowBehaviourTest, LanguageSwitchSavesTheLanguageAndReloadsTheLabels)
{
    WriteFile(folders.Settings() + QStringLiteral("/Projekt.ini"), "Kunde;Customer;\r\n");
    window.settings().SetGaugeNumber(QStringLiteral("4711"));
    window.English_Click();
    EXPECT_EQ(ReadFile(folders.Settings() + QStringLiteral("/Language_4711.ini")), QByteArray("1\r\n"));
    EXPECT_EQ(window.settings().projectLabels.Captions[0], QStringLiteral("Customer"));
    EXPECT_EQ(window.settings().LastMode(), QStringLiteral("PI"));
}

TEST_F(MainWindowBehaviourTest, ConnectedStateCaptionsFollowTheLanguage)
{
    window.SetConnected(true);
    window.ApplyTexts();
    EXPECT_EQ(window.controls().cmdConnect->text(), QStringLiteral("Trennen"));
    EXPECT_EQ(window.controls().txtWait->text(), QStringLiteral("Verbunden"));
    window.SetLanguage(1);
    window.ApplyTexts();
    EXPECT_EQ(window.controls().cmdConnect->text(), QStringLiteral("Disconnect"));
    EXPECT_EQ(window.controls().txtWait->text(), QStringLiteral("Connected"));
}

TEST_F(MainWindowBehaviourTest, LanguageFileOfTheGaugeSwitchesToEnglish)
{
    window.settings().SetGaugeNumber(QStringLiteral("1234"));
    WriteFile(folders.Settings() + QStringLiteral("/Language_1234.ini"), "1\r\n");
    window.Voreinstellungen(settings_mode::LanguageLoad);
    ExpectCaptions(1);
    EXPECT_TRUE(window.controls().English->isChecked());
}

TEST_F(MainWindowBehaviourTest, SettingsFailureShowsPrefixAndDescriptionAndLogsThePrefix)
{
    window.settings().SetGaugeNumber(QStringLiteral("1234"));
    WriteFile(folders.Settings() + QStringLiteral("/Limit_1234.ini"), "10;250\r\n");
    window.SetLanguage(1);
    window.Voreinstellungen(settings_mode::LimitsLoad);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second,
              QStringLiteral("problems reading file  Limit.ini: line 1 has fewer than 3 \";\": \"10;250\""));
    EXPECT_EQ(ReadFile(window.log().Path()), QByteArray("problems reading file  Limit.ini: \r\n"));
}

TEST_F(MainWindowBehaviourTest, ButtonSetzenRewritesTheCountedCaption)
{
    const struct {
        int Mode;
        QString Before;
        QString Suffix;
        const char* Option;
        QString After;
    } cases[] = {
        {0, QStringLiteral("FE-Speicher (12)"), QStringLiteral(" (25)"), "optFE", QStringLiteral("FE-Speicher (25)")},
        {0, QStringLiteral("FE-Speicher"), QStringLiteral(" (25)"), "optFE", QStringLiteral("FE-Speicher (25)")},
        {0, QStringLiteral("(3)"), QStringLiteral(" (4)"), "optFE", QStringLiteral(" (4)")},
        {2, QStringLiteral("Online (7)"), QStringLiteral(" (8)"), "optOnline", QStringLiteral("Online (8)")},
    };
    for (const auto& c : cases) {
        window.TableMode = c.Mode;
        Control<QRadioButton>(c.Option)->setText(c.Before);
        window.CountSuffix = c.Suffix;
        window.Button_setzen();
        EXPECT_EQ(Control<QRadioButton>(c.Option)->text(), c.After) << c.Before.toStdString();
        EXPECT_EQ(window.CountSuffix, QStringLiteral(" (0)"));
    }
    window.TableMode = 1; // no selector of its own: captions stay
    window.CountSuffix = QStringLiteral(" (9)");
    window.Button_setzen();
    EXPECT_EQ(window.controls().optOnline->text(), QStringLiteral("Online (8)"));
}

TEST_F(MainWindowBehaviourTest, ButtonSetzenInitShowsZeroRows)
{
    window.MemoryOptionCaption = QStringLiteral("NFE-Speicher");
    window.TableMode = 0;
    window.Button_setzen_Init();
    EXPECT_EQ(window.controls().optFE->text(), QStringLiteral("NFE-Speicher (0)"));
    window.SetLanguage(1);
    window.TableMode = 2;
    window.Button_setzen_Init();
    EXPECT_EQ(window.controls().optOnline->text(), QStringLiteral("Online (0)"));
}

TEST_F(MainWindowBehaviourTest, MissingManualShowsTheNotFoundTextWithThePath)
{
    QFile::remove(folders.Settings() + QStringLiteral("/DE_Manual_Quen_Connect.pdf"));
    QFile::remove(folders.Settings() + QStringLiteral("/EN_Manual_Quen_Connect.pdf"));
    window.controls().mnuHelp1->trigger();
    window.SetLanguage(1);
    window.controls().mnuHelp1->trigger();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].second,
              QStringLiteral("Datei ") + folders.Settings() + QStringLiteral("/DE_Manual_Quen_Connect.pdf wurde nicht gefunden"));
    EXPECT_EQ(messages[1].second,
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
    window.SetLanguage(1);
    window.controls().mnuHelp1->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toLocalFile(), folders.Settings() + QStringLiteral("/EN_Manual_Quen_Connect.pdf"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowBehaviourTest, StartUpEmptiesTheLogOfAnEarlierRun)
{
    WriteFile(window.log().Path(), "entry of an earlier run\r\n");
    frmTransfer again;
    EXPECT_EQ(ReadFile(again.log().Path()), QByteArray());
    EXPECT_EQ(again.log().Path(), folders.Settings() + QStringLiteral("/Quen ConnectTransferLog.txt"));
    EXPECT_TRUE(QDir(folders.Data()).exists());
}

TEST_F(MainWindowBehaviourTest, BrandFollowsMarkAndGaugeNumber)
{
    window.ApplyBrand(QString(), QStringLiteral("7000"));
    EXPECT_EQ(window.controls().FrameStatistik->title(), QStringLiteral("Tarnholm GmbH"));
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_FALSE(window.controls().picQuen->pixmap().isNull());
    window.ApplyBrand(QStringLiteral("1"), QStringLiteral("1234")); // first OEM mark: unchanged
    EXPECT_EQ(window.controls().FrameStatistik->title(), QStringLiteral("Tarnholm GmbH"));
    window.ApplyBrand(QString(), QStringLiteral("8000"));
    EXPECT_EQ(window.controls().FrameStatistik->title(), QStringLiteral("Orvanta GmbH"));
}

TEST_F(MainWindowBehaviourTest, MissingPictureLeavesTheBoxEmptyAndIsLogged)
{
    EXPECT_FALSE(window.LoadPicture(window.controls().picPL, QStringLiteral("NoSuchModel.png"), false));
    EXPECT_TRUE(window.controls().picPL->pixmap().isNull());
    EXPECT_TRUE(ReadFile(window.log().Path()).startsWith("Picture not loaded: " + window.folders().ProgramDir.toUtf8()
                                                         + "/NoSuchModel.png: "));
    EXPECT_TRUE(window.LoadPicture(window.controls().picPL, QStringLiteral("PL.gif"), false));
    EXPECT_EQ(window.controls().picPL->pixmap().size(), QSize(216, 156));
}

TEST_F(MainWindowBehaviourTest, ProjectDialogLoadsSavesAndCuts)
{
    window.settings().SetGaugeNumber(QStringLiteral("1234"));
    WriteFile(folders.Settings() + QStringLiteral("/Projekt.ini"),
              "# Felder\r\nKunde;Customer;\r\nObjekt;Object;\r\nPr\xFC" "fer;Inspector;\r\n");
    window.Unblock_Buttons();
    window.controls().cmdProjekt->click();
    auto* dialog = window.findChild<frmProjekt*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Quen Connect V1.10"));
    EXPECT_EQ(dialog->lblFelder[3]->text(), QStringLiteral("Prüfer"));
    EXPECT_EQ(dialog->cmdSpeichern->text(), QStringLiteral("Speichern"));
    EXPECT_EQ(dialog->cmdLoeschen->text(), QStringLiteral("Löschen"));
    EXPECT_EQ(dialog->DTPDate->date(), QDate::currentDate()); // first opening: today
    EXPECT_EQ(dialog->txtFelder[1]->text(), QString());

    dialog->txtFelder[1]->setText(QString(40, u'k'));
    dialog->txtFelder[2]->setText(QStringLiteral("Br\u00FCcke"));
    dialog->DTPDate->setDate(QDate(2024, 3, 9));
    dialog->cmdSpeichern->click();
    EXPECT_FALSE(dialog->isVisible());

    dialog->cmdLoeschen_Click();
    EXPECT_EQ(dialog->txtFelder[2]->text(), QString());
    EXPECT_EQ(dialog->DTPTime->time(), QTime(0, 0));

    window.controls().cmdProjekt->click();
    EXPECT_EQ(dialog->txtFelder[1]->text(), QString(30, u'k'));
    EXPECT_EQ(dialog->txtFelder[2]->text(), QStringLiteral("Br\u00FCcke"));
    EXPECT_EQ(dialog->DTPDate->date(), QDate(2024, 3, 9));
    EXPECT_TRUE(messages.empty());
    dialog->hide();
}

TEST_F(MainWindowBehaviourTest, EndWaitsForTheGaugeToDisconnect)
{
    window.show();
    window.SetConnected(true);
    QTimer::singleShot(50, &window, [this] { window.SetConnected(false); });
    window.mnuEnd_Click();
    EXPECT_FALSE(window.IsConnected());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowBehaviourTest, EndGivesUpOnAGaugeThatNeverDisconnects)
{
    window.show();
    window.SetConnected(true);
    window.mnuEnd_Click(); // bounded wait: returns although the flag stays set
    EXPECT_TRUE(window.IsConnected());
    EXPECT_FALSE(window.isVisible());
}

TEST(PumpEventsUntil, StopsWhenDoneOrAtTheDeadline)
{
    int calls = 0;
    EXPECT_TRUE(PumpEventsUntil([&] { return ++calls == 3; }, std::chrono::seconds(30)));
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(PumpEventsUntil([] { return false; }, std::chrono::milliseconds(20)));
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    EXPECT_TRUE(PumpEventsUntil([&] { return fired; }, std::chrono::seconds(30))); // events are processed
}

} // namespace
} // namespace qc

#include "main_window_behaviour_test.moc"
