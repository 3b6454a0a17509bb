#pragma once

#include "output/chart_data.h"

class QChart;

namespace qc {

// Which pens and decorations a drawing gets.
enum class ChartSurface {
    Embedded, // the chart of the main window: no axis title, no legend
    Window,   // the chart window: Y axis titled with the unit, legend with the column labels
};

// Draws `model` into `chart` (everything in it is replaced): a line per
// column (line chart) or the values as bars (bar chart; pass
// BarChartModel). The X axis runs from 0 to the point count and is
// labelled only at its end; the axis lines and the plot border are not
// drawn. Points that are not finite are left out.
void DrawChart(QChart& chart, const ChartModel& model, ChartType type, ChartSurface surface);

} // namespace qc
