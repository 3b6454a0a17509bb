#pragma once

#include <optional>

#include "output/chart_data.h"
#include "output/report_text.h"
#include "output/spreadsheet_export.h"

namespace qc {

class MeasurementData;

// The spreadsheet of the table the main window shows. For a gauge with two
// materials the material is switched and the statistics of the other
// material follow as a second block; the data stays switched afterwards.
// `memoryName` is the memory list's text; `trigger` the pulse series when
// the memory table shows a trigger memory.
SpreadsheetInput SpreadsheetFromData(MeasurementData& data, const QString& reportHeader, int language,
                                     const QString& memoryName, const std::optional<PulseSeries>& trigger,
                                     bool withChart);

// The chart of the table the main window shows.
ChartInput ChartFromData(const MeasurementData& data, int language, const std::optional<PulseSeries>& trigger);

} // namespace qc
