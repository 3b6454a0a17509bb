#pragma once

#include <QString>

#include "shell/delay.h"

namespace qc {

// Right-aligns with blanks on the left; a longer text is never cut.
inline QString RightAlign(int width, const QString& text) { return Ausrichten(width, text, QStringLiteral(" "), false); }

} // namespace qc
