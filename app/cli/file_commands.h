// The subcommands on measurement files, and the export of the table shown
// and the gauge's settings that `convert` and `read` share.
#pragma once

#include <QString>

#include "cli/cli_context.h"

namespace qc::cli {

// report FILE.mes [--mode A|S|W]: the report on standard output.
int RunReport(Context& cli);

// convert FILE.mes -o FILE: the file in the format of the output's extension.
int RunConvert(Context& cli);

// The table the session shows, written to `output` in the format of its
// extension; without `output` its report (mode "A") on standard output.
// `memoryName` titles the workbook's statistics.
int ExportShownTable(Context& cli, const QString& output, const QString& memoryName);

// The stored settings (project labels, limits) of `gauge`, then the limits
// of the command line over them.
void LoadGaugeSettings(Context& cli, const QString& gauge);

// The limits of the command line over the loaded ones, checked as the
// limits dialog checks them; its messages go to standard error.
void ApplyLimitOptions(Context& cli);

// The gauge whose settings a measurement file goes with: --gauge, else the
// name of its folder when that is <data>/mes/<gauge>; empty when neither.
QString GaugeOfFile(const QString& path, const QString& dataDir, const QString& given);

} // namespace qc::cli
