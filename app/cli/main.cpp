// quenconnect-cli: the gauge link and the outputs of Quen Connect from a
// terminal, for batch work and scripts.
#include <QCoreApplication>
#include <QFile>
#include <QLocale>

#include <cstdlib>

#include "cli/cli_context.h"
#include "cli/cli_options.h"
#include "cli/cli_texts.h"
#include "cli/file_commands.h"
#include "cli/gauge_commands.h"
#include "shell/app_identity.h"
#include "shell/folders.h"
#include "shell/texts.h"
#include "shell/wait_clock.h"

namespace {

using namespace qc::cli;

const QString kProgram = QStringLiteral("quenconnect-cli");

int Run(Context& cli, const QString& executableDir)
{
    switch (cli.options.command) {
    case Subcommand::Scan:
        return RunScan(cli, executableDir);
    case Subcommand::Info:
        return RunInfo(cli, executableDir);
    case Subcommand::Memories:
        return RunMemories(cli, executableDir);
    case Subcommand::Read:
        return RunRead(cli, executableDir);
    case Subcommand::Live:
        return RunLive(cli, executableDir);
    case Subcommand::SetTime:
        return RunSetTime(cli, executableDir);
    case Subcommand::Report:
        return RunReport(cli);
    case Subcommand::Convert:
        return RunConvert(cli);
    case Subcommand::None:
        break;
    }
    return kExitUsage;
}

} // namespace

int main(int argc, char* argv[])
{
    qc::PinLocalTimeZone();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(qc::kProgramName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(qc::kProgramVersion));

    const ParseResult parsed = ParseArguments(QCoreApplication::arguments().mid(1));
    const int systemLanguage = QLocale::system().language() == QLocale::German ? qc::kGerman : qc::kEnglish;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const int language = parsed.options.language.value_or(LanguageOf(arguments).value_or(systemLanguage));
    Console console(language);
    if (!parsed.ok()) {
        console.Message(kProgram + QStringLiteral(": ") + UsageText(language, parsed.problem, parsed.detail));
        console.Message(CliText(language, Text::TryHelp).arg(kProgram));
        return kExitUsage;
    }
    const Options& options = parsed.options;
    if (options.help) {
        console.Out(HelpText(language, options.command));
        return kExitDone;
    }
    if (!options.settingsDir.isEmpty())
        qputenv(qc::kSettingsDirVariable, QFile::encodeName(options.settingsDir));
    if (!options.dataDir.isEmpty())
        qputenv(qc::kDataDirVariable, QFile::encodeName(options.dataDir));

    Context cli(options, language);
    cli.StartSession(QCoreApplication::applicationDirPath());
    return Run(cli, QCoreApplication::applicationDirPath());
}
