// Model, profile, brand and battery display of an identified gauge, and
// the identification fields by the reply they came in.
#include <gtest/gtest.h>

#include <limits>

#include "gauge/device_info.h"
#include "gauge/gauge_identification.h"
#include "shell/branding.h"

namespace qc {
namespace {

struct ModelCase {
    const char* name;
    bool matched;
    const char* code;
    const char* group;
    QString brand; // after the gauge-number rule with number 1234
    const char* profile;
    const char* picture;
};

TEST(GaugeIdentification, ModelFromTheAdvertisedName)
{
    const ModelCase cases[] = {
        {"QV-FE 500", true, "QV", "JV", "", "5LE2+-2", "QV.png"},
        {"VORTAN QV 3", true, "QV", "JV", "", "5LE2+-2", "QV.png"}, // both rows, same result
        {"VORTAN 300", true, "QV", "JV", "", "5LE2+-2", "QV.png"},
        {"GV-4 200", true, "GV4", "JZ", "", "5LE2--2", "GV4000.png"},
        {"GV-8 FE", true, "GV8", "JZ", "", "4LE2--2", "GV.gif"},
        {"DORIVAN FE", true, "GV8", "JZ", kFirstOemMark, "4LE2--2", "GV.gif"},
        {"Zinto FE", true, "ZP", "JQ", "", "5LE2--3", "ZP.png"},
        {"ZIN FE", true, "ZC", "JQ", "", "4LE2--2", "ZC.gif"},
        {"PELLAX DUAL FE", true, "PLB", "JV", "", "4LE2+-2", "PL.gif"},
        {"PEL BODUN", true, "PLB", "JV", kSecondOemMark, "4LE2+-2", "PL.gif"},
        {"BODUN FE", true, "PLB", "JV", kSecondOemMark, "4LE2+-2", "PL.gif"},
        {"Thickness FE", true, "PLB", "JV", kOtherMakeMark, "4LE2+-2", "PL.gif"},
        {"QV BODUN", true, "PLB", "JV", kSecondOemMark, "4LE2+-2", "PL.gif"}, // the later row wins
        {"Phone", false, "", "", "", "", ""},
        {"qv lower", false, "", "", "", "", ""}, // case-sensitive
        {"zinto", false, "", "", "", "", ""},
        {"", false, "", "", "", "", ""},
        {"DORIVAN BODUN", true, "PLB", "JV", kSecondOemMark, "4LE2+-2", "PL.gif"}, // the later brand too
    };
    for (const ModelCase& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        GaugeIdentity id;
        id.GaugeNumber = QStringLiteral("1234");
        const ModelDetection found = DetectModel(name);
        EXPECT_EQ(found.Matched, c.matched) << c.name;
        ApplyModel(found, id);
        EXPECT_EQ(id.ModelCode, QLatin1String(c.code)) << c.name;
        EXPECT_EQ(id.ModelGroup, QLatin1String(c.group)) << c.name;
        EXPECT_EQ(EffectiveBrandMark(id.BrandMark, id.GaugeNumber), c.brand) << c.name;
        DeviceProfile profile;
        EXPECT_EQ(ApplyDeviceProfile(id.ModelCode, profile), c.matched) << c.name;
        const QString fields = profile.ProfileClass + profile.ProfileLink + profile.ProfileKeys + profile.ProfileProbe +
                               profile.ProfileRule + profile.ProfileFlag6 + profile.ProfileFlag7;
        EXPECT_EQ(fields, QLatin1String(c.profile)) << c.name;
        EXPECT_EQ(ModelPictureFile(id.ModelCode), QLatin1String(c.picture)) << c.name;
    }
}

// "Zinto" holds no "ZIN" (case-sensitive), so a Zinto gauge is a ZP; a
// name with both ends as the later row says.
TEST(GaugeIdentification, ZintoIsNotZin)
{
    EXPECT_EQ(DetectModel(QStringLiteral("Zinto FE")).ModelCode, QStringLiteral("ZP"));
    EXPECT_EQ(DetectModel(QStringLiteral("Zinto ZIN")).ModelCode, QStringLiteral("ZC"));
}

// The profile goes by the code's first three characters, blanks trimmed.
TEST(GaugeIdentification, ProfileByTheCodesFirstThreeCharacters)
{
    const std::pair<const char*, const char*> cases[] = {
        {" QV ", "5LE2+-2"}, {"PLBX", "4LE2+-2"}, {"ZP", "5LE2--3"}, {"GV", ""}, {"qv", ""}, {"X", ""}, {"", ""},
    };
    for (const auto& [code, fields] : cases) {
        DeviceProfile p;
        EXPECT_EQ(ApplyDeviceProfile(QLatin1String(code), p), *fields != '\0') << code;
        EXPECT_EQ(p.ProfileClass + p.ProfileLink + p.ProfileKeys + p.ProfileProbe + p.ProfileRule + p.ProfileFlag6 +
                      p.ProfileFlag7,
                  QLatin1String(fields))
            << code;
    }
}

TEST(GaugeIdentification, UnknownModelKeepsTheProfileBefore)
{
    DeviceProfile profile;
    ASSERT_TRUE(ApplyDeviceProfile(QStringLiteral("ZP"), profile));
    const DeviceProfile before = profile;
    EXPECT_FALSE(ApplyDeviceProfile(QStringLiteral("XYZ"), profile));
    EXPECT_EQ(profile, before);
    GaugeIdentity id;
    id.ModelCode = QStringLiteral("QV");
    ApplyModel(DetectModel(QStringLiteral("Phone")), id);
    EXPECT_EQ(id.ModelCode, QStringLiteral("QV"));
}

TEST(GaugeIdentification, GaugeNumbersOfTheSecondOemMark)
{
    const std::pair<const char*, bool> numbers[] = {{"7000", true},  {"7999", true}, {" 7012 ", true}, {"6999", false},
                                                    {"8000", false}, {"", false},    {"abc", false},   {"7500x", true}};
    for (const auto& [number, second] : numbers)
        EXPECT_EQ(EffectiveBrandMark(QString(), QLatin1String(number)) == kSecondOemMark, second) << number;
}

TEST(GaugeIdentification, BatteryThresholds)
{
    struct Case {
        double volts;
        const char* cls;
        BatteryLevel level;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {3.5, "5", BatteryLevel::Medium},  {3.49, "5", BatteryLevel::Low},      {4.3, "5", BatteryLevel::Full},
        {4.29, "5", BatteryLevel::Medium}, {1.4, "4", BatteryLevel::Full},      {1.39, "4", BatteryLevel::Medium},
        {1.1, "4", BatteryLevel::Medium},  {1.09, "4", BatteryLevel::Low},      {0, "5", BatteryLevel::Unchanged},
        {0, "4", BatteryLevel::Unchanged}, {3.9, "X", BatteryLevel::Hidden},    {3.9, "", BatteryLevel::Hidden},
        {-1, "4", BatteryLevel::Low},      {nan, "5", BatteryLevel::Unchanged}, {inf, "5", BatteryLevel::Unchanged},
        {1e300, "4", BatteryLevel::Full},  {4.0, " 5 ", BatteryLevel::Medium},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BatteryLevelFor(c.volts, QLatin1String(c.cls)), c.level) << c.volts << " " << c.cls;
    EXPECT_EQ(BatterySymbol(BatteryLevel::Full), u'J');
    EXPECT_EQ(BatterySymbol(BatteryLevel::Medium), u'K');
    EXPECT_EQ(BatterySymbol(BatteryLevel::Low), u'L');
    EXPECT_TRUE(BatterySymbol(BatteryLevel::Unchanged).isNull());
}

// Keys T, R and S go to the gauge's fields from "$quen00", to the probe's
// from "$gpi"; the others the same for both; N and A are not kept.
TEST(GaugeIdentification, FieldsByReply)
{
    using Kind = LinkHandover::Kind;
    GaugeIdentity id;
    const LinkHandover fields[] = {
        {Kind::GaugeField, u'S', "5101"},   {Kind::GaugeField, u'R', "3.02"}, {Kind::GaugeField, u'T', "1"},
        {Kind::GaugeField, u'M', "E8C0"},   {Kind::GaugeField, u'V', "1"},    {Kind::GaugeField, u'B', "0.98"},
        {Kind::GaugeField, u'H', "4.0"},    {Kind::GaugeField, u'U', "ym"},   {Kind::GaugeField, u'N', "QV500"},
        {Kind::ProbeField, u'S', "240117"}, {Kind::ProbeField, u'R', "1.07"}, {Kind::ProbeField, u'T', "F5"},
        {Kind::ProbeField, u'U', "metric"}, {Kind::ProbeField, u'A', "0"},    {Kind::Directory, u'S', "x"},
        {Kind::LiveReading, u'R', "y"},
    };
    for (const LinkHandover& f : fields)
        ApplyIdentificationField(f, id);
    EXPECT_EQ(id.GaugeNumber, "5101");
    EXPECT_EQ(id.GaugeSoftware, "3.02");
    EXPECT_EQ(id.GaugeProbeType, "1");
    EXPECT_EQ(id.GaugeAddress, "E8C0");
    EXPECT_EQ(id.GaugeVersionFlag, "1");
    EXPECT_EQ(id.GaugeSecondVersion, "0.98");
    EXPECT_EQ(id.GaugeHardware, "4.0");
    EXPECT_EQ(id.GaugeUnit, "metric"); // the "$gpi" unit came later
    EXPECT_EQ(id.ProbeNumber, "240117");
    EXPECT_EQ(id.ProbeVersion, "1.07");
    EXPECT_EQ(id.ProbeType, "F5");
    EXPECT_TRUE(id.DeviceName.isEmpty());
}

} // namespace
} // namespace qc

