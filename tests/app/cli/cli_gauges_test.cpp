// quenconnect-cli on the simulated gauges, run as a program: scan,
// identification, memory listing and download, live readings and the clock
// on gauges of both classes; no adapter, no gauge, a silent gauge, Ctrl-C.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

#include "../output/csv_readback.h"
#include "../output/xlsx_readback.h"
#include "../shell/shell_test_env.h"
#include "cli_test_support.h"
#include "data/measurement_table.h"

namespace qc {
namespace {

using test::CliRun;
using test::RunCli;

const QString kPellax = QStringLiteral("E8C04D000404"); // class 4
const QString kQV = QStringLiteral("E8C04D000501");     // class 5

class CliGaugesTest : public testing::Test {
protected:
    CliGaugesTest()
    {
        // The radio is chosen by --simulate alone.
        qunsetenv("VORNIK220_RADIO");
        qunsetenv("VORNIK_SIM_MODULE");
        qunsetenv("QUENCONNECT_GAUGESIM_DIR");
    }

    // A content folder of gauges, each "<folder>/gauge.txt" with `lines`.
    QString Gauges(const std::vector<std::pair<const char*, const char*>>& gauges)
    {
        for (const auto& [name, text] : gauges)
            EXPECT_TRUE(test::WriteBytes(content.filePath(QString::fromLatin1(name) + QStringLiteral("/gauge.txt")),
                                         QByteArray(text)));
        return content.path();
    }

    // A class 4 gauge answering quickly, its memories of `counts` readings
    // numbered from 1, as "<n>.txt" in its folder: records of 45 columns.
    QString Class4Gauge(const std::vector<int>& counts)
    {
        const QString folder = Gauges({{"pel", "model = PEL\nreply_delay = 1\n"}});
        for (std::size_t m = 0; m < counts.size(); ++m) {
            QByteArray text;
            for (int i = 1; i <= counts[m]; ++i)
                text += QStringLiteral("%1  %2 ym   FE  2024-11-06 08:%3:%4\r\n")
                            .arg(i, 4)
                            .arg(RecordValue(i), 10)
                            .arg((i / 60) % 60, 2, 10, QChar(u'0'))
                            .arg(i % 60, 2, 10, QChar(u'0'))
                            .toLatin1();
            EXPECT_TRUE(test::WriteBytes(content.filePath(QStringLiteral("pel/%1.txt").arg(m + 1)), text));
        }
        return folder;
    }
    static QString RecordValue(int i) { return QString::number(50 + (i % 300) * 0.5, 'f', 1); }

    QString Temp(const QString& name) const { return scratch.filePath(name); }

