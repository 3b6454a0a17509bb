#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

namespace qc {

// Plain helpers of the settings files: Windows-1252 text, CR LF lines,
// locale numbers and "1"/"0" booleans. On failure they fill `error` with a
// description that names the file or the field.

// Creates an empty file (or one with `firstLine`) when none exists.
bool CreateIfMissing(const QString& path, const QString& firstLine, QString* error);

// The lines of the file, CR LF or LF ended, each trimmed; nullopt when the
// file cannot be read.
std::optional<QStringList> ReadTrimmedLines(const QString& path, QString* error);

// Replaces the file with these lines, each followed by CR LF; on failure
// the old file stays as it was.
bool WriteLines(const QString& path, const QStringList& lines, QString* error);

// The locale's text of a double, without grouping and without exponent:
// 10 -> "10", 12.5 -> "12,5" in a German locale.
QString NumberText(double value, const QLocale& locale);

// A field as a plain number in the locale's form or with "."; nullopt when
// it is none (group separators included: "1.000" never reads as 1000).
std::optional<double> ParseNumber(const QString& field, const QLocale& locale);

// "1", "-1", any other non-zero number and "True" read true; "0" and
// "False" read false; anything else is no boolean.
std::optional<bool> ParseBool(const QString& field, const QLocale& locale);

// The part of `line` before the n-th ";" (n from 1) and after the previous
// one; nullopt when the line has fewer than n ";".
std::optional<QString> Field(const QString& line, int n);

} // namespace qc
