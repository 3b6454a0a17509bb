// quenconnect-cli on measurement files, run as a program: the report of
// hand-made files, every output format read back by an independent reader,
// the .mes output against the window's own save, the exit codes.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <QTemporaryDir>

#include "../output/csv_readback.h"
#include "../output/xlsx_readback.h"
#include "../shell/scripted_prompt.h"
#include "../shell/shell_test_env.h"
#include "../shell/stepped_clock.h"
#include "cli_test_support.h"
#include "data/measurement_file.h"
#include "gauge/gauge_identification.h"
#include "shell/session.h"
#include "ui/frmTransfer.h"
#include "ui/report_commands.h"

namespace qc {
namespace {

using test::CliRun;
using test::RunCli;

// The decimal separator the program uses here (both locales are run).
QChar Separator() { return QLocale::system().decimalPoint().at(0); }

QString Lines(const QByteArray& out) { return QString::fromUtf8(out); }

// The sheet names of a workbook as openpyxl read it.
QStringList SheetNames(const QJsonObject& book)
{
    QStringList names;
    for (const QJsonValue& sheet : book[QStringLiteral("sheets")].toArray())
        names << sheet.toArray().at(0).toString();
    return names;
}

class CliFilesTest : public testing::Test {
protected:
    QString Data(const QString& relative) const { return folders.Data() + u'/' + relative; }
    QString Temp(const QString& name) const { return scratch.filePath(name); }

    QString MakeFile(const QString& path, const QStringList& lines) const
    {
        EXPECT_TRUE(test::WriteBytes(path, test::MesBytes(lines))) << path.toStdString();
        return path;
    }

    // The file opened and saved again by the main window, with the gauge
    // of `model` identified as `gauge` (none: no gauge connected).
    QByteArray WindowSave(const QString& source, const QString& model, const QString& gauge)
    {
        test::SteppedClock clock;
        Session session{clock};
        frmTransfer window{session};
        test::ScriptedPrompt prompt;
        window.SetPrompt(&prompt);
        if (!model.isEmpty()) {
            EXPECT_TRUE(ApplyDeviceProfile(model, session.Gauge.profile)) << model.toStdString();
            session.Gauge.identity.ModelCode = model;
        }
        if (!gauge.isEmpty()) {
            session.Gauge.identity.GaugeNumber = gauge;
            session.Settings.SetGaugeNumber(gauge);
            session.Voreinstellungen(u"LL");
        }
        const QString target = Temp(QStringLiteral("window.mes"));
        ReportCommands::Desktop desktop;
        desktop.openFileName = [&](QWidget*, const QString&) { return source; };
        desktop.saveFileName = [&](QWidget*, const QString&) { return target; };
        desktop.openDocument = [](const QUrl&) { return true; };
        window.reports().SetDesktop(desktop);
        window.Unblock_Buttons();
        window.reports().cmdOpen_Click();
        window.reports().cmdSave_Click();
        EXPECT_TRUE(prompt.told.isEmpty()) << prompt.told.join(u'\n').toStdString();
        return test::ReadBytes(target);
    }

