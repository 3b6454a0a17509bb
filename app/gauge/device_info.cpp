#include "gauge/device_info.h"

#include "shell/texts.h"

namespace qc {
namespace {

constexpr int kDeviceKey = 43;
constexpr int kDeviceSoftwareKey = 44;
constexpr int kProbeTypeKey = 74;
constexpr int kProbeVersionKey = 84;
const QString kSerialSuffix = QStringLiteral("/ SNR");
const QString kDualProbeType = QStringLiteral("3");

} // namespace

DeviceInfoFields DeviceInformation(const GaugeContext& gauge, const QString& pcVersion, int language)
{
    const GaugeIdentity& id = gauge.identity;
    DeviceInfoFields f;
    f.DeviceLabel = MessageText(language, kDeviceKey) + u' ' + kSerialSuffix;
    f.DeviceSoftwareLabel = MessageText(language, kDeviceSoftwareKey);
    f.ProbeTypeLabel = MessageText(language, kProbeTypeKey) + u' ' + kSerialSuffix;
    f.ProbeVersionLabel = MessageText(language, kProbeVersionKey);
    f.PcSoftware = pcVersion;
    f.Address = id.GaugeAddress;
    if (gauge.profile.ProfileClass.trimmed() == u"5") {
        f.Device = id.DeviceName + QStringLiteral(" / ") + id.GaugeNumber;
        f.DeviceSoftware = id.GaugeSoftware;
        f.ProbeVersion = id.ProbeVersion;
        f.ProbeType = id.ProbeType + QStringLiteral(" / ") + id.ProbeNumber;
    } else {
        f.Device = (id.GaugeProbeType.trimmed() == kDualProbeType ? QStringLiteral("PELLAX DUAL")
                                                                  : QStringLiteral("PELLAX Zinto")) +
                   QStringLiteral(" / ") + id.GaugeNumber;
        f.DeviceSoftware =
            id.GaugeVersionFlag.isEmpty() ? id.GaugeSoftware : id.GaugeSoftware + u'/' + id.GaugeSecondVersion;
        f.ProbeVersion = id.ProbeType;
        f.ProbeType = id.GaugeProbeType;
    }
    return f;
}

void GaugeClockSession::Begin()
{
    if (link_.State().IsSubscribed)
        link_.Unsubscribe();
}

RequestResult GaugeClockSession::RunLoop(const std::function<void(const QString&)>& show,
                                         const std::function<bool()>& stopped)
{
    running_ = true;
    RequestResult last{RequestEnd::Done, QStringLiteral("$glt!"), {}};
    while (!stopped()) {
        last = link_.GaugeClock();
        if (last.ok())
            show(link_.State().ReplyText);
        else if (last.end != RequestEnd::Stopped)
            show(last.Message(1));
        if (last.end == RequestEnd::NotReady || last.end == RequestEnd::LinkLost)
            break;
        if (stopped())
            break;
        link_.Clock().PumpEventsUntil(stopped, kReadPause);
    }
    running_ = false;
    return last;
}

RequestResult GaugeClockSession::Update(const QDateTime& now, QString& sent)
{
    link_.Clock().Delay(kUpdatePause);
    const RequestResult r = link_.SetGaugeClock(now);
    sent = GaugeLink::SetClockText(now).mid(5).chopped(3);
    return r;
}

void GaugeClockSession::End()
{
    if (!link_.State().IsSubscribed && link_.IsConnected())
        link_.Subscribe();
}

} // namespace qc
