#pragma once

#include <QString>

namespace qc {

// Right-aligns with blanks on the left; a longer text is never cut.
inline QString RightAlign(int width, const QString& text) { return text.rightJustified(width, u' ', false); }

} // namespace qc