    test::ShellFolders folders;
    QTemporaryDir scratch;
};

// Exit codes and the words on standard error, in both languages.
TEST_F(CliFilesTest, FileProblemsEndWithTheirCodeAndSaySo)
{
    const QString good = MakeFile(Temp(QStringLiteral("good.mes")), test::TimeFormLines(3, Separator()));
    const QString binary = Temp(QStringLiteral("binary.mes"));
    ASSERT_TRUE(test::WriteBytes(binary, QByteArray("10:00:00\0\0\0", 11)));
    const QString huge = Temp(QStringLiteral("huge.mes"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(mes::kMaxFileBytes + 1)); // sparse: no real megabytes written
    }
    struct Case {
        QStringList args;
        int code;
        const char* english;
        const char* german;
    };
    const Case cases[] = {
        {{}, 1, "No command given.", "Kein Befehl angegeben."},
        {{"frobnicate"}, 1, "Unknown command: frobnicate", "Unbekannter Befehl: frobnicate"},
        {{"info", "E8C04D000404"}, 2, "No Bluetooth adapter found.", "Kein Bluetooth-Adapter gefunden."},
        {{"memories", "E8C04D000404"}, 2, "No Bluetooth adapter found.", "Kein Bluetooth-Adapter gefunden."},
        {{"read", "E8C04D000404", "3", "-o", Temp("r.csv")},
         2,
         "No Bluetooth adapter found.",
         "Kein Bluetooth-Adapter gefunden."},
        {{"report", Temp("missing.mes")}, 4, "The file was not found: ", "Die Datei wurde nicht gefunden: "},
        {{"report", scratch.path()}, 4, "This is not a file: ", "Das ist keine Datei: "},
        {{"report", binary}, 4, "not a text file", "keine Textdatei"},
        {{"report", huge}, 4, "too large", "zu groß"},
        {{"convert", good, "-o", Temp("no/such/folder/x.xlsx")},
         4,
         "could not be written",
         "konnte nicht geschrieben werden"},
        {{"convert", good, "-o", Temp("no/such/folder/x.docx")},
         4,
         "could not be written",
         "konnte nicht geschrieben werden"},
        {{"convert", good, "-o", Temp("no/such/folder/x.csv")},
         4,
         "could not be saved",
         "konnte nicht gespeichert werden"},
        {{"convert", good, "-o", scratch.path() + "/"}, 1, "Unknown output format", "Unbekanntes Ausgabeformat"},
        {{"convert", good, "-o", Temp("x.pdf")}, 1, "Unknown output format: ", "Unbekanntes Ausgabeformat: "},
        {{"convert", Temp("missing.mes"), "-o", Temp("x.pdf")}, 1, "Unknown output format", "Unbekanntes"},
        {{"report", good, "--model", "XYZ"}, 1, "Unknown gauge model: XYZ", "Unbekanntes Gerätemodell: XYZ"},
    };
    for (const Case& c : cases) {
        for (int language : {0, 1}) {
            const CliRun r = RunCli(c.args + QStringList{QStringLiteral("--lang"), language ? "en" : "de"});
            const QString line = c.args.join(u' ');
            ASSERT_TRUE(r.finished) << line.toStdString();
            EXPECT_EQ(r.code, c.code) << line.toStdString() << "\n" << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(QString::fromUtf8(language ? c.english : c.german)))
                << line.toStdString() << "\n"
                << r.err.toStdString();
        }
    }
    // Nothing is left where a write failed.
    EXPECT_FALSE(QFileInfo::exists(Temp(QStringLiteral("no"))));
}

TEST_F(CliFilesTest, HelpOfEverySubcommand)
{
    for (const char* sub : {"scan", "info", "memories", "read", "live", "set-time", "report", "convert"}) {
        const CliRun en = RunCli(
            {QString::fromLatin1(sub), QStringLiteral("--help"), QStringLiteral("--lang"), QStringLiteral("en")});
        EXPECT_EQ(en.code, 0) << sub;
        EXPECT_TRUE(Lines(en.out).startsWith(QStringLiteral("Usage: quenconnect-cli ") + QString::fromLatin1(sub)))
            << sub;
        const CliRun de = RunCli({QStringLiteral("--lang=de"), QString::fromLatin1(sub), QStringLiteral("-h")});
        EXPECT_EQ(de.code, 0) << sub;
        EXPECT_TRUE(Lines(de.out).startsWith(QStringLiteral("Aufruf: quenconnect-cli ") + QString::fromLatin1(sub)))
            << sub;
    }
    const CliRun overview = RunCli({QStringLiteral("--help"), QStringLiteral("--lang"), QStringLiteral("en")});
    EXPECT_EQ(overview.code, 0);
    EXPECT_TRUE(Lines(overview.out).contains(QStringLiteral("Exit codes: 0 done, 1 bad usage")));
}

// Files made by hand, as a user or another program writes them: what the
// report shows of each.
TEST_F(CliFilesTest, ReportOfHandMadeFiles)
{
    const QChar s = Separator();
    auto n = [s](const char* text) { return QString::fromUtf8(text).replace(u'.', s); };
    struct Case {
        const char* name;
        QStringList lines;
        QStringList args;
        QStringList expected; // lines of standard output, in order (others may lie between)
    };
    const Case cases[] = {
        {"three readings",
         test::TimeFormLines(3, s),
         {"--mode", "A"},
         {"Anzahl              3", "", n("10:00:01          1        10.5 \u00B5m   FE"),
          n("10:00:03          3        11.5 \u00B5m   FE")}},
        {"statistics only",
         test::TimeFormLines(3, s),
         {"--mode", "S", "--lang", "en"},
         {"Count               3", n("Average             11.00   \u00B5m")}},
        {"readings only",
         test::TimeFormLines(2, s),
         {"--mode", "W"},
         {"", n("10:00:01          1        10.5 \u00B5m   FE"), n("10:00:02          2        11.0 \u00B5m   FE")}},
        {"limits given",
         test::TimeFormLines(2, s),
         {"--min", "10", "--max", "250", "--target", "11"},
         {"Min Limit              10 \u00B5m", "Max Limit             250 \u00B5m",
          "Sollwert               11 \u00B5m"}},
        {"header and a line without a reading",
         {"#  05.12.2024 09:30", "#  Objekt Brücke 7", "", "Statistik:", "",
          n("10:15:30      1        12.3 \u00B5m   FE"), "kein Messwert",
          n("10:15:31      2         150 \u00B5m   NF")},
         {"--mode", "W"},
         {n("10:15:30          1        12.3 \u00B5m   FE"), n("10:15:31          2         150 \u00B5m   NF")}},
        {"no reading at all", {"Statistik:", "nichts"}, {"--mode", "W"}, {""}},
    };
    for (const Case& c : cases) {
        const QString file = MakeFile(Temp(QString::fromLatin1(c.name) + QStringLiteral(".mes")), c.lines);
        const CliRun r = RunCli(QStringList{QStringLiteral("report"), file, QStringLiteral("--lang=de")} + c.args);
        ASSERT_EQ(r.code, 0) << c.name << "\n" << r.err.toStdString();
        const QStringList got = Lines(r.out).split(u'\n');
        EXPECT_FALSE(Lines(r.out).contains(u'\r')) << c.name;
        qsizetype at = 0;
        for (const QString& want : c.expected) {
            while (at < got.size() && !got[at].startsWith(want))
                ++at;
            EXPECT_LT(at, got.size()) << c.name << ": missing \"" << want.toStdString() << "\" in\n"
                                      << Lines(r.out).toStdString();
            ++at;
        }
    }
}

// What the save button of the main window writes for the same file, byte
// for byte: without a gauge, with gauges of both classes, with the limits
// stored for the gauge whose folder holds the file, with 5000 readings.
TEST_F(CliFilesTest, MesOutputIsTheWindowsSave)
{
    const QChar s = Separator();
    // The German form is read in every locale.
    const QString dated = QStringLiteral("05.12.2024 10:15:30         1        12%1345 \u00B5m    FE").arg(s);
    ASSERT_TRUE(
        test::WriteBytes(folders.Settings() + QStringLiteral("/Limit_4711.ini"), QByteArray("10;250;120;1;\r\n")));
    struct Case {
        const char* name;
        QString file;
        QStringList lines;
        QString model;
        QString gauge;
    };
    const Case cases[] = {
        {"no gauge", Temp("a.mes"), test::TimeFormLines(12, s), {}, {}},
        {"class 4", Temp("b.mes"), {"Statistik:", "", dated}, "PLB", {}},
        {"class 5", Temp("c.mes"), {"Statistik:", "", dated}, "QV", {}},
        {"stored limits", Data("mes/4711/d.mes"), test::TimeFormLines(40, s), {}, "4711"},
        {"5000 readings", Temp("e.mes"), test::TimeFormLines(kMaxRows, s), "GV8", {}},
    };
    for (const Case& c : cases) {
        MakeFile(c.file, c.lines);
        const QString out = Temp(QString::fromLatin1(c.name) + QStringLiteral(".mes"));
        // The window speaks German until a gauge's language file says otherwise.
        QStringList args{QStringLiteral("convert"), c.file, QStringLiteral("-o"), out, QStringLiteral("--lang=de")};
        if (!c.model.isEmpty())
            args << QStringLiteral("--model") << c.model;
        const CliRun r = RunCli(args);
        ASSERT_EQ(r.code, 0) << c.name << "\n" << r.err.toStdString();
        const QByteArray cli = test::ReadBytes(out);
        const QByteArray window = WindowSave(c.file, c.model, c.gauge);
        ASSERT_FALSE(window.isEmpty()) << c.name;
        EXPECT_EQ(cli, window) << c.name << "\n--- cli\n"
                               << cli.left(600).toStdString() << "\n--- window\n"
                               << window.left(600).toStdString();
    }
}

// A memory read from a gauge into a measurement file opens in the window
// with nothing lost: saved again there, every reading line (date, time,
// number, value, unit, material) is the same, for a gauge of each mark.
// (The statistics heading differs: after a download the window, like the
// tool, heads them by material.)
TEST_F(CliFilesTest, AMemoryReadOpensInTheWindowWithEveryReading)
{
    struct Case {
        const char* address;
        const char* memory;
        const char* gauge;
        int readings;
    };
    const Case cases[] = {{"E8C04D000404", "4", "4711", 12}, {"E8C04D000405", "1", "7012", 250}};
    // A reading line ends with its unit and material; a statistics line with its unit.
    const QRegularExpression readingLine(QStringLiteral("\u00B5m +[A-Z]+$"));
    const auto readings = [&](const QByteArray& bytes) {
        return QString::fromLatin1(bytes).split(QStringLiteral("\r\n")).filter(readingLine);
    };
    for (const Case& c : cases) {
        const QString out = Temp(QLatin1String(c.address) + QStringLiteral(".mes"));
        const CliRun r = RunCli({QStringLiteral("--simulate"), QStringLiteral("read"), QLatin1String(c.address),
                                 QLatin1String(c.memory), QStringLiteral("-o"), out, QStringLiteral("--lang=de")});
        ASSERT_EQ(r.code, 0) << c.address << "\n" << r.err.toStdString();
        const QStringList cli = readings(test::ReadBytes(out));
        EXPECT_EQ(cli.size(), c.readings) << c.address;
        const QStringList window = readings(WindowSave(out, QStringLiteral("PLB"), QLatin1String(c.gauge)));
        EXPECT_EQ(cli, window) << c.address;
    }
}

// A file of a date-mode gauge converted without naming the model keeps
// the dates of its readings (the window without a gauge would write the
// time alone).
TEST_F(CliFilesTest, DatesSurviveAConversionWithoutModel)
{
    const QString date = QStringLiteral("05.12.2024");
    const QString file = MakeFile(Temp(QStringLiteral("dated.mes")),
                                  {QStringLiteral("Statistik:"), QString(),
                                   date + QStringLiteral(" 10:15:30         1        12 \u00B5m    FE"),
                                   date + QStringLiteral(" 23:59:59         2        13 \u00B5m    NF")});
    const QString out = Temp(QStringLiteral("again.mes"));
    ASSERT_EQ(RunCli({QStringLiteral("convert"), file, QStringLiteral("-o"), out}).code, 0);
    const MesReadResult back = ReadMesFile(out, {true, QLocale::system()});
    ASSERT_FALSE(back.error.has_value());
    ASSERT_EQ(back.content.rows.size(), 2u);
    EXPECT_EQ(back.content.rows[0].DateTime, QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)));
    EXPECT_EQ(back.content.rows[1].DateTime, QDateTime(QDate(2024, 12, 5), QTime(23, 59, 59)));
    EXPECT_EQ(back.content.rows[1].Material, QStringLiteral("NF"));
    // The report shows them too, in the locale's form.
    const CliRun report = RunCli({QStringLiteral("report"), file, QStringLiteral("--mode"), QStringLiteral("W")});
    ASSERT_EQ(report.code, 0);
    const QStringList lines = Lines(report.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("2024")) && lines[0].contains(QStringLiteral("10:15:30")))
        << lines[0].toStdString();
}

