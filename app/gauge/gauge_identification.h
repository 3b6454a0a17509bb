// Who the connected gauge is: the identification replies, the model read
// from the advertised name, the device profile the model switches, the
// brand and the battery display. The pure parts are free functions; Identify
// runs the requests on a link. Windows and the command-line tool use the
// same calls.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include "data/gauge_profile.h"
#include "gauge/gauge_link.h"
#include "gauge/reply_decoder.h"

namespace qc {

// What the advertised name says about the model. Rows are tested in a fixed
// order and a later match overwrites an earlier one.
struct ModelDetection {
    bool Matched = false;
    QString ModelCode;
    QString ModelGroup;
    bool SetsBrand = false; // BrandMark below replaces the one before
    QString BrandMark;
    bool AccentFrame = false; // model picture frame in the window's accent colour
};
ModelDetection DetectModel(const QString& deviceName);

// Model, group and brand into the identity; an unmatched name changes none.
void ApplyModel(const ModelDetection& model, GaugeIdentity& identity);

// The seven profile fields of a model code (its first three characters,
// trimmed). False and the profile unchanged for a code of no known model.
bool ApplyDeviceProfile(const QString& modelCode, DeviceProfile& profile);

// Picture of the model in the program folder ("QV.png", "PL.gif", ...);
// empty when there is none.
QString ModelPictureFile(const QString& modelCode);

// One identification field as the decoder handed it on. Keys T, R and S go
// to the gauge's or the probe's fields by the reply they came in.
void ApplyIdentificationField(const LinkHandover& field, GaugeIdentity& identity);

enum class BatteryLevel { Unchanged, Hidden, Full, Medium, Low };
// Thresholds by gauge class: "4" full from 1.4 V, medium from 1.1 V;
// "5" full from 4.3 V, medium from 3.5 V. A voltage of 0 (no reading)
// changes nothing; another class shows nothing.
BatteryLevel BatteryLevelFor(double volts, const QString& profileClass);
// "J", "K", "L" in the symbol font; a null character otherwise.
QChar BatterySymbol(BatteryLevel level);

struct IdentificationResult {
    RequestResult request; // the first request that failed, or Done
    bool probeAsked = false;
    bool modelKnown = false;
    bool accentFrame = false;
    QString pictureFile;
    BatteryLevel battery = BatteryLevel::Unchanged;
    double batteryVolts = 0;
};

// "$quen00!", the model and profile from the advertised name, "$gpi!" for
// class 5 gauges, the battery. Fields received before a failure are kept.
IdentificationResult Identify(GaugeLink& link, GaugeContext& gauge, const QString& deviceName);

} // namespace qc
