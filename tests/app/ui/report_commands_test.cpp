#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

#include "../shell/scripted_prompt.h"
#include "../shell/shell_test_env.h"
#include "../shell/stepped_clock.h"
#include "data/cp1252.h"
#include "data/measurement_file.h"
#include "dialog_controls.h"
#include "output/report_text.h"
#include "shell/session.h"
#include "shell/table_controller.h"
#include "shell/texts.h"
#include "ui/frmTransfer.h"
#include "ui/report_commands.h"

namespace qc {
namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The main window in private folders with three readings in its memory
// table; dialogs and the desktop answer as each test says, message boxes
// are collected.
class ReportCommandsTest : public testing::Test {
protected:
    ReportCommandsTest()
    {
        window.SetPrompt(&prompt);
        session.Gauge.identity.GaugeNumber = QStringLiteral("1234");
        session.Gauge.profile.ProfileClass = QStringLiteral("4");
        session.Gauge.profile.ProfileProbe = QStringLiteral("2");
        session.Settings.SetGaugeNumber(QStringLiteral("1234"));
        desktop.saveFileName = [this](QWidget*, const QString& folder) {
            askedFolder = folder;
            return chosen;
        };
        desktop.openFileName = desktop.saveFileName;
        desktop.choosePrinter = [this](QWidget*, QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return !pdf.isEmpty();
        };
        desktop.openDocument = [this](const QUrl& url) {
            opened = url;
            blockedWhileOpening = !Button("cmdSave")->isEnabled();
            return documentOpens;
        };
        window.reports().SetDesktop(desktop);
        window.Unblock_Buttons();
        TableController& table = window.table();
        table.BeginFill();
        for (const char* record : {"   1       12.30 \u00B5m   FE  2024-12-05 10:15:30",
                                   "   2      150.00 \u00B5m   NF  2024-12-05 10:15:31",
                                   "   3       -5.20 mils      2024-12-05 10:15:32"})
            table.FillMessdaten(QString::fromUtf8(record));
        table.EndFill();
    }

    QString GaugeFolder() const { return folders.Data() + QStringLiteral("/mes/1234"); }
    QPushButton* Button(const char* name) const { return test::Named<QPushButton>(window, QString::fromLatin1(name)); }

    test::ShellFolders folders;
    test::SteppedClock clock;
    Session session{clock};
    frmTransfer window{session};
    test::ScriptedPrompt prompt;
    QStringList& messages = prompt.told;
    ReportCommands::Desktop desktop;
    QString chosen;
    QString askedFolder;
    QString pdf;
    QUrl opened;
    bool documentOpens = true;
    bool blockedWhileOpening = false;
};

TEST_F(ReportCommandsTest, SaveThenOpenGivesTheTableBack)
{
    chosen = GaugeFolder() + QStringLiteral("/Probe");
    window.reports().cmdSave_Click();
    EXPECT_EQ(askedFolder, GaugeFolder());
    const QByteArray bytes = ReadAll(GaugeFolder() + QStringLiteral("/Probe.mes"));
    ASSERT_FALSE(bytes.isEmpty()) << messages.join(u'\n').toStdString();
    EXPECT_TRUE(bytes.endsWith("\r\n\r\n"));
    EXPECT_TRUE(bytes.contains("        12.3 \xB5m   FE\r\n") || bytes.contains("        12,3 \xB5m   FE\r\n"));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();

    const std::vector<Reading> before = window.table().Data().table.Readings(kMemorySlot);
    window.table().Data().table.ClearSlot(kMemorySlot);
    chosen = GaugeFolder() + QStringLiteral("/Probe.mes");
    window.reports().cmdOpen_Click();
    const MeasurementData& data = window.table().Data();
    EXPECT_TRUE(data.state.FileLoaded);
    EXPECT_EQ(test::Named<QRadioButton>(window, QStringLiteral("optFE"))->text(), QStringLiteral("Probe.mes (3)"));
    EXPECT_TRUE(test::Named<QRadioButton>(window, QStringLiteral("optFE"))->isVisibleTo(&window));
    const std::vector<Reading> after = data.table.Readings(kMemorySlot);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].Number, before[i].Number);
        EXPECT_DOUBLE_EQ(after[i].Value, before[i].Value);
        EXPECT_EQ(after[i].Unit, before[i].Unit);
        EXPECT_EQ(after[i].Material, before[i].Material);
    }
    EXPECT_EQ(data.statistics.StatCount, 3);
}

