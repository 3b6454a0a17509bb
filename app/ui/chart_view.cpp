#include "ui/chart_view.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QFont>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <cmath>

namespace qc {

namespace {

const QString kAxisTitleFont = QStringLiteral("Arial");
constexpr int kAxisTitleSize = 16;
constexpr int kXMajorDivision = 10;

QPen PenOf(const ChartPen& p)
{
    QPen pen(p.colour);
    pen.setWidthF(p.width / chart::kPenUnitsPerPixel);
    pen.setStyle(p.style == ChartPenStyle::Dotted ? Qt::DotLine
                 : p.style == ChartPenStyle::None ? Qt::NoPen
                                                  : Qt::SolidLine);
    return pen;
}

QCategoryAxis* XAxis(const ChartModel& model, double from, double to, double labelAt)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(from, to);
    axis->setStartValue(from);
    if (model.pointCount > 0)
        axis->append(model.endLabel, labelAt);
    axis->setLineVisible(false);
    axis->setGridLineVisible(false);
    axis->setMinorTickCount(kXMajorDivision - 1);
    return axis;
}

QValueAxis* YAxis(const ChartModel& model, ChartSurface surface)
{
    auto* axis = new QValueAxis;
    axis->setRange(model.yMinimum, model.yMaximum);
    axis->setLineVisible(false);
    if (surface == ChartSurface::Window) {
        axis->setTitleText(model.axisTitle);
        axis->setTitleFont(QFont(kAxisTitleFont, kAxisTitleSize));
    }
    return axis;
}

void DrawLines(QChart& chart, const ChartModel& model, ChartSurface surface, QAbstractAxis* x, QAbstractAxis* y)
{
    for (const ChartColumn& column : model.columns) {
        auto* series = new QLineSeries;
        series->setName(column.label);
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(column.values.size()));
        for (size_t i = 0; i < column.values.size(); ++i)
            if (std::isfinite(column.values[i]))
                points.append(QPointF(static_cast<double>(i + 1), column.values[i]));
        series->replace(points);
        series->setPen(PenOf(surface == ChartSurface::Embedded ? EmbeddedPen(column.kind) : WindowPen(column.kind)));
        chart.addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

void DrawBars(QChart& chart, const ChartModel& model, ChartSurface surface, QAbstractAxis* x, QAbstractAxis* y)
{
    if (model.columns.empty())
        return;
    const ChartColumn& column = model.columns.front();
    auto* set = new QBarSet(column.label);
    QList<qreal> values;
    values.reserve(static_cast<qsizetype>(column.values.size()));
    for (double v : column.values)
        values.append(std::isfinite(v) ? v : 0);
    set->append(values);
    const QPen pen = PenOf(surface == ChartSurface::Embedded ? EmbeddedPen(column.kind) : WindowPen(column.kind));
    set->setColor(pen.color());
    set->setBorderColor(pen.color());
    auto* series = new QBarSeries;
    series->setBarWidth(1.0);
    series->append(set);
    chart.addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

} // namespace

void DrawChart(QChart& chart, const ChartModel& model, ChartType type, ChartSurface surface)
{
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
    chart.setPlotAreaBackgroundVisible(false);
    chart.setBackgroundRoundness(0);
    chart.legend()->setVisible(surface == ChartSurface::Window);
    chart.legend()->setAlignment(Qt::AlignBottom);

    const bool bars = type == ChartType::Bar;
    const double n = model.pointCount;
    // Bars stand on their index (0 .. n - 1), line points on 1 .. n.
    QCategoryAxis* x = bars ? XAxis(model, -0.5, std::max(n, 1.0) - 0.5, n - 1) : XAxis(model, 0, std::max(n, 1.0), n);
    QValueAxis* y = YAxis(model, surface);
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    if (bars)
        DrawBars(chart, model, surface, x, y);
    else
        DrawLines(chart, model, surface, x, y);
}

} // namespace qc
