#include "data/cell_colour.h"

#include <cmath>

namespace qc {

std::optional<QColor> LimitColour(double value, const Limits& limits, bool absoluteValues)
{
    const double v = absoluteValues ? std::fabs(value) : value;
    std::optional<QColor> colour;
    if (limits.MinLimit != 0 || limits.MaxLimit != 0) {
        const bool outside = (v != 0 && v > limits.MaxLimit) || v < limits.MinLimit;
        colour = outside ? cell_colour::kOutsideLimits : cell_colour::kWithinLimits;
    }
    if (limits.Rule8020) {
        const double lower = limits.TargetValue - limits.TargetValue * 20 / 100;
        if (lower <= v && v < limits.TargetValue)
            colour = cell_colour::kBand8020;
    }
    return colour;
}

} // namespace qc
