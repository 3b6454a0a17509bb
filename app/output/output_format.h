// Which output a file name asks for, by its extension: what a command-line
// export writes to `-o FILE`.
#pragma once

#include <QString>
#include <optional>

namespace qc {

enum class OutputFormat {
    Mes,  // the measurement file, as the save button writes it
    Xlsx, // the workbook, with the chart on request
    Docx, // the report as a word-processor document
    Csv,  // one row per reading
    Txt,  // the report text (mode "A"), UTF-8
};

// ".mes", ".xlsx", ".docx", ".csv", ".txt", in any case; nothing for any
// other name (also for a bare extension with no name in front, ".csv").
std::optional<OutputFormat> OutputFormatOf(const QString& path);

// The extensions OutputFormatOf knows, for messages: ".mes, .xlsx, ...".
QString KnownOutputExtensions();

} // namespace qc
