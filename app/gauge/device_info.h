// What the device information window and the set-time dialog show and do,
// apart from their widgets.
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

#include "data/gauge_profile.h"
#include "gauge/gauge_link.h"

namespace qc {

struct DeviceInfoFields {
    QString DeviceLabel; // "Gerät / SNR"
    QString Device;
    QString PcSoftware;
    QString DeviceSoftware;
    QString Address;
    QString ProbeVersionLabel;
    QString ProbeVersion;
    QString ProbeTypeLabel; // "Sondentyp / SNR"
    QString ProbeType;
    QString DeviceSoftwareLabel;
};

// The fields by gauge class: class 4 names the dual-probe or single-probe
// model and shows the version pair when the gauge has a version flag;
// class 5 the advertised name and the probe's own number.
DeviceInfoFields DeviceInformation(const GaugeContext& gauge, const QString& pcVersion, int language);

// The set-time dialog's work: the live characteristic unsubscribed while
// the gauge clock is read again and again, then set, then subscribed again.
class GaugeClockSession {
public:
    static constexpr std::chrono::milliseconds kReadPause{100};
    static constexpr std::chrono::milliseconds kUpdatePause{200};
    static constexpr std::chrono::milliseconds kDonePause{1000};
    static constexpr std::chrono::milliseconds kClosePause{800};

    explicit GaugeClockSession(GaugeLink& link)
        : link_(link)
    {
    }

    // Unsubscribes the live characteristic when it is subscribed.
    void Begin();
    // Reads the gauge clock until `stopped` holds (Esc, update, closing) or
    // the link is gone; each reading goes to `show` ("2024-12-05/10:15:30",
    // or what went wrong). Pauses 100 ms between reads, events running.
    RequestResult RunLoop(const std::function<void(const QString&)>& show, const std::function<bool()>& stopped);
    // Sends the PC clock; the text sent (without "$slt?", "!" and CR LF)
    // goes to `sent`.
    RequestResult Update(const QDateTime& now, QString& sent);
    // Subscribes again when connected and not subscribed.
    void End();
    bool Running() const { return running_; }

private:
    GaugeLink& link_;
    bool running_ = false;
};

} // namespace qc