TEST_F(ReportCommandsTest, CancelledDialogsChangeNothing)
{
    chosen = QString();
    window.reports().cmdSave_Click();
    EXPECT_EQ(QDir(GaugeFolder()).entryList(QDir::Files), QStringList());
    window.reports().cmdOpen_Click();
    EXPECT_EQ(window.table().Data().ReadingCount(), 3);
    EXPECT_FALSE(window.table().Data().state.FileLoaded);
    chosen = QStringLiteral(" ");
    window.reports().cmdSave_Click();
    EXPECT_EQ(QDir(GaugeFolder()).entryList(QDir::Files), QStringList());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ReportCommandsTest, BadFilesAreToldAndTheTableStays)
{
    ASSERT_TRUE(QDir().mkpath(GaugeFolder() + QStringLiteral("/folder.mes")));
    QFile binary(GaugeFolder() + QStringLiteral("/binary.mes"));
    ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("10:15:30  1  2\0\0", 16));
    binary.close();
    session.SetLanguage(kEnglish);
    for (const char* name : {"/folder.mes", "/binary.mes", "/missing.mes"}) {
        chosen = GaugeFolder() + QString::fromLatin1(name);
        window.reports().cmdOpen_Click();
        EXPECT_EQ(window.table().Data().ReadingCount(), 3) << name;
    }
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[0], QStringLiteral("This is not a file: ") + GaugeFolder() +
                               QStringLiteral("/folder.mes. The table is unchanged."));
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("The file is not a measurement file")));
    EXPECT_TRUE(messages[2].startsWith(QStringLiteral("The file was not found")));

    // Saving onto the folder fails and says so.
    chosen = GaugeFolder() + QStringLiteral("/folder.mes");
    window.reports().cmdSave_Click();
    ASSERT_EQ(messages.size(), 4);
    EXPECT_TRUE(messages[3].startsWith(QStringLiteral("This is not a file: "))) << messages[3].toStdString();
}

TEST_F(ReportCommandsTest, ClipboardGetsTheReport)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    Button("cmdClipboard")->click();
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_EQ(text, window.reports().FillReportText(report_mode::All));
    EXPECT_EQ(text.count(QStringLiteral("\u00B5m   ")), 2) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("mils \r\n"))) << text.toStdString();
}

TEST_F(ReportCommandsTest, WordDocumentIsSavedAndOpenedWithTheButtonsBlocked)
{
    window.reports().cmdWord_Click();
    const QString path = window.reports().LastDocument();
    EXPECT_TRUE(path.startsWith(folders.Data() + QStringLiteral("/export/1234/Report_"))) << path.toStdString();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(opened, QUrl::fromLocalFile(path));
    EXPECT_TRUE(blockedWhileOpening);
    EXPECT_TRUE(Button("cmdSave")->isEnabled());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ReportCommandsTest, WordWithoutAProgramTellsWhereTheDocumentIs)
{
    documentOpens = false;
    window.reports().cmdWord_Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Open Word:")));
    EXPECT_TRUE(messages[0].endsWith(window.reports().LastDocument()));
    EXPECT_TRUE(Button("cmdWord")->isEnabled());
}

