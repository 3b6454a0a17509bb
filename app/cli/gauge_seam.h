// Where quenconnect-cli meets the download: the gauge's identification,
// its memory list and a memory read. What the program's download classes
// provide is called from here; subcommands that need more than the link
// offers in this build say so and end with the usage code.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "cli/cli_context.h"
#include "data/gauge_profile.h"
#include "gauge/reply_decoder.h"

namespace qc::cli {

// The identification fields handed over by "$quen00" and "$gpi", with the
// model and profile of the advertised name.
void ApplyIdentification(const std::vector<LinkHandover>& handovers, const QString& deviceName, GaugeContext& gauge);

// The records of one live value: a "DNF" value of a dual probe carries two,
// its first line and its second half.
QStringList LiveRecords(const QString& value);

int RunInfo(Context& cli);
int RunMemories(Context& cli);
int RunRead(Context& cli);

} // namespace qc::cli
