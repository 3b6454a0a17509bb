// The command line of quenconnect-cli: what is taken, what is refused and
// with which word.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <limits>

#include "cli/cli_options.h"
#include "cli/cli_texts.h"

namespace qc::cli {
namespace {

QStringList Args(const char* line) { return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts); }

struct Refusal {
    const char* line;
    UsageProblem problem;
    const char* detail;
};

TEST(CliOptions, RefusedCommandLinesSayWhatIsWrong)
{
    const Refusal cases[] = {
        {"", UsageProblem::NoSubcommand, ""},
        {"--lang en", UsageProblem::NoSubcommand, ""},
        {"download E8C04D000404", UsageProblem::UnknownSubcommand, "download"},
        {"scan --colour", UsageProblem::UnknownOption, "--colour"},
        {"scan --seconds", UsageProblem::MissingValue, "--seconds"},
        {"scan --seconds 0", UsageProblem::BadValue, "--seconds 0"},
        {"scan --seconds -1", UsageProblem::BadValue, "--seconds -1"},
        {"scan --seconds nan", UsageProblem::BadValue, "--seconds nan"},
        {"scan --seconds inf", UsageProblem::BadValue, "--seconds inf"},
        {"scan --seconds 1e400", UsageProblem::BadValue, "--seconds 1e400"},
        {"scan --seconds 3601", UsageProblem::BadValue, "--seconds 3601"},
        {"scan --lang fr", UsageProblem::BadValue, "--lang fr"},
        {"scan --json=yes", UsageProblem::BadValue, "--json=yes"},
        {"scan E8C04D000404", UsageProblem::ExtraArgument, "E8C04D000404"},
        {"live", UsageProblem::MissingArgument, "ADDRESS"},
        {"live E8C04D00040", UsageProblem::BadAddress, "E8C04D00040"},
        {"live E8C04D0004044", UsageProblem::BadAddress, "E8C04D0004044"},
        {"live E8C04D00040G", UsageProblem::BadAddress, "E8C04D00040G"},
        {"live E8:C04D:00:04:04", UsageProblem::BadAddress, "E8:C04D:00:04:04"},
        {"live E8C04D000404 --count 0", UsageProblem::BadValue, "--count 0"},
        {"live E8C04D000404 --count 1000001", UsageProblem::BadValue, "--count 1000001"},
        {"live E8C04D000404 --count 2.5", UsageProblem::BadValue, "--count 2.5"},
        {"live E8C04D000404 --mode S", UsageProblem::OptionNotHere, "--mode"},
        {"read E8C04D000404", UsageProblem::MissingArgument, "MEMORY"},
        {"set-time E8C04D000404 --json", UsageProblem::OptionNotHere, "--json"},
        {"report", UsageProblem::MissingArgument, "FILE"},
        {"report a.mes b.mes", UsageProblem::ExtraArgument, "b.mes"},
        {"report a.mes --mode P", UsageProblem::BadValue, "--mode P"},
        {"report a.mes --mode AS", UsageProblem::BadValue, "--mode AS"},
        {"report a.mes -o b.txt", UsageProblem::OptionNotHere, "--output"},
        {"report a.mes --timeout 2", UsageProblem::OptionNotHere, "--timeout"},
        {"report a.mes --min -5", UsageProblem::BadValue, "--min -5"},
        {"report a.mes --max abc", UsageProblem::BadValue, "--max abc"},
        {"report a.mes --target 1.2.3", UsageProblem::BadValue, "--target 1.2.3"},
        {"report a.mes --target 1e999", UsageProblem::BadValue, "--target 1e999"},
        {"report a.mes --gauge", UsageProblem::MissingValue, "--gauge"},
        {"convert a.mes", UsageProblem::NoOutput, ""},
        {"convert a.mes --count 3 -o b.csv", UsageProblem::OptionNotHere, "--count"},
        {"--simulate=/no/such/folder scan", UsageProblem::NoSuchFolder, "/no/such/folder"},
        {"--simulate /no/such/folder scan", UsageProblem::NoSuchFolder, "/no/such/folder"},
    };
    for (const Refusal& c : cases) {
        const ParseResult r = ParseArguments(Args(c.line));
        EXPECT_EQ(r.problem, c.problem) << c.line;
        EXPECT_EQ(r.detail, QString::fromUtf8(c.detail)) << c.line;
        EXPECT_FALSE(UsageText(0, r.problem, r.detail).isEmpty() && r.problem != UsageProblem::None) << c.line;
    }
}

TEST(CliOptions, GaugeSubcommandsTakeTheirArgumentsAndOptions)
{
    const ParseResult r = ParseArguments(Args("--lang=en live e8:c0:4d:00:04:04 --count 7 --seconds 2.5 --json "
                                              "--timeout 0,25"));
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    const Options& o = r.options;
    EXPECT_EQ(o.command, Subcommand::Live);
    EXPECT_EQ(o.language, 1);
    EXPECT_EQ(o.address, QStringLiteral("E8C04D000404"));
    EXPECT_EQ(o.count, 7);
    EXPECT_EQ(o.duration, std::chrono::milliseconds(2500));
    EXPECT_EQ(o.timeout, std::chrono::milliseconds(250));
    EXPECT_TRUE(o.json);

    const ParseResult read = ParseArguments(Args("read E8C04D000501 m0001 -o out.xlsx --no-chart --lang de"));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.options.memory, QStringLiteral("m0001"));
    EXPECT_EQ(read.options.output, QStringLiteral("out.xlsx"));
    EXPECT_TRUE(read.options.noChart);
    EXPECT_EQ(read.options.language, 0);
}

