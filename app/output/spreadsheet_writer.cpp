#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

#include <xlsxwriter.h>

#include "output/spreadsheet_export.h"

namespace qc {

namespace {

// Longest text a cell holds.
constexpr qsizetype kMaxCellText = 32767;

// Text a cell can hold: XML 1.0 has no place for control characters other
// than tab and line feed, nor for U+FFFE/U+FFFF.
QByteArray CellText(const QString& text)
{
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n') || u == 0xFFFE || u == 0xFFFF)
            continue;
        clean += c;
    }
    if (clean.size() > kMaxCellText)
        clean.truncate(kMaxCellText);
    return clean.toUtf8();
}

// 0 means "no colour" to the writer; black has its own value.
lxw_color_t Rgb(const QColor& c)
{
    const auto rgb = static_cast<lxw_color_t>((c.red() << 16) | (c.green() << 8) | c.blue());
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;
}

uint8_t Dash(LineDash dash)
{
    switch (dash) {
    case LineDash::Dash:
        return LXW_CHART_LINE_DASH_DASH;
    case LineDash::RoundDot:
        return LXW_CHART_LINE_DASH_ROUND_DOT;
    case LineDash::Solid:
        break;
    }
    return LXW_CHART_LINE_DASH_SOLID;
}

QString Described(lxw_error error) { return QString::fromUtf8(lxw_strerror(error)); }

class Writer {
public:
    Writer(lxw_workbook* wb, const SpreadsheetInput& in, const SheetPlan& plan)
        : wb_(wb)
        , in_(in)
        , plan_(plan)
    {
        font_ = Format(QString());
        const QString code = in.profile.ProfileFlag7.trimmed();
        count_ = Format(xlsx::kCountFormat);
        statistic_ = code == u"2" ? Format(xlsx::kTwoDecimals) : code == u"3" ? Format(xlsx::kThreeDecimals) : font_;
        value_ = code == u"1"   ? Format(xlsx::kOneDecimal)
                 : code == u"2" ? Format(xlsx::kTwoDecimals)
                 : code == u"3" ? Format(xlsx::kThreeDecimals)
                                : font_;
    }

    std::optional<QString> DataSheet()
    {
        const QByteArray name = CellText(DataSheetName(in_.language));
        lxw_worksheet* ws = workbook_add_worksheet(wb_, name.constData());
        if (!ws)
            return QStringLiteral("cannot add the sheet ") + DataSheetName(in_.language);
        // Every cell of the sheet in the font, the written ones and those typed later.
        worksheet_set_column(ws, 0, 0, xlsx::kWidthA, font_);
        worksheet_set_column(ws, 1, 1, LXW_DEF_COL_WIDTH, font_);
        worksheet_set_column(ws, 2, 2, xlsx::kWidthC, font_);
        worksheet_set_column(ws, 3, 3, xlsx::kWidthD, font_);
        worksheet_set_column(ws, 4, LXW_COL_MAX - 1, LXW_DEF_COL_WIDTH, font_);
        for (const SheetCell& cell : plan_.cells) {
            const auto r = static_cast<lxw_row_t>(cell.row - 1);
            const auto c = static_cast<lxw_col_t>(cell.column - 1);
            lxw_format* f = FormatOf(cell.format);
            lxw_error e = LXW_NO_ERROR;
            if (const QString* text = std::get_if<QString>(&cell.value)) {
                if (text->isEmpty())
                    continue;
                e = worksheet_write_string(ws, r, c, CellText(*text).constData(), f);
            } else {
                const double v = std::get<double>(cell.value);
                // A non-finite number has no form in the file: the cell stays empty.
                e = std::isfinite(v) ? worksheet_write_number(ws, r, c, v, f) : worksheet_write_blank(ws, r, c, f);
            }
            if (e != LXW_NO_ERROR)
                return QStringLiteral("cell %1: ").arg(CellName(cell.row, cell.column)) + Described(e);
        }
        return std::nullopt;
    }

