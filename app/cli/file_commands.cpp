#include "cli/file_commands.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "cli/cli_texts.h"
#include "data/limits_check.h"
#include "data/measurement_file.h"
#include "data/record_text.h"
#include "gauge/gauge_identification.h"
#include "output/csv_export.h"
#include "output/export_inputs.h"
#include "output/output_format.h"
#include "output/report_docx.h"
#include "output/report_text.h"
#include "output/spreadsheet_export.h"
#include "shell/texts.h"

namespace qc::cli {

namespace {

const QString kKnownModels = QStringLiteral("QV, GV4, GV8, ZP, ZC, PLB");
const QString kCrLf = QStringLiteral("\r\n");

// A file from a gauge in date mode read without one: the dates of its
// readings stay in the report and in a file written again.
DeviceProfile DatedProfile()
{
    DeviceProfile p;
    p.ProfileFlag6 = QStringLiteral("-");
    return p;
}

bool AnyDated(const std::vector<Reading>& rows)
{
    return std::any_of(rows.begin(), rows.end(), [](const Reading& r) { return r.DateTime.isValid(); });
}

void TellSettingsFailure(Context& cli, QStringView mode)
{
    if (const auto failure = cli.session.Voreinstellungen(mode))
        cli.console.Message(failure->Message());
}

// The report of the table shown, as the window's outputs build it: the
// project data reloaded first, the statistics shown afterwards as the
// material switch left them.
QString ShownReport(Context& cli, QStringView mode)
{
    TellSettingsFailure(cli, settings_mode::ProjectDataLoad);
    const QDateTime now = cli.session.Clock().CurrentDateTime();
    const ReportProject project = ProjectFromSettings(cli.session.Settings, now.time(), now.date());
    const QString report = FillReportText(mode, cli.table.Data(), project, cli.session.Language());
    cli.table.RecalcStatistics();
    return report;
}

// The report for a terminal or a pipe: LF line ends.
QString ForTerminal(QString report) { return report.replace(kCrLf, QStringLiteral("\n")); }

int WriteFailed(Context& cli, const QString& path, const QString& reason)
{
    cli.console.Message(CliText(cli.console.Language(), Text::WriteFailed).arg(QDir::toNativeSeparators(path), reason));
    return kExitFile;
}

int SaveBytes(Context& cli, const QString& path, const QByteArray& bytes)
{
    if (const auto error = SaveMesFile(path, bytes)) {
        cli.console.Message(error->Message(cli.console.Language()));
        return kExitFile;
    }
    return kExitDone;
}

// Reads the file into the memory table, with the settings of its gauge.
int OpenFile(Context& cli)
{
    const Options& o = cli.options;
    Session& s = cli.session;
    DeviceProfile profile;
    if (!o.model.isEmpty()) {
        DeviceProfile known;
        if (!ApplyDeviceProfile(o.model, known) || o.model.size() > 3) {
            cli.console.Message(CliText(cli.console.Language(), Text::UnknownModel).arg(o.model, kKnownModels));
            return kExitUsage;
        }
        profile = known;
        s.Gauge.identity.ModelCode = o.model;
    }
    const QString gauge = GaugeOfFile(o.file, s.Folders.DataDir, o.gauge);
    s.Gauge.identity.GaugeNumber = gauge;
    LoadGaugeSettings(cli, gauge);

    const QLocale locale = QLocale::system();
    MesReadResult read = ReadMesFile(o.file, {IsDateMode(profile), locale});
    if (!read.error && o.model.isEmpty() && AnyDated(read.content.rows)) {
        profile = DatedProfile();
        read = ReadMesFile(o.file, {true, locale});
    }
    if (read.error) {
        cli.console.Message(read.error->Message(cli.console.Language()));
        return kExitFile;
    }
    s.Gauge.profile = profile;
    const int rows = TakeMesReadings(cli.table.Data(), read.content.rows, s.Clock().CurrentDateTime());
    cli.table.ShowMeasurementFile(o.file, rows);
    if (read.content.Truncated())
        cli.console.Message(MesTruncatedMessage(cli.console.Language(), read.content.dataLines));
    return kExitDone;
}

int WriteSpreadsheetFile(Context& cli, const QString& path, const QString& memoryName)
{
    const QString header = ShownReport(cli, report_mode::Project);
    const SpreadsheetInput input = SpreadsheetFromData(cli.table.Data(), header, cli.session.Language(), memoryName,
                                                       std::nullopt, !cli.options.noChart);
    cli.table.RecalcStatistics();
    if (const auto error = WriteSpreadsheet(path, input))
        return WriteFailed(cli, path, *error);
    return kExitDone;
}

} // namespace

QString GaugeOfFile(const QString& path, const QString& dataDir, const QString& given)
{
    if (!given.isEmpty())
        return given;
    const QString folder = QDir::cleanPath(QFileInfo(path).absolutePath());
    const QString parent = QDir::cleanPath(QFileInfo(folder).absolutePath());
    if (parent != QDir::cleanPath(QFileInfo(MeasurementFolder(dataDir)).absoluteFilePath()))
        return {};
    return QFileInfo(folder).fileName();
}

void ApplyLimitOptions(Context& cli)
{
    const LimitOptions& given = cli.options.limits;
    if (!given.Any())
        return;
    const QLocale locale = QLocale::system();
    Limits& limits = cli.session.Settings.limits;
    auto set = [&](const std::optional<double>& v, double& value, QString& text) {
        if (!v)
            return;
        value = *v;
        text = LimitText(*v, locale);
    };
    set(given.minimum, limits.MinLimit, limits.MinLimitText);
    set(given.maximum, limits.MaxLimit, limits.MaxLimitText);
    set(given.target, limits.TargetValue, limits.TargetText);
    if (given.rule8020)
        limits.Rule8020 = *given.rule8020;
    const int language = cli.console.Language();
    for (const LimitMessage& m : CheckLimits(limits, limits.Rule8020, locale))
        cli.console.Message(LimitMessageText(m, MessageText(language, m.key),
                                             MessageText(language, limit_msg::kMinAdjustedTo), locale));
}

void LoadGaugeSettings(Context& cli, const QString& gauge)
{
    cli.session.Settings.SetGaugeNumber(gauge);
    TellSettingsFailure(cli, settings_mode::ProjectLabelsLoad);
    TellSettingsFailure(cli, settings_mode::LimitsLoad);
    ApplyLimitOptions(cli);
}

int ExportShownTable(Context& cli, const QString& output, const QString& memoryName)
{
    if (output.isEmpty()) {
        cli.console.Out(ForTerminal(ShownReport(cli, report_mode::All)));
        return kExitDone;
    }
    const std::optional<OutputFormat> format = OutputFormatOf(output);
    if (!format) {
        cli.console.Message(UsageText(cli.console.Language(), UsageProblem::UnknownFormat, output));
        return kExitUsage;
    }
    int code = kExitDone;
    switch (*format) {
    case OutputFormat::Mes:
        code = SaveBytes(cli, output, MesFileBytes(ShownReport(cli, report_mode::All)));
        break;
    case OutputFormat::Txt:
        code = SaveBytes(cli, output, ShownReport(cli, report_mode::All).toUtf8());
        break;
    case OutputFormat::Csv: {
        const MeasurementData& data = cli.table.Data();
        code = SaveBytes(cli, output, ReadingsCsv(data.table.Readings(data.state.TableMode), data.gauge.profile));
        break;
    }
    case OutputFormat::Docx:
        if (const auto error = WriteReportDocx(output, ShownReport(cli, report_mode::All)))
            code = WriteFailed(cli, output, *error);
        break;
    case OutputFormat::Xlsx:
        code = WriteSpreadsheetFile(cli, output, memoryName);
        break;
    }
    if (code == kExitDone)
        cli.console.Progress(CliText(cli.console.Language(), Text::Written).arg(QDir::toNativeSeparators(output)));
    return code;
}

int RunReport(Context& cli)
{
    if (const int code = OpenFile(cli); code != kExitDone)
        return code;
    cli.console.Out(ForTerminal(ShownReport(cli, cli.options.mode)));
    return kExitDone;
}

int RunConvert(Context& cli)
{
    // A wrong extension is told before the file is read.
    if (!OutputFormatOf(cli.options.output)) {
        cli.console.Message(UsageText(cli.console.Language(), UsageProblem::UnknownFormat, cli.options.output));
        return kExitUsage;
    }
    if (const int code = OpenFile(cli); code != kExitDone)
        return code;
    return ExportShownTable(cli, cli.options.output, QFileInfo(cli.options.file).fileName());
}

} // namespace qc::cli