TEST_F(ReportCommandsTest, WordFailureIsToldLoggedAndTheButtonsComeBack)
{
    QFile blocker(folders.Data() + QStringLiteral("/export"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder belongs
    blocker.close();
    window.reports().cmdWord_Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Open Word:")));
    EXPECT_TRUE(DecodeCp1252(ReadAll(session.Log.Path())).contains(messages[0]));
    EXPECT_TRUE(Button("cmdWord")->isEnabled());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(ReportCommandsTest, PrintGoesToThePrinterAndCancelPrintsNothing)
{
    window.reports().cmdprint_Click(); // cancelled: no output file named
    pdf = folders.Root() + QStringLiteral("/printed.pdf");
    window.reports().cmdprint_Click();
    ASSERT_TRUE(QFile::exists(pdf));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("mils"))) << text.toStdString();
    EXPECT_TRUE(Button("cmdprint")->isEnabled());
    EXPECT_TRUE(messages.isEmpty());
}

// Every output button of the window reaches its command.
TEST_F(ReportCommandsTest, TheWindowsButtonsRunTheCommands)
{
    chosen = QString(); // the dialogs are cancelled: only the asking counts
    Button("cmdSave")->click();
    EXPECT_EQ(askedFolder, GaugeFolder());
    askedFolder.clear();
    Button("cmdOpen")->click();
    EXPECT_EQ(askedFolder, GaugeFolder());
    Button("cmdWord")->click();
    EXPECT_FALSE(window.reports().LastDocument().isEmpty());
    EXPECT_EQ(opened, QUrl::fromLocalFile(window.reports().LastDocument()));
    pdf = folders.Root() + QStringLiteral("/clicked.pdf");
    Button("cmdprint")->click();
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

// The notices of the word processor and the printer in both languages,
// each told under the program's caption and written to the log.
TEST_F(ReportCommandsTest, OutputFailuresInBothLanguages)
{
    struct Case {
        int language;
        const char16_t* notOpened;
        const char16_t* printFailed;
    };
    const Case cases[] = {
        {kGerman, u"Open Word:Kein Programm zum \u00D6ffnen gefunden. Das Dokument ist gespeichert in ",
         u"Drucken nicht m\u00F6glich: "},
        {kEnglish, u"Open Word:No program was found to open it. The document is saved in ", u"Printing failed: "},
    };
    documentOpens = false;
    pdf = folders.Root() + QStringLiteral("/no such folder/report.pdf");
    for (const Case& c : cases) {
        session.SetLanguage(c.language);
        messages.clear();
        prompt.titles.clear();
        window.reports().cmdWord_Click();
        window.reports().cmdprint_Click();
        ASSERT_EQ(messages.size(), 2) << c.language;
        EXPECT_EQ(messages[0], QString::fromUtf16(c.notOpened) + window.reports().LastDocument());
        EXPECT_TRUE(messages[1].startsWith(QString::fromUtf16(c.printFailed))) << messages[1].toStdString();
        EXPECT_GT(messages[1].size(), QString::fromUtf16(c.printFailed).size()) << "the reason follows";
        for (const QString& title : prompt.titles)
            EXPECT_EQ(title, MessageText(c.language, kCaptionTextKey));
        const QString log = DecodeCp1252(ReadAll(session.Log.Path()));
        for (const QString& message : messages)
            EXPECT_TRUE(log.contains(message)) << message.toStdString();
        for (const char* name : {"cmdWord", "cmdprint", "cmdSave", "cmdOpen"})
            EXPECT_TRUE(Button(name)->isEnabled()) << name;
    }
}

// The project line of a report carries the time of the project window, or
// the clock's time while that window was never opened.
TEST_F(ReportCommandsTest, ProjectLineTimeFromTheProjectWindowElseTheClock)
{
    session.Settings.projectData.Texts[0] = QStringLiteral("Bridge 7");
    ASSERT_FALSE(session.Voreinstellungen(settings_mode::ProjectDataSave));
    clock.Set(QDateTime(QDate(2025, 3, 7), QTime(8, 42, 10)));
    const QString clockTime = window.reports().FillReportText(report_mode::All);
    EXPECT_TRUE(clockTime.contains(QStringLiteral(" 08:42\r\n"))) << clockTime.toStdString();
    EXPECT_TRUE(clockTime.contains(QStringLiteral("Bridge 7"))) << clockTime.toStdString();

    Button("cmdProjekt")->click();
    QTimeEdit* time = test::Named<QTimeEdit>(window, QStringLiteral("DTPTime"));
    ASSERT_NE(time, nullptr);
    time->setTime(QTime(13, 5));
    const QString windowTime = window.reports().FillReportText(report_mode::All);
    EXPECT_TRUE(windowTime.contains(QStringLiteral(" 13:05\r\n"))) << windowTime.toStdString();
    EXPECT_FALSE(windowTime.contains(QStringLiteral(" 08:42\r\n")));
}

} // namespace
} // namespace qc