    test::ShellFolders folders;
    QTemporaryDir content;
    QTemporaryDir scratch;
};

// Identification of both classes, as text in either language and as JSON.
TEST_F(CliGaugesTest, InfoOfBothClasses)
{
    struct Case {
        QString address;
        const char* model;
        const char* cls;
        const char* number;
        const char* battery;
    };
    const Case cases[] = {{kPellax, "PLB", "4", "4711", "full"}, {kQV, "QV", "5", "5101", "medium"}};
    for (const Case& c : cases) {
        const CliRun json =
            RunCli({QStringLiteral("--simulate"), QStringLiteral("info"), c.address, QStringLiteral("--json")});
        ASSERT_EQ(json.code, 0) << c.model << "\n" << json.err.toStdString();
        const QJsonObject o = QJsonDocument::fromJson(json.out).object();
        EXPECT_EQ(o[QStringLiteral("address")].toString(), c.address);
        EXPECT_EQ(o[QStringLiteral("model")].toString(), QLatin1String(c.model));
        EXPECT_EQ(o[QStringLiteral("class")].toString(), QLatin1String(c.cls));
        EXPECT_EQ(o[QStringLiteral("gaugeNumber")].toString(), QLatin1String(c.number));
        EXPECT_EQ(o[QStringLiteral("battery")].toString(), QLatin1String(c.battery));
        EXPECT_GT(o[QStringLiteral("batteryVolts")].toDouble(), 0);
        EXPECT_EQ(o[QStringLiteral("unit")].toString(), QStringLiteral("\u00B5m"));
        EXPECT_TRUE(QDateTime::fromString(o[QStringLiteral("clock")].toString(), QStringLiteral("yyyy-MM-dd/HH:mm:ss"))
                        .isValid())
            << o[QStringLiteral("clock")].toString().toStdString();

        const std::pair<const char*, const char*> languages[] = {{"en", "Model:"}, {"de", "Modell:"}};
        for (const auto& [language, label] : languages) {
            const CliRun text = RunCli({QStringLiteral("--simulate"), QStringLiteral("info"), c.address,
                                        QStringLiteral("--lang"), QLatin1String(language)});
            ASSERT_EQ(text.code, 0) << text.err.toStdString();
            const QStringList lines = QString::fromUtf8(text.out).split(u'\n', Qt::SkipEmptyParts);
            const QStringList model = lines.filter(QRegularExpression(QStringLiteral("^") + QLatin1String(label)));
            ASSERT_EQ(model.size(), 1) << text.out.toStdString();
            EXPECT_TRUE(model[0].endsWith(QLatin1String(c.model))) << model[0].toStdString();
            EXPECT_EQ(lines.filter(QLatin1String(c.number)).size(), 1) << text.out.toStdString();
        }
    }
}

// The memories each class offers: class 4 with their readings, class 5 by file name.
TEST_F(CliGaugesTest, MemoriesOfBothClasses)
{
    struct Case {
        QString address;
        std::vector<std::pair<const char*, int>> memories; // readings -1: not told
    };
    const Case cases[] = {
        {kPellax, {{"1", 250}, {"2", 0}, {"3", 5000}, {"4", 12}}},
        {kQV, {{"m0001", -1}, {"m0002", -1}, {"s0003", -1}, {"t0004", -1}, {"m0005", -1}, {"m0006", -1}}},
    };
    for (const Case& c : cases) {
        const CliRun json =
            RunCli({QStringLiteral("--simulate"), QStringLiteral("memories"), c.address, QStringLiteral("--json")});
        ASSERT_EQ(json.code, 0) << json.err.toStdString();
        const QJsonArray list = QJsonDocument::fromJson(json.out).array();
        ASSERT_EQ(list.size(), static_cast<qsizetype>(c.memories.size())) << json.out.toStdString();
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QJsonObject m = list[i].toObject();
            EXPECT_EQ(m[QStringLiteral("name")].toString(), QLatin1String(c.memories[i].first));
            if (c.memories[i].second < 0)
                EXPECT_TRUE(m[QStringLiteral("readings")].isNull());
            else
                EXPECT_EQ(m[QStringLiteral("readings")].toInt(), c.memories[i].second);
        }
        const CliRun text = RunCli({QStringLiteral("--simulate"), QStringLiteral("memories"), c.address});
        ASSERT_EQ(text.code, 0) << text.err.toStdString();
        EXPECT_EQ(QString::fromUtf8(text.out).split(u'\n', Qt::SkipEmptyParts).size(),
                  static_cast<qsizetype>(c.memories.size()));
    }
    // A gauge without memories says so.
    const QString none = Gauges({{"q", "model = QV\nreply_delay = 1\n"}});
    const CliRun empty = RunCli({QStringLiteral("--simulate"), none, QStringLiteral("memories"), kQV,
                                 QStringLiteral("--lang"), QStringLiteral("en")});
    EXPECT_EQ(empty.code, 0) << empty.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(empty.out), QStringLiteral("memory empty\n"));
}

// A class 4 memory read is the gauge's records, row by row, in every
// format; the report on standard output without -o.
TEST_F(CliGaugesTest, ReadGivesTheRecordsOfTheMemory)
{
    const int n = 37;
    const QString folder = Class4Gauge({n, 3});
    const QString csv = Temp(QStringLiteral("m1.csv"));
    const CliRun r = RunCli({QStringLiteral("--simulate"), folder, QStringLiteral("read"), kPellax, QStringLiteral("1"),
                             QStringLiteral("-o"), csv});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    QString error;
    const QJsonArray rows = test::ReadCsv(csv, &error);
    ASSERT_EQ(rows.size(), n + 1) << error.toStdString();
    for (int i = 1; i <= n; ++i) {
        const QJsonArray row = rows[i].toArray();
        EXPECT_EQ(row[0].toString(), QString::number(i));
        EXPECT_EQ(row[1].toString(), QStringLiteral("2024-11-06"));
        EXPECT_EQ(row[2].toString(),
                  QStringLiteral("08:%1:%2").arg((i / 60) % 60, 2, 10, QChar(u'0')).arg(i % 60, 2, 10, QChar(u'0')));
        EXPECT_EQ(row[3].toString().toDouble(), RecordValue(i).toDouble()) << i;
        EXPECT_EQ(row[4].toString(), QStringLiteral("\u00B5m"));
        EXPECT_EQ(row[5].toString(), QStringLiteral("FE"));
    }
    // The report names the count, on standard output, in either language.
    const std::pair<const char*, const char*> languages[] = {{"en", "Count"}, {"de", "Anzahl"}};
    for (const auto& [language, count] : languages) {
        const CliRun report = RunCli({QStringLiteral("--simulate"), folder, QStringLiteral("read"), kPellax,
                                      QStringLiteral("2"), QStringLiteral("--lang"), QLatin1String(language)});
        ASSERT_EQ(report.code, 0) << report.err.toStdString();
        const QString out = QString::fromUtf8(report.out);
        EXPECT_TRUE(out.contains(QRegularExpression(QLatin1String(count) + QStringLiteral(" +3\n"))))
            << out.toStdString();
        EXPECT_FALSE(out.contains(u'\r'));
    }
}

