#pragma once

#include <QString>

namespace qc {

// Right-aligns `text` to `width` with the first character of `fill`; a
// longer text is cut to `width` only when `cut` is set.
// Ausrichten(6, "12", " ", false) -> "    12".
QString Ausrichten(int width, const QString& text, const QString& fill, bool cut);

// Trims `text` and left-aligns it in exactly `width` characters.
// AusrichtenL(5, " ab ") -> "ab   ".
QString AusrichtenL(int width, const QString& text);

// Right-aligns with blanks on the left; a longer text is never cut.
inline QString RightAlign(int width, const QString& text)
{
    return Ausrichten(width, text, QStringLiteral(" "), false);
}

} // namespace qc
