#include "gauge/gauge_identification.h"

#include <cmath>

#include "data/units.h"
#include "shell/branding.h"

namespace qc {
namespace {

struct ModelRow {
    const char* contains;
    const char* code;
    const char* group;
    const QString* brand; // nullptr: the row leaves the brand alone
    bool accent;
};

const ModelRow kModelRows[] = {
    {"QV", "QV", "JV", nullptr, true},
    {"VORTAN", "QV", "JV", nullptr, false},
    {"GV-4", "GV4", "JZ", nullptr, true},
    {"GV-8", "GV8", "JZ", nullptr, false},
    {"DORIVAN", "GV8", "JZ", &kFirstOemMark, false},
    {"Zinto", "ZP", "JQ", nullptr, false},
    {"ZIN", "ZC", "JQ", nullptr, false},
    {"PEL", "PLB", "JV", nullptr, false},
    {"BODUN", "PLB", "JV", &kSecondOemMark, false},
    {"Thickness", "PLB", "JV", &kOtherMakeMark, false},
};

struct ProfileRow {
    const char* code;
    const char* fields; // class, link, keys, probe, rule, flag 6, flag 7
};

const ProfileRow kProfileRows[] = {
    {"PLB", "4LE2+-2"}, {"QV", "5LE2+-2"}, {"GV4", "5LE2--2"}, {"GV8", "4LE2--2"}, {"ZC", "4LE2--2"}, {"ZP", "5LE2--3"},
};

const QString kClassMemoryFiles = QStringLiteral("5");

} // namespace

ModelDetection DetectModel(const QString& deviceName)
{
    ModelDetection found;
    for (const ModelRow& row : kModelRows) {
        if (!deviceName.contains(QLatin1String(row.contains)))
            continue;
        found.Matched = true;
        found.ModelCode = QLatin1String(row.code);
        found.ModelGroup = QLatin1String(row.group);
        found.AccentFrame = row.accent;
        if (row.brand != nullptr) {
            found.SetsBrand = true;
            found.BrandMark = *row.brand;
        }
    }
    return found;
}

void ApplyModel(const ModelDetection& model, GaugeIdentity& identity)
{
    if (!model.Matched)
        return;
    identity.ModelCode = model.ModelCode;
    identity.ModelGroup = model.ModelGroup;
    if (model.SetsBrand)
        identity.BrandMark = model.BrandMark;
}

bool ApplyDeviceProfile(const QString& modelCode, DeviceProfile& profile)
{
    const QString code = modelCode.trimmed().left(3);
    for (const ProfileRow& row : kProfileRows) {
        if (code != QLatin1String(row.code))
            continue;
        const QString f = QLatin1String(row.fields);
        profile =
            DeviceProfile{f.mid(0, 1), f.mid(1, 1), f.mid(2, 1), f.mid(3, 1), f.mid(4, 1), f.mid(5, 1), f.mid(6, 1)};
        return true;
    }
    return false;
}

QString ModelPictureFile(const QString& modelCode)
{
    const QString code = modelCode.trimmed();
    if (code == u"QV")
        return QStringLiteral("QV.png");
    if (code == u"GV4")
        return QStringLiteral("GV4000.png");
    if (code == u"ZP")
        return QStringLiteral("ZP.png");
    if (code == u"PLB")
        return QStringLiteral("PL.gif");
    if (code == u"ZC")
        return QStringLiteral("ZC.gif");
    if (code == u"GV8")
        return QStringLiteral("GV.gif");
    return {};
}

void ApplyIdentificationField(const LinkHandover& field, GaugeIdentity& id)
{
    const bool probe = field.kind == LinkHandover::Kind::ProbeField;
    if (!probe && field.kind != LinkHandover::Kind::GaugeField)
        return;
    const QString& v = field.Text;
    switch (field.Key.unicode()) {
    case u'S':
        (probe ? id.ProbeNumber : id.GaugeNumber) = v;
        break;
    case u'R':
        (probe ? id.ProbeVersion : id.GaugeSoftware) = v;
        break;
    case u'T':
        (probe ? id.ProbeType : id.GaugeProbeType) = v;
        break;
    case u'M':
        id.GaugeAddress = v;
        break;
    case u'V':
        id.GaugeVersionFlag = v;
        break;
    case u'B':
        id.GaugeSecondVersion = v;
        break;
    case u'H':
        id.GaugeHardware = v;
        break;
    case u'U':
        id.GaugeUnit = v;
        break;
    default: // N is read and not kept, A ignored, others unknown
        break;
    }
}

BatteryLevel BatteryLevelFor(double volts, const QString& profileClass)
{
    if (volts == 0 || !std::isfinite(volts))
        return BatteryLevel::Unchanged;
    const QString cls = profileClass.trimmed();
    double full = 0, medium = 0;
    if (cls == u"4") {
        full = 1.4;
        medium = 1.1;
    } else if (cls == kClassMemoryFiles) {
        full = 4.3;
        medium = 3.5;
    } else {
        return BatteryLevel::Hidden;
    }
    if (volts >= full)
        return BatteryLevel::Full;
    return volts >= medium ? BatteryLevel::Medium : BatteryLevel::Low;
}

QChar BatterySymbol(BatteryLevel level)
{
    switch (level) {
    case BatteryLevel::Full:
        return u'J';
    case BatteryLevel::Medium:
        return u'K';
    case BatteryLevel::Low:
        return u'L';
    default:
        return {};
    }
}

IdentificationResult Identify(GaugeLink& link, GaugeContext& gauge, const QString& deviceName)
{
    IdentificationResult result;
    GaugeIdentity& id = gauge.identity;
    // The fields arrive as hand-overs while the requests wait; whoever
    // listened before hears them too.
    const auto before = link.HandoverSink();
    link.SetHandoverSink([&id, &before](const LinkHandover& h) {
        ApplyIdentificationField(h, id);
        if (before)
            before(h);
    });
    struct Restore {
        GaugeLink& link;
        std::function<void(const LinkHandover&)> sink;
        ~Restore() { link.SetHandoverSink(sink); }
    } restore{link, before};

    id.BrandMark.clear();
    id.DeviceName = deviceName;
    result.request = link.Identify();
    const ModelDetection model = DetectModel(deviceName);
    ApplyModel(model, id);
    id.BrandMark = EffectiveBrandMark(id.BrandMark, id.GaugeNumber);
    result.accentFrame = model.AccentFrame;
    result.modelKnown = ApplyDeviceProfile(id.ModelCode, gauge.profile);
    result.pictureFile = ModelPictureFile(id.ModelCode);
    if (!result.request.ok())
        return result;
    if (gauge.profile.ProfileClass.trimmed() == kClassMemoryFiles) {
        result.probeAsked = true;
        result.request = link.ProbeInfo();
    }
    if (!id.GaugeUnit.isEmpty())
        id.GaugeUnit = MapUnitName(id.GaugeUnit, id);
    if (!result.request.ok())
        return result;
    link.MutableState().BatteryVoltage = 0; // a reply without a number leaves the display alone
    result.request = link.Battery();
    result.batteryVolts = link.State().BatteryVoltage;
    result.battery = result.request.ok() ? BatteryLevelFor(result.batteryVolts, gauge.profile.ProfileClass)
                                         : BatteryLevel::Unchanged;
    return result;
}

} // namespace qc
