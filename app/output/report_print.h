#pragma once

#include <QFont>
#include <QString>
#include <optional>

class QPagedPaintDevice;

namespace qc {

inline constexpr int kReportPointSize = 10;

// The font of printed reports: the fixed-pitch report font at 10 pt, not
// bold, not italic.
QFont ReportPrintFont();

struct PrintedReport {
    int pages = 0;
    int lines = 0;
};

// Paints the report onto a printer (or any paged device) from the top left
// of the printable area, one report line per printed line, starting a new
// page when a page is full. Ends the document. nullopt when the device could
// not be started (the reason is in `error`).
std::optional<PrintedReport> PaintReport(const QString& reportText, QPagedPaintDevice& device,
                                         QString* error = nullptr);

} // namespace qc
