#include "output/report_print.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringList>

#include "data/fixed_pitch_font.h"

namespace qc {

QFont ReportPrintFont()
{
    QFont font = FixedPitchFont();
    font.setPointSize(kReportPointSize);
    font.setBold(false);
    font.setItalic(false);
    return font;
}

std::optional<PrintedReport> PaintReport(const QString& reportText, QPagedPaintDevice& device, QString* error)
{
    QString text = reportText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = QStringLiteral("the printer could not be started");
        return std::nullopt;
    }
    const QFont font(ReportPrintFont(), &device);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    const qreal pageHeight = painter.window().height();
    const qreal step = metrics.lineSpacing();

    PrintedReport printed{1, 0};
    qreal baseline = metrics.ascent();
    for (const QString& line : lines) {
        if (baseline + metrics.descent() > pageHeight && printed.lines > 0) {
            device.newPage();
            ++printed.pages;
            baseline = metrics.ascent();
        }
        painter.drawText(QPointF(0, baseline), line);
        baseline += step;
        ++printed.lines;
    }
    painter.end();
    return printed;
}

} // namespace qc
