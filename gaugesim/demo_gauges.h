// The built-in gauges: one model per row of the program's model table,
// each with demo memories, and the model defaults a content folder starts
// from.
#pragma once

#include <string>
#include <vector>

#include "gauge_setup.h"

namespace quen::gaugesim {

// Model keys, in the order of the model table: "QV", "VORTAN", "GV-4",
// "GV-8", "DORIVAN", "Zinto", "ZIN", "PEL", "BODUN", "Thickness".
std::vector<std::string> ModelKeys();

// The model's gauge without memories; false for an unknown key.
bool ModelDefaults(const std::string& model, GaugeSetup& setup);

// Every model with its demo content.
std::vector<GaugeSetup> BuiltInGauges();

// Demo content, made up the same way on every run.
std::vector<RecordMemory> DemoRecordMemories(const GaugeSetup& gauge);
std::vector<MemoryFile> DemoMemoryFiles(const GaugeSetup& gauge);

// Demo memory sizes (readings).
inline constexpr int kDemoReadings = 250;
inline constexpr int kShortMemoryReadings = 12;
inline constexpr int kFullMemoryReadings = 5000;

}  // namespace quen::gaugesim
