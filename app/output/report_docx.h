#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace qc {

// The word-processor document of a report: one paragraph per report line,
// "Lucida Console" 10 pt, not bold, blanks kept, no space between paragraphs.
namespace docx {
inline const QString kFontName = QStringLiteral("Lucida Console");
inline constexpr int kHalfPoints = 20; // 10 pt
inline const QString kExtension = QStringLiteral(".docx");
inline const QString kFileStem = QStringLiteral("Report_");
inline const QString kExportFolderName = QStringLiteral("export");
} // namespace docx

// word/document.xml of the report (UTF-8). Characters XML cannot hold
// (control characters, unpaired surrogates) are left out.
QByteArray ReportDocumentXml(const QString& reportText);

// Writes the .docx package to `path` (libzip writes a temporary file and
// renames it at the end). The description of the failure, if any.
std::optional<QString> WriteReportDocx(const QString& path, const QString& reportText);

// <data folder>/export/<gauge number made safe>: where exported documents go;
// without a gauge number <data folder>/export.
QString ExportFolder(const QString& dataDir, const QString& gaugeNumber);

// A new file name in `folder` saying what it holds and when it was made:
// "Report_20241205_101530.docx", with "_2", "_3", ... when that exists.
QString NewReportDocxPath(const QString& folder, const QDateTime& now);

} // namespace qc
