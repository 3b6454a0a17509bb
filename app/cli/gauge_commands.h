// The subcommands that talk to a gauge through the BLE control: scan, live
// and set-time, and the connection the others share.
#pragma once

#include "cli/cli_context.h"

namespace qc::cli {

// scan [--seconds S]: every gauge that advertised meanwhile.
int RunScan(Context& cli, const QString& executableDir);

// live ADDRESS [--count N] [--seconds S]: one line per reading taken.
int RunLive(Context& cli, const QString& executableDir);

// set-time ADDRESS: the computer's time to the gauge, read back.
int RunSetTime(Context& cli, const QString& executableDir);

} // namespace qc::cli