// Every format of -o, read back by a reader that is not ours.
TEST_F(CliFilesTest, EveryFormatReadBackIndependently)
{
    const QChar s = Separator();
    const QString file = MakeFile(Temp(QStringLiteral("probe.mes")), test::TimeFormLines(25, s));
    auto convert = [&](const QString& name, QStringList more = {}) {
        const QString out = Temp(name);
        const CliRun r = RunCli(QStringList{QStringLiteral("convert"), file, QStringLiteral("-o"), out,
                                            QStringLiteral("--lang"), QStringLiteral("en")} +
                                more);
        EXPECT_EQ(r.code, 0) << name.toStdString() << "\n" << r.err.toStdString();
        return out;
    };

    // .txt: the report; .docx: the same lines in Lucida Console 10 pt.
    const QString txt = convert(QStringLiteral("probe.txt"));
    const QString report = QString::fromUtf8(test::ReadBytes(txt));
    EXPECT_TRUE(report.contains(QStringLiteral("Count              25\r\n"))) << report.toStdString();
    const QString docx = convert(QStringLiteral("probe.docx"));
    const QString expected = Temp(QStringLiteral("expected.txt"));
    ASSERT_TRUE(test::WriteBytes(
        expected, QString(report).chopped(2).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8()));
    QProcess reader;
    reader.start(QStringLiteral(QC_SYSTEM_PYTHON), {QStringLiteral(QC_DOCX_READBACK), docx, expected});
    ASSERT_TRUE(reader.waitForFinished(60000));
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardOutput().toStdString()
                                    << reader.readAllStandardError().toStdString();

    // .csv: header and one row per reading, point as decimal separator.
    QString error;
    const QJsonArray rows = test::ReadCsv(convert(QStringLiteral("probe.csv")), &error);
    ASSERT_EQ(rows.size(), 26) << error.toStdString();
    EXPECT_EQ(rows[1].toArray()[0].toString(), QStringLiteral("1"));
    EXPECT_EQ(rows[1].toArray()[2].toString(), QStringLiteral("10:00:01"));
    EXPECT_EQ(rows[1].toArray()[3].toString(), QStringLiteral("10.5"));
    EXPECT_EQ(rows[1].toArray()[4].toString(), QStringLiteral("\u00B5m"));
    EXPECT_EQ(rows[1].toArray()[5].toString(), QStringLiteral("FE"));
    EXPECT_EQ(rows[25].toArray()[3].toString(), QStringLiteral("22.5"));

    // .xlsx: the data sheet and the chart, and without it on request.
    const QJsonObject book = test::ReadWorkbook(convert(QStringLiteral("probe.xlsx")));
    ASSERT_FALSE(book.contains(QStringLiteral("error"))) << book[QStringLiteral("error")].toString().toStdString();
    const QStringList sheets = SheetNames(book);
    EXPECT_TRUE(sheets.contains(QStringLiteral("Data"))) << sheets.join(u',').toStdString();
    EXPECT_TRUE(sheets.contains(QStringLiteral("Chart"))) << sheets.join(u',').toStdString();
    const QJsonObject plain = test::ReadWorkbook(convert(QStringLiteral("plain.xlsx"), {QStringLiteral("--no-chart")}));
    const QStringList plainSheets = SheetNames(plain);
    EXPECT_FALSE(plainSheets.contains(QStringLiteral("Chart"))) << plainSheets.join(u',').toStdString();
}

