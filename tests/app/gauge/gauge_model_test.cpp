// The model told by a gauge's advertised name, and the profile of each model.
#include <gtest/gtest.h>

#include "gauge/gauge_model.h"

namespace qc {
namespace {

TEST(GaugeModel, NameTellsModelGroupAndBrand)
{
    struct Case {
        const char* name;
        const char* code; // "" for no model
        const char* group;
        const QString brand;
    };
    const Case cases[] = {
        {"QV-FE 500", "QV", "JV", {}},
        {"VORTAN 300", "QV", "JV", {}},
        {"VORTAN QV", "QV", "JV", {}},
        {"GV-4 200", "GV4", "JZ", {}},
        {"GV-8 FE", "GV8", "JZ", {}},
        {"DORIVAN FE", "GV8", "JZ", brand_mark::kFirstOem},
        {"Zinto FE", "ZP", "JQ", {}},
        {"ZIN FE", "ZC", "JQ", {}},
        {"PELLAX DUAL FE", "PLB", "JV", {}},
        {"PEL BODUN", "PLB", "JV", brand_mark::kSecondOem},
        {"BODUN FE", "PLB", "JV", brand_mark::kSecondOem},
        {"Thickness FE", "PLB", "JV", brand_mark::kOtherMake},
        // A later rule overwrites an earlier one, brand included.
        {"DORIVAN BODUN", "PLB", "JV", brand_mark::kSecondOem},
        {"qv-fe", "", "", {}}, // case-sensitive
        {"zinto", "", "", {}},
        {"Headset", "", "", {}},
        {"", "", "", {}},
    };
    for (const Case& c : cases) {
        const std::optional<GaugeModel> m = DetectModel(QString::fromUtf8(c.name));
        if (*c.code == '\0') {
            EXPECT_FALSE(m.has_value()) << c.name;
            continue;
        }
        ASSERT_TRUE(m.has_value()) << c.name;
        EXPECT_EQ(m->ModelCode, QString::fromLatin1(c.code)) << c.name;
        EXPECT_EQ(m->ModelGroup, QString::fromLatin1(c.group)) << c.name;
        EXPECT_EQ(m->BrandMark, c.brand) << c.name;
    }
}

TEST(GaugeModel, EachModelHasItsProfile)
{
    const std::pair<const char*, const char*> cases[] = {
        {"PLB", "4LE2+-2"}, {"QV", "5LE2+-2"}, {"GV4", "5LE2--2"},  {"GV8", "4LE2--2"},
        {"ZC", "4LE2--2"},  {"ZP", "5LE2--3"}, {" QV ", "5LE2+-2"}, {"PLBX", "4LE2+-2"},
    };
    for (const auto& [code, fields] : cases) {
        const std::optional<DeviceProfile> p = ProfileOfModel(QString::fromLatin1(code));
        ASSERT_TRUE(p.has_value()) << code;
        const QString got = p->ProfileClass + p->ProfileLink + p->ProfileKeys + p->ProfileProbe + p->ProfileRule +
                            p->ProfileFlag6 + p->ProfileFlag7;
        EXPECT_EQ(got, QString::fromLatin1(fields)) << code;
    }
    for (const char* code : {"", "X", "GV", "qv", "ZZ"})
        EXPECT_FALSE(ProfileOfModel(QString::fromLatin1(code)).has_value()) << code;
}

} // namespace
} // namespace qc
