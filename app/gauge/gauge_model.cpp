#include "gauge/gauge_model.h"

#include <iterator>

namespace qc {

namespace {

struct NameRule {
    const char* contains;
    const char* code;
    const char* group;
    const QString* brand; // null: the maker's own brand
};

// Tested in this order; a later match overwrites an earlier one, so
// "PELLAX BODUN" gets the second OEM mark.
const NameRule kNameRules[] = {
    {"QV", "QV", "JV", nullptr},
    {"VORTAN", "QV", "JV", nullptr},
    {"GV-4", "GV4", "JZ", nullptr},
    {"GV-8", "GV8", "JZ", nullptr},
    {"DORIVAN", "GV8", "JZ", &brand_mark::kFirstOem},
    {"Zinto", "ZP", "JQ", nullptr},
    {"ZIN", "ZC", "JQ", nullptr},
    {"PEL", "PLB", "JV", nullptr},
    {"BODUN", "PLB", "JV", &brand_mark::kSecondOem},
    {"Thickness", "PLB", "JV", &brand_mark::kOtherMake},
};

struct ProfileRow {
    const char* code;
    const char* fields; // class, link, keys, probe, rule, flag 6, flag 7
};

const ProfileRow kProfiles[] = {
    {"PLB", "4LE2+-2"}, {"QV", "5LE2+-2"}, {"GV4", "5LE2--2"}, {"GV8", "4LE2--2"}, {"ZC", "4LE2--2"}, {"ZP", "5LE2--3"},
};

} // namespace

std::optional<GaugeModel> DetectModel(const QString& deviceName)
{
    std::optional<GaugeModel> model;
    for (const NameRule& rule : kNameRules) {
        if (!deviceName.contains(QLatin1String(rule.contains), Qt::CaseSensitive))
            continue;
        model = GaugeModel{QString::fromLatin1(rule.code), QString::fromLatin1(rule.group),
                           rule.brand ? *rule.brand : QString()};
    }
    return model;
}

std::optional<DeviceProfile> ProfileOfModel(const QString& modelCode)
{
    const QString code = modelCode.trimmed().left(3);
    for (const ProfileRow& row : kProfiles) {
        if (code != QLatin1String(row.code))
            continue;
        const QString f = QString::fromLatin1(row.fields);
        return DeviceProfile{f.mid(0, 1), f.mid(1, 1), f.mid(2, 1), f.mid(3, 1), f.mid(4, 1), f.mid(5, 1), f.mid(6, 1)};
    }
    return std::nullopt;
}

} // namespace qc
