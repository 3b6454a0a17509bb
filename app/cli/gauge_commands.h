// The subcommands that talk to a gauge through the BLE control: scan, info,
// memories, read, live and set-time over one connection class.
#pragma once

#include "cli/cli_context.h"

namespace qc::cli {

// scan [--seconds S]: every gauge that advertised meanwhile.
int RunScan(Context& cli, const QString& executableDir);

// live ADDRESS [--count N] [--seconds S]: one line per reading taken.
int RunLive(Context& cli, const QString& executableDir);

// info ADDRESS: identification, profile, battery and clock.
int RunInfo(Context& cli, const QString& executableDir);

// memories ADDRESS: the memories the gauge offers.
int RunMemories(Context& cli, const QString& executableDir);

// read ADDRESS MEMORY [-o FILE]: one memory into the table, then written
// as -o says (its report on standard output without).
int RunRead(Context& cli, const QString& executableDir);

// set-time ADDRESS: the computer's time to the gauge, read back.
int RunSetTime(Context& cli, const QString& executableDir);

} // namespace qc::cli