// A class 5 file into a measurement file: the readings in the gauge's
// order (numbers rising, gaps where it skipped one), each a number; the
// file reads back as many rows as its report counts.
TEST_F(CliGaugesTest, ReadAClass5File)
{
    const QString mes = Temp(QStringLiteral("m0001.mes"));
    const CliRun m = RunCli({QStringLiteral("--simulate"), QStringLiteral("read"), kQV, QStringLiteral("m0001"),
                             QStringLiteral("-o"), mes, QStringLiteral("--lang"), QStringLiteral("en")});
    ASSERT_EQ(m.code, 0) << m.err.toStdString();
    const QString csv = Temp(QStringLiteral("m0001.csv"));
    const CliRun c = RunCli({QStringLiteral("convert"), mes, QStringLiteral("-o"), csv, QStringLiteral("--model"),
                             QStringLiteral("QV"), QStringLiteral("--lang"), QStringLiteral("en")});
    ASSERT_EQ(c.code, 0) << c.err.toStdString();
    QString error;
    const QJsonArray rows = test::ReadCsv(csv, &error);
    ASSERT_GT(rows.size(), 10) << error.toStdString();
    int previous = 0;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const int number = rows[i].toArray()[0].toString().toInt();
        EXPECT_GT(number, previous) << i;
        previous = number;
        bool isNumber = false;
        rows[i].toArray()[3].toString().toDouble(&isNumber);
        EXPECT_TRUE(isNumber) << rows[i].toArray()[3].toString().toStdString();
    }
    const QString saved = QString::fromLatin1(test::ReadBytes(mes));
    EXPECT_TRUE(saved.contains(QRegularExpression(QStringLiteral("Count +%1\\r\\n").arg(rows.size() - 1))))
        << saved.left(400).toStdString();
}

// 5000 readings of one memory into a workbook in one command.
TEST_F(CliGaugesTest, AFullMemoryIntoAWorkbook)
{
    const QString folder = Class4Gauge({kMaxRows});
    const QString out = Temp(QStringLiteral("full.xlsx"));
    const CliRun r = RunCli({QStringLiteral("--simulate"), folder, QStringLiteral("read"), kPellax, QStringLiteral("1"),
                             QStringLiteral("-o"), out, QStringLiteral("--lang=en")},
                            {}, 240000);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject book = test::ReadWorkbook(out);
    ASSERT_FALSE(book.contains(QStringLiteral("error"))) << book[QStringLiteral("error")].toString().toStdString();
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();
    int header = 0;
    for (auto it = cells.begin(); it != cells.end(); ++it)
        if (it.key().startsWith(u'B') && it.value().toArray().at(0).toString() == QStringLiteral("No."))
            header = it.key().mid(1).toInt();
    ASSERT_GT(header, 0);
    const int first = header + 2;
    const int last = first + kMaxRows - 1;
    EXPECT_EQ(test::CellValue(book, QStringLiteral("B%1").arg(last)).toInt(), kMaxRows);
    EXPECT_DOUBLE_EQ(test::CellValue(book, QStringLiteral("C%1").arg(first)).toDouble(), RecordValue(1).toDouble());
    EXPECT_DOUBLE_EQ(test::CellValue(book, QStringLiteral("C%1").arg(last)).toDouble(),
                     RecordValue(kMaxRows).toDouble());
    EXPECT_TRUE(test::CellValue(book, QStringLiteral("B%1").arg(last + 1)).isUndefined());
}

