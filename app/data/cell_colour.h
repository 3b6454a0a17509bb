#pragma once

#include <QColor>
#include <optional>

#include "data/limits.h"

namespace qc {

// Cell backgrounds of the table (RGB).
namespace cell_colour {
inline const QColor kMarked(204, 204, 204);
inline const QColor kUnmarked(255, 255, 255);
inline const QColor kWithinLimits(158, 232, 155);
inline const QColor kOutsideLimits(239, 162, 162);
inline const QColor kBand8020(242, 180, 123);
} // namespace cell_colour

// Background of a value against the limits; nullopt leaves the cell as it
// is (no limit set and no 80/20 rule). A value 0 is only tested against the
// minimum; the 80/20 band (80 % of the target up to, not including, the
// target) overrides the limits.
std::optional<QColor> LimitColour(double value, const Limits& limits, bool absoluteValues);

} // namespace qc