namespace qc {
namespace {

// The device information fields by class: class 4 names its model by the
// probe type and joins the versions when the gauge has a version flag.
TEST(DeviceInformationFields, ByGaugeClass)
{
    struct Case {
        const char* cls;
        const char* probeType;
        const char* versionFlag;
        int language;
        const char* device;
        const char* software;
        const char* probeVersion;
        const char* probeTypeText;
        const char* deviceLabel;
        const char* probeLabel;
    };
    const Case cases[] = {
        {"4", "3", "1", 0, "PELLAX DUAL / 4711", "2.14/0.98", "F5", "3", "Gerät / SNR", "Sondentyp / SNR"},
        {"4", "1", "", 1, "PELLAX Zinto / 4711", "2.14", "F5", "1", "Device / SNR", "Probetype / SNR"},
        {"5", "1", "1", 1, "QV-FE 500 / 4711", "2.14", "1.07", "F5 / 240117", "Device / SNR", "Probetype / SNR"},
    };
    for (const Case& c : cases) {
        GaugeContext g;
        g.profile.ProfileClass = QLatin1String(c.cls);
        g.identity.GaugeNumber = "4711";
        g.identity.GaugeSoftware = "2.14";
        g.identity.GaugeSecondVersion = "0.98";
        g.identity.GaugeVersionFlag = QLatin1String(c.versionFlag);
        g.identity.GaugeProbeType = QLatin1String(c.probeType);
        g.identity.GaugeAddress = "E8C04D000404";
        g.identity.ProbeType = "F5";
        g.identity.ProbeVersion = "1.07";
        g.identity.ProbeNumber = "240117";
        g.identity.DeviceName = "QV-FE 500";
        const DeviceInfoFields f = DeviceInformation(g, "Quen Connect V1.10", c.language);
        EXPECT_EQ(f.Device, QString::fromUtf8(c.device)) << c.cls;
        EXPECT_EQ(f.DeviceSoftware, QLatin1String(c.software)) << c.cls;
        EXPECT_EQ(f.ProbeVersion, QLatin1String(c.probeVersion)) << c.cls;
        EXPECT_EQ(f.ProbeType, QLatin1String(c.probeTypeText)) << c.cls;
        EXPECT_EQ(f.DeviceLabel, QString::fromUtf8(c.deviceLabel)) << c.cls;
        EXPECT_EQ(f.ProbeTypeLabel, QString::fromUtf8(c.probeLabel)) << c.cls;
        EXPECT_EQ(f.Address, "E8C04D000404");
        EXPECT_EQ(f.PcSoftware, "Quen Connect V1.10");
    }
}

} // namespace
} // namespace qc