TEST_F(CliGaugesTest, ScanListsTheBuiltInGaugesWithTheirModels)
{
    const CliRun text = RunCli(
        {QStringLiteral("--simulate"), QStringLiteral("scan"), QStringLiteral("--seconds"), QStringLiteral("1")});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    EXPECT_TRUE(text.err.contains(QStringLiteral("simulated gauges")) ||
                text.err.contains(QStringLiteral("simulierte Geräte")));
    const QStringList lines = QString::fromUtf8(text.out).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 10) << text.out.toStdString();
    EXPECT_FALSE(text.err.contains(QStringLiteral("Scanning"))) << "progress only on a terminal";
    EXPECT_TRUE(lines.filter(QStringLiteral("E8C04D000404  PELLAX DUAL FE")).value(0).endsWith(u"PLB"));

    const CliRun json = RunCli({QStringLiteral("scan"), QStringLiteral("--simulate"), QStringLiteral("--json"),
                                QStringLiteral("--seconds=1")});
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(json.out).array();
    ASSERT_EQ(list.size(), 10) << json.out.toStdString();
    const std::pair<const char*, const char*> expected[] = {
        {"E8C04D000401", "GV8"}, {"E8C04D000402", "GV8"}, {"E8C04D000403", "ZC"}, {"E8C04D000404", "PLB"},
        {"E8C04D000405", "PLB"}, {"E8C04D000406", "PLB"}, {"E8C04D000501", "QV"}, {"E8C04D000502", "QV"},
        {"E8C04D000503", "GV4"}, {"E8C04D000504", "ZP"},
    };
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject g = list[i].toObject();
        EXPECT_EQ(g[QStringLiteral("address")].toString(), QString::fromLatin1(expected[i].first));
        EXPECT_EQ(g[QStringLiteral("model")].toString(), QString::fromLatin1(expected[i].second));
        EXPECT_TRUE(g[QStringLiteral("rssi")].isDouble());
        EXPECT_FALSE(g[QStringLiteral("name")].toString().isEmpty());
    }
}

// Live readings of both classes, one line each, as many as asked for.
TEST_F(CliGaugesTest, LiveReadingsOfBothClasses)
{
    const QString folder = Gauges({{"pel", "model = PEL\nlive_interval = 20\nreply_delay = 10\n"},
                                   {"qv", "model = QV\nlive_interval = 20\nreply_delay = 10\n"}});
    for (const QString& address : {kPellax, kQV}) {
        const CliRun text = RunCli({QStringLiteral("--simulate"), folder, QStringLiteral("live"), address,
                                    QStringLiteral("--count"), QStringLiteral("3")});
        ASSERT_EQ(text.code, 0) << address.toStdString() << "\n" << text.err.toStdString();
        const QStringList lines = QString::fromUtf8(text.out).split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 3) << text.out.toStdString();
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(lines[i].contains(QStringLiteral("%1 ").arg(i + 1, 5))) << lines[i].toStdString();

        const CliRun json = RunCli({QStringLiteral("--simulate=") + folder, QStringLiteral("live"), address,
                                    QStringLiteral("--count=4"), QStringLiteral("--json")});
        ASSERT_EQ(json.code, 0) << json.err.toStdString();
        const QList<QByteArray> objects = json.out.split('\n');
        ASSERT_GE(objects.size(), 4);
        for (int i = 0; i < 4; ++i) {
            const QJsonObject o = QJsonDocument::fromJson(objects[i]).object();
            EXPECT_EQ(o[QStringLiteral("number")].toInt(), i + 1) << objects[i].toStdString();
            EXPECT_TRUE(o[QStringLiteral("value")].isDouble()) << objects[i].toStdString();
            EXPECT_FALSE(o[QStringLiteral("unit")].toString().isEmpty()) << objects[i].toStdString();
        }
    }
}

// A live session outlasts the table: every reading is printed, numbered on.
TEST_F(CliGaugesTest, LiveGoesOnPastAFullTable)
{
    const QString folder = Gauges({{"pel", "model = PEL\nlive_interval = 1\n"}});
    const CliRun r = RunCli({QStringLiteral("--simulate"), folder, QStringLiteral("live"), kPellax,
                             QStringLiteral("--count"), QString::number(kMaxRows + 3)},
                            {}, 240000);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = QString::fromUtf8(r.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), kMaxRows + 3);
    EXPECT_TRUE(lines.back().contains(QStringLiteral(" %1 ").arg(kMaxRows + 3))) << lines.back().toStdString();
    EXPECT_FALSE(r.err.contains(QString::number(kMaxRows))) << r.err.toStdString(); // no "table full"
}

