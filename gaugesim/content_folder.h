// Gauges described in a folder, to replay a real gauge's memories:
//
//   FOLDER/gauge.txt            one gauge, or
//   FOLDER/<any>/gauge.txt      one gauge per sub-folder
//
// gauge.txt holds "key = value" lines (gauge_settings.h); "model" is
// required. Beside it, a class 5 gauge's memory files with their raw
// content, named exactly as the gauge lists them; a class 4 gauge's
// memories as "<number>.txt", one record per line.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "gauge_setup.h"

namespace quen::gaugesim {

inline constexpr const char* kDescriptionFile = "gauge.txt";
inline constexpr std::uintmax_t kMaxContentFileSize = 16u << 20;

// False with a reason naming the file (and line) that is wrong.
bool LoadGaugeFolder(const std::filesystem::path& folder, GaugeSetup& gauge, std::string& error);
bool LoadContentFolder(const std::filesystem::path& folder, std::vector<GaugeSetup>& gauges, std::string& error);

// A description file's text applied to a gauge; false with "line N: ...".
bool ParseDescription(const std::string& text, GaugeSetup& gauge, std::string& error);

}  // namespace quen::gaugesim
