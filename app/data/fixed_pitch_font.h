#pragma once

#include <QFont>

namespace qc {

// The font of every fixed-pitch column and report: "Lucida Console" where it
// is installed, otherwise a fixed-pitch font the machine has. Alignment of the
// statistics and the table depends on equal character widths, so a
// proportional substitute is never accepted.
QFont FixedPitchFont();

} // namespace qc