TEST_F(CliGaugesTest, ClockOfBothClassesIsSetAndReadBack)
{
    for (const QString& address : {kPellax, kQV}) {
        const CliRun r = RunCli({QStringLiteral("--simulate"), QStringLiteral("set-time"), address,
                                 QStringLiteral("--lang"), QStringLiteral("en")});
        ASSERT_EQ(r.code, 0) << address.toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.out).startsWith(QStringLiteral("Date/Time set done: 20")))
            << r.out.toStdString();
    }
}

// Each way a gauge command fails, with its exit code and its words.
TEST_F(CliGaugesTest, GaugeFailuresEndWithTheirCode)
{
    const QString silent = Gauges({{"silent", "model = PEL\nfault = silent\n"}});
    QTemporaryDir quiet;
    ASSERT_TRUE(test::WriteBytes(quiet.filePath(QStringLiteral("q/gauge.txt")), QByteArray("model = QV\n")));
    QTemporaryDir busy; // its memory busy: every read and write answered with ATT error 0x0E
    ASSERT_TRUE(
        test::WriteBytes(busy.filePath(QStringLiteral("b/gauge.txt")), QByteArray("model = PEL\nfault = att-error\n")));
    // ... and one whose memory read is refused from the data read on (the 8th request).
    QTemporaryDir busyRead;
    QByteArray records;
    for (int i = 1; i <= 12; ++i)
        records += QStringLiteral("%1  %2 ym   FE  2024-11-06 08:00:%3\r\n")
                       .arg(i, 4)
                       .arg(RecordValue(i), 10)
                       .arg(i, 2, 10, QChar(u'0'))
                       .toLatin1();
    ASSERT_TRUE(test::WriteBytes(busyRead.filePath(QStringLiteral("b/1.txt")), records));
    ASSERT_TRUE(
        test::WriteBytes(busyRead.filePath(QStringLiteral("b/gauge.txt")),
                         QByteArray("model = PEL\nreply_delay = 0\nfault = from 8\nfault = att-error 14 reads\n")));
    const char* const refused = "Bluetooth error at \"$quen00!\". Protocol error returned during communication: "
                                "[14] {14}. Unlikely error.";
    struct Case {
        QStringList args;
        int code;
        const char* english;
    };
    const Case cases[] = {
        {{"scan", "--seconds", "0.2"}, 2, "No Bluetooth adapter found."},
        {{"live", kPellax}, 2, "No Bluetooth adapter found."},
        {{"--simulate", "live", "001122334455", "--timeout", "0.5"}, 2, "Gauge 001122334455 not found."},
        {{"--simulate", "set-time", "001122334455", "--timeout", "0.5"}, 2, "Gauge 001122334455 not found."},
        {{"--simulate", silent, "set-time", kPellax}, 3, "did not answer \"$glt!\" in time"},
        {{"--simulate", silent, "set-time", kPellax, "--timeout", "0.3"}, 3, "did not answer \"$glt!\" in time"},
        {{"--simulate", silent, "live", kPellax}, 3, "did not answer \"$quen00!\" in time"},
        {{"--simulate", quiet.path(), "live", kQV, "--count", "2", "--seconds", "0.3"},
         3,
         "Only 0 of 2 readings received."},
        {{"--simulate", quiet.path(), "scan", "--seconds", "0.3", "--json"}, 0, "simulated gauges of"},
        {{"info", kQV}, 2, "No Bluetooth adapter found."},
        {{"--simulate", "info", "001122334455", "--timeout", "0.5"}, 2, "Gauge 001122334455 not found."},
        {{"--simulate", "memories", "001122334455", "--timeout", "0.5"}, 2, "Gauge 001122334455 not found."},
        {{"--simulate", "read", "001122334455", "1", "--timeout", "0.5"}, 2, "Gauge 001122334455 not found."},
        {{"--simulate", silent, "info", kPellax, "--timeout", "0.3"}, 3, "did not answer \"$quen00!\" in time"},
        {{"--simulate", silent, "memories", kPellax, "--timeout", "0.3"}, 3, "did not answer \"$quen00!\" in time"},
        {{"--simulate", silent, "read", kPellax, "1", "--timeout", "0.3"}, 3, "did not answer \"$quen00!\" in time"},
        {{"--simulate", busy.path(), "info", kPellax}, 3, refused},
        {{"--simulate", busy.path(), "memories", kPellax}, 3, refused},
        {{"--simulate", busy.path(), "read", kPellax, "1"}, 3, refused},
        {{"--simulate", busy.path(), "live", kPellax}, 3, refused},
        {{"--simulate", busy.path(), "set-time", kPellax}, 3, "Bluetooth error at \"$slt?"},
        {{"--simulate", busyRead.path(), "read", kPellax, "1"}, 3, "Bluetooth error at \"Read memory data\"."},
        {{"--simulate", "read", kPellax, "9"}, 1, "The gauge has no memory \"9\". It offers: 1, 2, 3, 4"},
        {{"--simulate", "read", kQV, "m0009"}, 1, "It offers: m0001, m0002, s0003, t0004, m0005, m0006"},
        {{"--simulate", "read", kQV, "m0001", "-o", "x.pdfx"}, 1, "x.pdfx"},
    };
    for (const Case& c : cases) {
        const CliRun r = RunCli(c.args + QStringList{QStringLiteral("--lang"), QStringLiteral("en")});
        const QString line = c.args.join(u' ');
        ASSERT_TRUE(r.finished) << line.toStdString();
        EXPECT_EQ(r.code, c.code) << line.toStdString() << "\n" << r.err.toStdString();
        EXPECT_EQ(r.err.count(QString::fromUtf8(c.english)), 1) << line.toStdString() << "\n" << r.err.toStdString();
    }
    // German words for the same failure.
    const CliRun de = RunCli({QStringLiteral("scan"), QStringLiteral("--lang"), QStringLiteral("de")});
    EXPECT_EQ(de.code, 2);
    EXPECT_TRUE(de.err.contains(QStringLiteral("Kein Bluetooth-Adapter gefunden."))) << de.err.toStdString();
}