TEST(CliOptions, FileSubcommandsTakeModeLimitsAndSettings)
{
    const ParseResult r = ParseArguments(
        Args("report probe.mes --mode s --min 10 --max 250,5 --target 120 --rule8020 --gauge 4711 --model plb "
             "--settings /tmp --data /tmp"));
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    const Options& o = r.options;
    EXPECT_EQ(o.command, Subcommand::Report);
    EXPECT_EQ(o.file, QStringLiteral("probe.mes"));
    EXPECT_EQ(o.mode, QStringLiteral("S"));
    EXPECT_EQ(o.limits.minimum, 10.0);
    EXPECT_EQ(o.limits.maximum, 250.5);
    EXPECT_EQ(o.limits.target, 120.0);
    EXPECT_EQ(o.limits.rule8020, true);
    EXPECT_EQ(o.gauge, QStringLiteral("4711"));
    EXPECT_EQ(o.model, QStringLiteral("PLB"));
    EXPECT_EQ(o.settingsDir, QStringLiteral("/tmp"));

    // "--" ends the options: a file whose name begins with "-".
    const ParseResult dash = ParseArguments({QStringLiteral("report"), QStringLiteral("--"), QStringLiteral("-x.mes")});
    ASSERT_TRUE(dash.ok());
    EXPECT_EQ(dash.options.file, QStringLiteral("-x.mes"));
}

TEST(CliOptions, SimulateTakesAFolderOnlyWhereItCanBeOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        QStringList args;
        bool ok;
        QString folder;
        QString address;
    };
    const QString f = dir.path();
    const Case cases[] = {
        {{"--simulate", "scan"}, true, {}, {}},
        {{"--simulate", f, "scan"}, true, f, {}},
        {{"--simulate=" + f, "scan"}, true, f, {}},
        {{"live", "--simulate", "E8C04D000404"}, true, {}, "E8C04D000404"},
        {{"live", "--simulate", f, "E8C04D000404"}, true, f, "E8C04D000404"},
        {{"live", "E8C04D000404", "--simulate"}, true, {}, "E8C04D000404"},
        {{"--simulate=", "scan"}, false, {}, {}},
    };
    for (const Case& c : cases) {
        const ParseResult r = ParseArguments(c.args);
        EXPECT_EQ(r.ok(), c.ok) << c.args.join(u' ').toStdString();
        if (!r.ok())
            continue;
        EXPECT_TRUE(r.options.simulate);
        EXPECT_EQ(r.options.simulateFolder, c.folder) << c.args.join(u' ').toStdString();
        EXPECT_EQ(r.options.address, c.address) << c.args.join(u' ').toStdString();
    }
}

