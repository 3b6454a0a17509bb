#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace qc {

// Where an export goes and what it is called.
namespace export_file {
inline const QString kSpreadsheetExtension = QStringLiteral(".xlsx");
inline const QString kStampFormat = QStringLiteral("yyyyMMdd_HHmmss");
inline const QString kNoGauge = QStringLiteral("Export");
inline constexpr int kMaxTries = 1000;
} // namespace export_file

// A file name saying what the export holds: the gauge number (as its
// export folder names it), the memory (letters, digits and '-' kept, the
// rest '_'), each left out when empty, and the time:
// "1234_m0001_20241205_101530" (no extension).
QString ExportFileStem(const QString& gaugeNumber, const QString& memoryName, const QDateTime& now);

struct ReservedPath {
    QString path;           // the reserved (empty) file
    std::optional<QString> error;
};

// Creates `folder` when missing and claims a new file there:
// <stem><extension>, else <stem>_2<extension>, _3, ... The file is created
// empty and exclusively, so an earlier export is never overwritten, not
// even by a second program writing at the same moment.
ReservedPath ReserveExportPath(const QString& folder, const QString& stem, const QString& extension);

} // namespace qc