// Progress lines go to standard error when it is a terminal.
TEST_F(CliGaugesTest, ProgressOnATerminal)
{
    QProcess p;
    p.start(QStringLiteral(QC_SYSTEM_PYTHON),
            {QStringLiteral(QC_ON_TERMINAL), QStringLiteral(QC_CLI), QStringLiteral("--simulate"),
             QStringLiteral("set-time"), kPellax, QStringLiteral("--lang"), QStringLiteral("en")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString shown = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(shown.contains(QStringLiteral("Scanning for gauges ..."))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Connecting to E8C04D000404 ..."))) << shown.toStdString();
}

// Ctrl-C is the way out of a live session: an open-ended one ends as
// done, one still waiting for its count ends as interrupted.
TEST_F(CliGaugesTest, CtrlCEndsLive)
{
    const QString folder = Gauges({{"pel", "model = PEL\nlive_interval = 20\n"}});
    struct Case {
        QStringList more;
        int code;
    };
    const Case cases[] = {{{}, 0}, {{QStringLiteral("--count"), QStringLiteral("100000")}, 130}};
    for (const Case& c : cases) {
        QProcess p;
        p.start(QStringLiteral(QC_CLI),
                QStringList{QStringLiteral("--simulate"), folder, QStringLiteral("live"), kPellax} + c.more);
        // The first reading shows the session runs; then Ctrl-C.
        ASSERT_TRUE(p.waitForReadyRead(30000)) << p.readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), c.code) << p.readAllStandardError().toStdString();
    }
}

// Ctrl-C during a download stops it: the way out of its waits, nothing
// written, the interrupted code.
TEST_F(CliGaugesTest, CtrlCStopsARead)
{
    const QString out = Temp(QStringLiteral("stopped.csv"));
    QProcess p;
    p.start(QStringLiteral(QC_SYSTEM_PYTHON),
            {QStringLiteral(QC_INTERRUPT_ON), QStringLiteral("/ 5"), QStringLiteral(QC_CLI),
             QStringLiteral("--simulate"), QStringLiteral("read"), kQV, QStringLiteral("m0006"), QStringLiteral("-o"),
             out, QStringLiteral("--lang"), QStringLiteral("en")});
    ASSERT_TRUE(p.waitForFinished(90000));
    const QString shown = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 130) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Reading memory m0006 ..."))) << shown.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
} // namespace qc
