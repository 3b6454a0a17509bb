#pragma once

#include <QString>

namespace qc {

// The seven one-character fields derived from the gauge model at
// identification. Empty until a gauge has been identified.
struct DeviceProfile {
    QString ProfileClass; // "4" memory service, "5" memory files, "X"
    QString ProfileLink;  // "L"/"B" Bluetooth
    QString ProfileKeys;  // "V" hides key forwarding, "E" live readings count
    QString ProfileProbe; // "2" records carry the material code
    QString ProfileRule;  // "-" hides the 80/20 rule
    QString ProfileFlag6; // "-" first: date mode of the table
    QString ProfileFlag7; // decimals code "1", "2" or "3" for statistics

    bool operator==(const DeviceProfile&) const = default;
};

// What the gauge told us about itself, plus the model derived from its name.
struct GaugeIdentity {
    QString GaugeNumber;
    QString GaugeSoftware;
    QString GaugeAddress;
    QString GaugeProbeType; // first character "1" thickness, "2" field strength; "3" dual probe
    QString GaugeVersionFlag;
    QString GaugeSecondVersion;
    QString GaugeHardware;
    QString GaugeUnit;
    QString ProbeType;
    QString ProbeVersion;
    QString ProbeNumber;
    QString DeviceName;
    QString ModelCode;  // "QV", "GV4", "GV8", "ZP", "ZC", "PLB"
    QString ModelGroup; // "JV", "JZ", "JQ"
    QString BrandMark;
};

// Everything about the connected gauge that unit handling, the table and the
// outputs depend on; passed explicitly instead of living in globals.
struct GaugeContext {
    DeviceProfile profile;
    GaugeIdentity identity;
};

} // namespace qc
