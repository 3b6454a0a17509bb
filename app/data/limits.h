#pragma once

#include <QString>

namespace qc {

// The user's limits for a gauge. 0 means "not set"; each value keeps the
// text it is shown and stored with.
struct Limits {
    double MinLimit = 0;
    QString MinLimitText;
    double MaxLimit = 0;
    QString MaxLimitText;
    double TargetValue = 0;
    QString TargetText;
    bool Rule8020 = false; // evaluate the ISO 19840 80/20 rule

    bool operator==(const Limits&) const = default;
};

} // namespace qc