TEST(CliOptions, LanguageIsFoundInARefusedCommandLine)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"frobnicate --lang de", 0},   {"--lang=EN frobnicate", 1},           {"scan --lang fr", std::nullopt},
        {"scan --lang", std::nullopt}, {"report -- --lang=en", std::nullopt}, {"--lang de --lang en scan", 1},
    };
    for (const auto& [line, language] : cases)
        EXPECT_EQ(LanguageOf(Args(line)), language) << line;
}

TEST(CliOptions, HelpNeedsNoArguments)
{
    for (const char* line : {"--help", "-h", "live --help", "read -h", "convert --help", "report --help --lang en"}) {
        const ParseResult r = ParseArguments(Args(line));
        EXPECT_TRUE(r.ok()) << line;
        EXPECT_TRUE(r.options.help) << line;
    }
}

TEST(CliOptions, NumbersAndAddresses)
{
    const std::pair<const char*, std::optional<double>> numbers[] = {
        {"12", 12.0},
        {"12.5", 12.5},
        {"12,5", 12.5},
        {" 7 ", 7.0},
        {".5", 0.5},
        {"-3", -3.0},
        {"+3", 3.0},
        {"1,000.5", std::nullopt},
        {"1e3", std::nullopt},
        {"", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"0x10", std::nullopt},
        {"12abc", std::nullopt},
        {"\u0661\u0662", std::nullopt},
    };
    for (const auto& [text, expected] : numbers)
        EXPECT_EQ(ParseNumber(QString::fromUtf8(text)), expected) << text;
    // A digit string too long for a double is no number.
    EXPECT_EQ(ParseNumber(QString(400, u'9')), std::nullopt);

    const std::pair<const char*, const char*> addresses[] = {
        {"E8C04D000404", "E8C04D000404"},
        {"e8c04d000404", "E8C04D000404"},
        {"E8:C0:4D:00:04:04", "E8C04D000404"},
        {"E8-C0-4D-00-04-04", ""},
        {"E8C04D00040", ""},
        {"", ""},
    };
    for (const auto& [text, expected] : addresses)
        EXPECT_EQ(NormaliseAddress(QString::fromUtf8(text)), QString::fromUtf8(expected)) << text;
}

TEST(CliTexts, EverySubcommandHasHelpInBothLanguages)
{
    for (Subcommand c : {Subcommand::Scan, Subcommand::Info, Subcommand::Memories, Subcommand::Read, Subcommand::Live,
                         Subcommand::SetTime, Subcommand::Report, Subcommand::Convert}) {
        const QString word = SubcommandName(c);
        EXPECT_TRUE(HelpText(1, c).startsWith(QStringLiteral("Usage: quenconnect-cli ") + word)) << word.toStdString();
        EXPECT_TRUE(HelpText(0, c).startsWith(QStringLiteral("Aufruf: quenconnect-cli ") + word)) << word.toStdString();
        EXPECT_EQ(SubcommandOf(word), c);
        // The overview names every subcommand.
        EXPECT_TRUE(HelpText(0, Subcommand::None).contains(QStringLiteral("  ") + word + u' ')) << word.toStdString();
        EXPECT_TRUE(HelpText(1, Subcommand::None).contains(QStringLiteral("  ") + word + u' ')) << word.toStdString();
    }
}

} // namespace
} // namespace qc::cli
