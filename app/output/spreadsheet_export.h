#pragma once

#include <QColor>
#include <QLocale>
#include <QString>
#include <array>
#include <optional>
#include <variant>
#include <vector>

#include "data/gauge_profile.h"
#include "data/limits.h"
#include "data/measurement_table.h"
#include "output/report_text.h"

namespace qc {

// The spreadsheet export: the shown memory as a workbook with the data
// sheet ("Messwerte" / "Data") and, on request, an XY chart of the values
// with mean, limit and target lines on a chart sheet "Chart".

namespace xlsx {
inline const QString kFontName = QStringLiteral("Lucida Console");
inline constexpr double kFontSize = 10;
inline const QString kChartSheet = QStringLiteral("Chart");
// The horizontal lines of the chart take their two end points from here
// (formulas over the data sheet); the sheet is hidden.
inline const QString kLineSheet = QStringLiteral("ChartLines");
inline const QString kCountFormat = QStringLiteral("###0_______)");
inline const QString kTwoDecimals = QStringLiteral("###,##0.00_)");
inline const QString kThreeDecimals = QStringLiteral("###,##0.000_)");
inline const QString kOneDecimal = QStringLiteral("###,##0.0_)");
inline const QString kMinLimitLabel = QStringLiteral("Min Limit");
inline const QString kMaxLimitLabel = QStringLiteral("Max Limit");
inline const QString kMaterialHeader = QStringLiteral("Material");
inline const QString kMilliseconds = QStringLiteral("ms");
inline const QString kTriggerTitle = QStringLiteral("Chart Trigger");
inline constexpr int kColumnA = 1, kColumnB = 2, kColumnC = 3, kColumnD = 4, kColumnE = 5;
inline constexpr double kWidthA = 50, kWidthC = 17, kWidthD = 15;
inline constexpr int kNumberWidth = 4; // reading number right-aligned
inline constexpr int kTextCut = 10;    // unit and material at most 10 characters
inline constexpr int kLimitDecimals = 2;
inline constexpr double kChartFontSize = 15;
inline const QColor kPlotArea{240, 240, 240};
inline const QColor kValueLine{0, 0, 0};
inline const QColor kMeanLine{0, 0, 205};
inline const QColor kLimitLine{0, 176, 80};
inline const QColor kTargetLine{238, 44, 44};
} // namespace xlsx

// One statistics block (a second one follows for the other material).
struct SpreadsheetStatistics {
    QString material; // put in front of the title; empty for one-material gauges
    int count = 0;
    double minimum = 0, maximum = 0, mean = 0, stdDev = 0; // signed or absolute, as the list shows them
    bool absolute = false; // the values are over absolute values: "abs" in the title
    QString verdict8020;
};

struct SpreadsheetInput {
    QString reportHeader; // the report in mode "P", lines ended by CR LF
    int language = 0;
    QString memoryName; // the memory list's text
    std::vector<SpreadsheetStatistics> blocks;
    bool unitsDiffer = false; // no statistics, no chart
    Limits limits;
    QString unit;         // the current unit text
    DeviceProfile profile; // ProfileFlag7 decimals, ProfileProbe material column
    QLocale locale;
    std::array<QString, 4> headerTexts; // grid columns 0..3: date and time, number, value, unit
    std::vector<Reading> rows;
    std::optional<PulseSeries> trigger; // a trigger memory writes its pulses
    QString chartTitle; // the first line of the statistics list
    bool withChart = false;
};

// Cells of the data sheet, rows and columns counted from 1 as the
// spreadsheet shows them.
enum class CellFormat { Font, Count, Statistic, Value };

struct SheetCell {
    int row = 0;
    int column = 0;
    std::variant<QString, double> value;
    CellFormat format = CellFormat::Font;
};

struct SheetPlan {
    std::vector<SheetCell> cells;
    int headerRow = 0;   // the data header row
    int firstDataRow = 0; // F
    int dataRows = 0;
    // Rows of the last statistics block that the chart lines come from; 0 = none.
    int meanRow = 0;
    int minLimitRow = 0;
    int maxLimitRow = 0;
    int targetRow = 0;
};

// The cells of the data sheet: header lines, statistics blocks, data header
// and rows (at most 5000).
SheetPlan PlanDataSheet(const SpreadsheetInput& input);

// One series of the chart.
enum class LineDash { Solid, Dash, RoundDot };
struct ChartSeriesPlan {
    QString name;
    QString xRange; // "=Messwerte!$B$12:$B$5011"
    QString yRange;
    QColor colour;
    LineDash dash = LineDash::Solid;
    double width = 0; // points; 0 = the program's default
};

struct ChartPlan {
    QString title;
    QString xAxisTitle;
    QString yAxisTitle;
    std::vector<ChartSeriesPlan> series;
};

// The chart of a plan: values over reading numbers (or pulse times), the
// mean (not for trigger memories), limits and target. Empty when no chart
// is made (no Yes, units differ, no data rows).
std::optional<ChartPlan> PlanChart(const SpreadsheetInput& input, const SheetPlan& sheet);

// "A1" names: column 1 "A", 26 "Z", 27 "AA"; `absolute` gives "$A$1".
QString CellName(int row, int column, bool absolute = false);

// Writes the workbook to `path`. The description of the failure, if any;
// a failed write leaves no file behind.
std::optional<QString> WriteSpreadsheet(const QString& path, const SpreadsheetInput& input);

// Name of the data sheet: MessageTexts 20.
QString DataSheetName(int language);

} // namespace qc
