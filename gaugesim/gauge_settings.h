// The settings of a gauge as lines of "key = value": the description file
// of a content folder and the run-time configuration of a live gauge use
// the same keys (see the README for the list).
#pragma once

#include <ctime>
#include <string>

#include "gauge_setup.h"

namespace quen::gaugesim {

// Splits "key = value" (blanks around both trimmed). False for a blank line
// or a comment ("#" first); `error` says why a line is malformed.
bool SplitSettingLine(const std::string& line, std::string& key, std::string& value, std::string& error);

// Keys that shape the gauge's GATT database and advertisement; they can be
// given in a description file but not changed on a running gauge.
bool IsFixedSetting(const std::string& key);

// Applies one setting; "" on success, else the reason (nothing changed).
// `hostNow` anchors "clock" (the gauge clock is kept as an offset).
std::string ApplySetting(GaugeSetup& setup, const std::string& key, const std::string& value, std::time_t hostNow);

// "silent", "late 3000", "link-loss 4", "none", ...; "" or the reason.
std::string ApplyFault(GaugeSetup& setup, const std::string& value);

}  // namespace quen::gaugesim
