// quenconnect-cli on the simulated gauges, run as a program: scan, live
// readings and the clock on gauges of both classes; no adapter, no gauge,
// a silent gauge, Ctrl-C.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <csignal>

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

    test::ShellFolders folders;
    QTemporaryDir content;
};

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
    };
    for (const Case& c : cases) {
        const CliRun r = RunCli(c.args + QStringList{QStringLiteral("--lang"), QStringLiteral("en")});
        const QString line = c.args.join(u' ');
        ASSERT_TRUE(r.finished) << line.toStdString();
        EXPECT_EQ(r.code, c.code) << line.toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.english))) << line.toStdString() << "\n" << r.err.toStdString();
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

} // namespace
} // namespace qc