    std::optional<QString> Chart(const ChartPlan& plan)
    {
        if (auto error = LineSheet())
            return error;
        lxw_chart* chart = workbook_add_chart(wb_, LXW_CHART_SCATTER_STRAIGHT);
        if (!chart)
            return QStringLiteral("cannot add the chart");
        lxw_chart_font font{};
        font.size = xlsx::kChartFontSize;
        font.color = LXW_COLOR_BLACK;
        const QByteArray title = CellText(plan.title);
        if (!title.isEmpty()) {
            chart_title_set_name(chart, title.constData());
            chart_title_set_name_font(chart, &font);
        }
        const QByteArray xTitle = CellText(plan.xAxisTitle);
        const QByteArray yTitle = CellText(plan.yAxisTitle);
        chart_axis_set_name(chart->x_axis, xTitle.constData());
        chart_axis_set_name(chart->y_axis, yTitle.constData());
        chart_axis_set_name_font(chart->x_axis, &font);
        chart_axis_set_name_font(chart->y_axis, &font);
        chart_axis_set_num_font(chart->x_axis, &font);
        chart_axis_set_num_font(chart->y_axis, &font);
        chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
        chart_legend_set_font(chart, &font);
        lxw_chart_fill chartArea{};
        chartArea.none = LXW_TRUE; // transparent
        chart_chartarea_set_fill(chart, &chartArea);
        lxw_chart_fill plotArea{};
        plotArea.color = Rgb(xlsx::kPlotArea);
        chart_plotarea_set_fill(chart, &plotArea);

        for (const ChartSeriesPlan& s : plan.series) {
            const QByteArray x = s.xRange.toUtf8();
            const QByteArray y = s.yRange.toUtf8();
            lxw_chart_series* series = chart_add_series(chart, x.constData(), y.constData());
            if (!series)
                return QStringLiteral("cannot add the series ") + s.name;
            const QByteArray name = CellText(s.name);
            chart_series_set_name(series, name.constData());
            chart_series_set_marker_type(series, LXW_CHART_MARKER_NONE);
            lxw_chart_line line{};
            line.color = Rgb(s.colour);
            line.dash_type = Dash(s.dash);
            line.width = static_cast<float>(s.width);
            chart_series_set_line(series, &line);
        }
        lxw_chartsheet* cs = workbook_add_chartsheet(wb_, CellText(xlsx::kChartSheet).constData());
        if (!cs)
            return QStringLiteral("cannot add the chart sheet");
        if (const lxw_error e = chartsheet_set_chart(cs, chart))
            return Described(e);
        chartsheet_activate(cs);
        return std::nullopt;
    }

private:
    lxw_format* Format(const QString& numberFormat)
    {
        lxw_format* f = workbook_add_format(wb_);
        const QByteArray name = xlsx::kFontName.toUtf8();
        format_set_font_name(f, name.constData());
        format_set_font_size(f, xlsx::kFontSize);
        format_set_bold(f);
        if (!numberFormat.isEmpty())
            format_set_num_format(f, numberFormat.toUtf8().constData());
        return f;
    }

    lxw_format* FormatOf(CellFormat format) const
    {
        switch (format) {
        case CellFormat::Count:
            return count_;
        case CellFormat::Statistic:
            return statistic_;
        case CellFormat::Value:
            return value_;
        case CellFormat::Font:
            break;
        }
        return font_;
    }

    // End points of the horizontal lines: the smallest and largest X of the
    // data and the values of the statistics cells. Numbers, not formulas:
    // the chart keeps their values for readers that do not calculate.
    std::optional<QString> LineSheet()
    {
        const SheetPlan& sheet = plan_;
        lxw_worksheet* ws = workbook_add_worksheet(wb_, CellText(xlsx::kLineSheet).constData());
        if (!ws)
            return QStringLiteral("cannot add the sheet ") + xlsx::kLineSheet;
        worksheet_hide(ws);
        double lo = INFINITY, hi = -INFINITY;
        for (const SheetCell& c : sheet.cells) {
            if (c.row < sheet.firstDataRow || c.column != xlsx::kColumnB || !std::holds_alternative<double>(c.value))
                continue;
            const double v = std::get<double>(c.value);
            if (std::isfinite(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
        if (!std::isfinite(lo))
            lo = hi = 0;
        Number(ws, 0, 0, lo);
        Number(ws, 1, 0, hi);
        const std::pair<int, int> lines[] = {{1, sheet.meanRow}, {2, sheet.maxLimitRow}, {3, sheet.minLimitRow},
                                             {4, sheet.targetRow}};
        for (const auto& [column, row] : lines) {
            if (row == 0)
                continue;
            const double v = StatisticValue(row);
            Number(ws, 0, column, v);
            Number(ws, 1, column, v);
        }
        return std::nullopt;
    }

    void Number(lxw_worksheet* ws, int row, int column, double value)
    {
        worksheet_write_number(ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                               std::isfinite(value) ? value : 0, font_);
    }

    double StatisticValue(int row) const
    {
        for (const SheetCell& c : plan_.cells)
            if (c.row == row && c.column == xlsx::kColumnB && std::holds_alternative<double>(c.value))
                return std::get<double>(c.value);
        return 0;
    }

    lxw_workbook* wb_;
    const SpreadsheetInput& in_;
    const SheetPlan& plan_;
    lxw_format* font_ = nullptr;
    lxw_format* count_ = nullptr;
    lxw_format* statistic_ = nullptr;
    lxw_format* value_ = nullptr;
};

} // namespace

std::optional<QString> WriteSpreadsheet(const QString& path, const SpreadsheetInput& input)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("is a folder: ") + path;
    const SheetPlan sheet = PlanDataSheet(input);
    const std::optional<ChartPlan> chart = PlanChart(input, sheet);

    const QByteArray file = QFile::encodeName(path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    lxw_workbook* wb = workbook_new_opt(file.constData(), &options);
    if (!wb)
        return QStringLiteral("cannot start the workbook ") + path;
    std::optional<QString> error;
    {
        Writer writer(wb, input, sheet);
        error = writer.DataSheet();
        if (!error && chart)
            error = writer.Chart(*chart);
    }
    const lxw_error closed = workbook_close(wb);
    if (!error && closed != LXW_NO_ERROR)
        error = Described(closed) + QStringLiteral(": ") + QDir::toNativeSeparators(path);
    if (error)
        QFile::remove(path);
    return error;
}

} // namespace qc
