#pragma once

#include <QColor>
#include <QLocale>
#include <QString>
#include <optional>
#include <vector>

#include "data/limits.h"
#include "data/measurement_table.h"
#include "output/report_text.h"

namespace qc {

// What a chart of the shown memory plots: one value column and the
// horizontal lines of target and limits, one point per reading (or per
// pulse of a trigger memory). Both the embedded chart of the main window
// and the chart window draw this; nothing here knows a widget.

enum class ChartColumnKind { Values, Target, MinLimit, MaxLimit };

// Pen styles as the chart numbers them: 0 none, 1 solid, 3 dotted.
enum class ChartPenStyle { None = 0, Solid = 1, Dotted = 3 };

struct ChartPen {
    QColor colour;
    int width = 0; // the chart's own units; a view scales them (kPenUnitsPerPixel)
    ChartPenStyle style = ChartPenStyle::Solid;
};

// Chart types: 3 line, 1 bar.
enum class ChartType { Bar = 1, Line = 3 };

namespace chart {
inline constexpr double kPenUnitsPerPixel = 10;
// The row label column is blank but for the last row, " " + count, so the
// X axis is labelled only at its end.
inline const QString kBlankRowLabel = QStringLiteral(" ");
inline const QString kBarColumnLabel = QStringLiteral("Data");
inline const QString kMeanDash = QStringLiteral("_ _ _");   // mean text box of the main window
inline const QString kMeanStroke = QStringLiteral("__ __ __"); // lblStrich of the chart window
inline const QString kMinimumWord = QStringLiteral("Minimum ");
inline const QString kMaximumWord = QStringLiteral("Maximum ");
inline const QString kMilliseconds = QStringLiteral(" ms");
inline const QString kLabelGap = QStringLiteral("   ");
} // namespace chart

struct ChartColumn {
    ChartColumnKind kind = ChartColumnKind::Values;
    QString label;              // chart window label of the column
    std::vector<double> values; // one per point; lines hold one constant
};

// The statistics texts the labels place (as the statistics list shows them).
struct ChartStatTexts {
    QString mean;    // StatMeanText
    QString minimum; // StatMinText
    QString maximum; // StatMaxText
};

struct ChartInput {
    std::vector<Reading> rows; // the current slot up to its first empty row
    std::optional<PulseSeries> trigger; // a trigger memory plots its pulses instead
    bool absoluteValues = false;
    Limits limits;
    QString unit; // unit text of the table (Y axis title)
    ChartStatTexts stat;
    QString decimalsCode; // ProfileFlag7, for the pulse time
    int language = 0;
    QLocale locale;
};

struct ChartModel {
    int pointCount = 0;
    QString endLabel; // " " + point count: the only X axis label
    std::vector<ChartColumn> columns; // value column first, then target, minimum, maximum
    double yMinimum = 0;
    double yMaximum = 1;
    QString unit; // the first row's unit (readings of other units are converted to it)
    QString axisTitle;
    bool trigger = false;

    // Texts around the chart.
    QString meanBox;        // txtMittelwert of the main window
    QString minMaxLabel;    // lblMinMax
    QString meanLabel;      // lblMean (hidden for trigger memories)
    QString pulseTimeLabel; // lblImpulszeit (trigger memories only)
    QString strokeLabel;    // lblStrich

    const ChartColumn* Column(ChartColumnKind kind) const;
};

// The chart data of the shown memory.
ChartModel BuildChartModel(const ChartInput& input);

// The bar chart: the value column only, labelled "Data"; the texts stay.
ChartModel BarChartModel(const ChartModel& line);

// Pens: the embedded chart and the chart window keep different widths;
// the order data > limits > target (window) and data > target = limits
// (embedded) is what matters.
ChartPen EmbeddedPen(ChartColumnKind kind);
ChartPen WindowPen(ChartColumnKind kind);

// `value` in `from` expressed in `to` for the pairs the chart knows
// (mm/µm, kOe/Oe, A/cm/kA/m); nullopt for any other pair. Equal units
// return the value. 1.5 "mm" -> 1500 "µm".
std::optional<double> ConvertChartUnit(double value, const QString& from, const QString& to);

} // namespace qc
