// The gauge model told by its advertised name, and the device profile of
// each model: what the identification derives before it asks the gauge
// anything, and what a listing of advertisers shows beside each name.
#pragma once

#include <QString>
#include <optional>

#include "data/gauge_profile.h"

namespace qc {

// Brand marks of the detection: empty for the maker's own brand.
namespace brand_mark {
inline const QString kFirstOem = QStringLiteral("1");
inline const QString kSecondOem = QStringLiteral("2");
inline const QString kOtherMake = QStringLiteral("X");
} // namespace brand_mark

struct GaugeModel {
    QString ModelCode;  // "QV", "GV4", "GV8", "ZP", "ZC", "PLB"
    QString ModelGroup; // "JV", "JZ", "JQ"
    QString BrandMark;

    bool operator==(const GaugeModel&) const = default;
};

// Case-sensitive substring tests in a fixed order, a later match
// overwriting an earlier one: "PELLAX BODUN" is a "PLB" of the second OEM
// mark. Nothing for a name no model matches.
std::optional<GaugeModel> DetectModel(const QString& deviceName);

// The seven profile fields of a model code (its first three characters,
// trimmed); nothing for a code without a profile.
std::optional<DeviceProfile> ProfileOfModel(const QString& modelCode);

} // namespace qc