// A memory of 5000 readings to a workbook with its chart in one command.
TEST_F(CliFilesTest, FiveThousandReadingsToAWorkbook)
{
    const QString file = MakeFile(Temp(QStringLiteral("big.mes")), test::TimeFormLines(kMaxRows + 3, Separator()));
    const QString out = Temp(QStringLiteral("big.xlsx"));
    const CliRun r = RunCli({QStringLiteral("convert"), file, QStringLiteral("-o"), out, QStringLiteral("--lang=en")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("The file holds 5003 readings"))) << r.err.toStdString();
    const QJsonObject book = test::ReadWorkbook(out);
    ASSERT_FALSE(book.contains(QStringLiteral("error"))) << book[QStringLiteral("error")].toString().toStdString();
    // The data rows start two rows below the header row, one per reading.
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();
    int header = 0;
    for (auto it = cells.begin(); it != cells.end(); ++it)
        if (it.key().startsWith(u'B') && it.value().toArray().at(0).toString() == QStringLiteral("No."))
            header = it.key().mid(1).toInt();
    ASSERT_GT(header, 0);
    const int last = header + 2 + kMaxRows - 1;
    EXPECT_EQ(test::CellValue(book, QStringLiteral("B%1").arg(last)).toInt(), kMaxRows);
    EXPECT_DOUBLE_EQ(test::CellValue(book, QStringLiteral("C%1").arg(header + 2)).toDouble(), 10.5);
    EXPECT_TRUE(test::CellValue(book, QStringLiteral("B%1").arg(last + 1)).isUndefined());
    EXPECT_TRUE(SheetNames(book).contains(QStringLiteral("Chart")));
}

} // namespace
} // namespace qc
