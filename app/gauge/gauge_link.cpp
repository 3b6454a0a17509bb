#include "gauge/gauge_link.h"

#include "gauge/gatt_ids.h"

namespace qc {
namespace {

const QString kIdentifyCommand = QStringLiteral("$quen00!");
const QString kProbeInfoCommand = QStringLiteral("$gpi!");
const QString kBatteryCommand = QStringLiteral("$gcv!");
const QString kClockCommand = QStringLiteral("$glt!");
const QString kSetClockPrefix = QStringLiteral("$slt?");
const QString kSetClockEcho = QStringLiteral("$sl");  // writes not followed by reply polling
const QString kReleaseSelection = QStringLiteral("-");
const QString kClockFormat = QStringLiteral("yyyy-MM-dd/HH:mm:ss");
constexpr std::chrono::milliseconds kSetClockPause{200};

// Gauges whose services are only found by asking for all of them.
const char* const kDiscoverAllNames[] = {"Zinto", "GV-4", "VORTAN"};

QString Quoted(const QString& step) { return QStringLiteral("\"") + step.trimmed() + QStringLiteral("\""); }

} // namespace

QString RequestResult::Message(int language) const
{
    const bool de = language == 0;
    const QString s = Quoted(step);
    QString text;
    switch (end) {
    case RequestEnd::Done:
        return {};
    case RequestEnd::NotReady:
        text = de ? QStringLiteral("Keine Verbindung zum Gerät für %1.") : QStringLiteral("No connection to the gauge for %1.");
        break;
    case RequestEnd::ControlError:
        text = de ? QStringLiteral("Bluetooth-Fehler bei %1.") : QStringLiteral("Bluetooth error at %1.");
        break;
    case RequestEnd::NoReply:
    case RequestEnd::TimedOut:
        text = de ? QStringLiteral("Das Gerät hat auf %1 nicht rechtzeitig geantwortet.")
                  : QStringLiteral("The gauge did not answer %1 in time.");
        break;
    case RequestEnd::Stopped:
        text = de ? QStringLiteral("%1 wurde abgebrochen.") : QStringLiteral("%1 was cancelled.");
        break;
    case RequestEnd::LinkLost:
        text = de ? QStringLiteral("Die Verbindung zum Gerät ist bei %1 abgebrochen.")
                  : QStringLiteral("The connection to the gauge was lost at %1.");
        break;
    }
    text = text.arg(s);
    if (!detail.isEmpty())
        text += QStringLiteral(" ") + detail;
    return text;
}

GaugeLink::GaugeLink(VornikControl& control, WaitClock& clock) : control_(control), clock_(clock)
{
    control_.setEventHandler(this);
}

GaugeLink::~GaugeLink()
{
    if (control_.eventHandler() == this)
        control_.setEventHandler(nullptr);
}

void GaugeLink::WriteLog(const QString& line) const
{
    if (log_)
        log_(line);
}

RequestResult GaugeLink::Failed(RequestEnd end, const QString& step, const QString& detail)
{
    RequestResult result{end, step, detail};
    WriteLog(QStringLiteral("Gauge request ") + result.Message(1));
    return result;
}

// ---- Connection --------------------------------------------------------

void GaugeLink::Stop()
{
    stopRequested_ = true;
    if (waits_ > 0)
        control_.interrupt();
}

RequestResult GaugeLink::Connect(const QString& address, const QString& name)
{
    const WaitScope scope(waits_);
    const QString step = QStringLiteral("Connect ") + address;
    stopRequested_ = linkLost_ = errorEvent_ = false;
    state_.CommandPathReady = state_.MemoryPathReady = false;
    // A gauge that came back by itself ("Online") is connected already:
    // Connect returns at once without a Connected event.
    const bool back = online_ && address == address_;
    // The Ids are kept for the same gauge; another gauge's would pass the
    // readiness rules with handles this one does not have (an alternative
    // service above all).
    if (address != address_)
        state_.Ids = GattIds{};
    address_ = address;
    errorText_.clear();
    if (!back) {
        connectedEvent_ = connectedOk_ = false;
        if (!control_.connect(address))
            return Failed(RequestEnd::ControlError, step, control_.lastError().description);
        clock_.PumpEventsUntil([this] { return connectedEvent_ || Interrupted(); }, deadlines_.connect);
    }
    if (!connectedEvent_)
        return Failed(stopRequested_ ? RequestEnd::Stopped : linkLost_ ? RequestEnd::LinkLost : RequestEnd::TimedOut,
                      step, errorText_);
    if (!connectedOk_)
        return Failed(RequestEnd::ControlError, step, errorText_);

    // DiscoverAll
    const QString discoverStep = QStringLiteral("Discover ") + address;
    bool all = false;
    for (const char* pattern : kDiscoverAllNames)
        all = all || name.contains(QLatin1String(pattern));
    const QString services =
        all ? QString() : QString::fromLatin1(gatt::kServiceMemory) + u',' + QString::fromLatin1(gatt::kServiceMain);
    state_.TickCount = 0;
    if (!control_.discover(services, QString(), true, QString()))
        WriteLog(QStringLiteral("Discover: ") + control_.lastError().description);  // the flags decide below
    const bool ready = clock_.PumpEventsUntil(
        [this] { return (state_.CommandPathReady && state_.MemoryPathReady) || Interrupted(); },
        deadlines_.discovery);
    if (!ready || !(state_.CommandPathReady && state_.MemoryPathReady)) {
        const RequestEnd end =
            stopRequested_ ? RequestEnd::Stopped : linkLost_ ? RequestEnd::LinkLost : RequestEnd::TimedOut;
        // A radio link without the gauge's paths is of no use, and the next
        // Connect to it would get no Connected event: it is closed here.
        if (!linkLost_) {
            control_.disconnect();
            control_.doEvents();
            online_ = false;
            state_.CommandPathReady = state_.MemoryPathReady = false;
        }
        return Failed(end, discoverStep, errorText_);
    }
    connected_ = true;
    return {RequestEnd::Done, step, {}};
}

void GaugeLink::Disconnect()
{
    control_.disconnect();
    control_.disconnect();
    control_.doEvents();  // the Disconnected event now, not inside the next Connect
    connected_ = online_ = false;
    state_.CommandPathReady = state_.MemoryPathReady = state_.IsSubscribed = false;
}

// ---- Send procedures ---------------------------------------------------

bool GaugeLink::WriteQuen()
{
    ++attOperations_;
    return control_.writeValue(state_.Ids.SvcMainId, state_.Ids.ChrCommandId, QString(), state_.SendText);
}

bool GaugeLink::WriteStorageInfo()
{
    ++attOperations_;
    return control_.writeValue(state_.Ids.SvcMemoryId, state_.Ids.ChrMemDirId, QString(), state_.SendText);
}

bool GaugeLink::SondenFreigabe()
{
    state_.SendText = kReleaseSelection;
    return WriteStorageInfo();
}

bool GaugeLink::ReadStorageInfo()
{
    ++attOperations_;
    QString value;
    return control_.readValue(state_.Ids.SvcMemoryId, state_.Ids.ChrMemDirId, QString(), value);
}

bool GaugeLink::ReadStorageData()
{
    ++attOperations_;
    QString value;
    return control_.readValue(state_.Ids.SvcMemoryId, state_.Ids.ChrMemDataId, QString(), value);
}

bool GaugeLink::ReadBattery()
{
    state_.SendText = kBatteryCommand;
    return WriteQuen();
}

bool GaugeLink::ReadTime()
{
    state_.SendText = kClockCommand;
    return WriteQuen();
}

QString GaugeLink::SetClockText(const QDateTime& now)
{
    return kSetClockPrefix + now.toString(kClockFormat) + QStringLiteral("!\r\n");
}

bool GaugeLink::WriteTime(const QDateTime& now)
{
    state_.SendText = SetClockText(now);
    return WriteQuen();
}

bool GaugeLink::SubMeasure()
{
    if (control_.subscribe(state_.Ids.SvcMemoryId, state_.Ids.ChrLiveId))
        return true;
    const VornikError& e = control_.lastError();
    WriteLog(QString::number(e.number) + QStringLiteral(" ") + e.description + QStringLiteral(" Fehler Sub Measure"));
    return false;
}

bool GaugeLink::UnsubMeasure()
{
    if (control_.unsubscribe(state_.Ids.SvcMemoryId, state_.Ids.ChrLiveId))
        return true;
    const VornikError& e = control_.lastError();
    WriteLog(QString::number(e.number) + QStringLiteral(" ") + e.description + QStringLiteral(" Fehler UNSub Measure"));
    return false;
}

// ---- Requests ----------------------------------------------------------

RequestResult GaugeLink::Run(const QString& step, const Send& send, const Completion& done,
                             std::chrono::milliseconds deadline, bool polled)
{
    if (!connected_ || !state_.CommandPathReady)
        return Failed(RequestEnd::NotReady, step);
    const WaitScope scope(waits_);
    stopRequested_ = linkLost_ = errorEvent_ = false;
    pollingEnded_ = false;
    errorText_.clear();
    outstanding_ = true;
    state_.ReplyState = kReplyOutstanding;
    pollDone_ = &done;
    const bool sent = send();
    bool finished = false;
    if (sent) {
        clock_.PumpEventsUntil([&] { return done(state_) || Interrupted() || (polled && pollingEnded_); },
                               deadline);
        finished = done(state_);
    }
    outstanding_ = false;
    pollDone_ = nullptr;
    if (finished)
        return {RequestEnd::Done, step, {}};
    // Nothing stays outstanding: a late reply finds no waiting request.
    state_.ReplyState = kReplyDone;
    if (!sent)
        return Failed(linkLost_ ? RequestEnd::LinkLost : RequestEnd::ControlError, step,
                      control_.lastError().description);
    if (stopRequested_)
        return Failed(RequestEnd::Stopped, step);
    if (linkLost_)
        return Failed(RequestEnd::LinkLost, step, errorText_);
    if (errorEvent_)
        return Failed(RequestEnd::ControlError, step, errorText_);
    if (polled && pollingEnded_)
        return Failed(errorText_.isEmpty() ? RequestEnd::NoReply : RequestEnd::ControlError, step, errorText_);
    return Failed(RequestEnd::TimedOut, step);
}

RequestResult GaugeLink::Request(const QString& step, const Send& send, const Completion& done,
                                 std::chrono::milliseconds deadline)
{
    return Run(step, send, done, deadline, false);
}

RequestResult GaugeLink::Command(const QString& text, const Completion& done, std::chrono::milliseconds deadline,
                                 bool clearReply)
{
    if (clearReply)
        state_.ReplyText.clear();
    state_.SendText = text;
    return Run(text, [this] { return WriteQuen(); }, done, deadline, true);
}

namespace {
bool ReplyDecoded(const LinkState& s) { return s.ReplyState == kReplyDone; }
} // namespace

RequestResult GaugeLink::Identify() { return Command(kIdentifyCommand, ReplyDecoded, deadlines_.command); }
RequestResult GaugeLink::ProbeInfo() { return Command(kProbeInfoCommand, ReplyDecoded, deadlines_.command); }

RequestResult GaugeLink::Battery()
{
    return Run(kBatteryCommand, [this] { return ReadBattery(); }, ReplyDecoded, deadlines_.command, true);
}

RequestResult GaugeLink::GaugeClock()
{
    return Run(kClockCommand, [this] { return ReadTime(); }, ReplyDecoded, deadlines_.command, true);
}

RequestResult GaugeLink::SetGaugeClock(const QDateTime& now)
{
    const QString step = SetClockText(now);
    if (!connected_ || !state_.CommandPathReady)
        return Failed(RequestEnd::NotReady, step);
    if (!WriteTime(now))
        return Failed(RequestEnd::ControlError, step, control_.lastError().description);
    clock_.Delay(kSetClockPause);
    return {RequestEnd::Done, step, {}};
}

RequestResult GaugeLink::Subscribe()
{
    return Run(QStringLiteral("Sub Measure"), [this] { return SubMeasure(); }, ReplyDecoded, deadlines_.command,
               false);
}

RequestResult GaugeLink::Unsubscribe()
{
    return Run(QStringLiteral("UNSub Measure"), [this] { return UnsubMeasure(); }, ReplyDecoded,
               deadlines_.command, false);
}

// ---- Reply polling -----------------------------------------------------

// Reads the command characteristic until the reply has been decoded: at
// once, then on each tick of the reply timer, at most five ticks. The first
// read usually finds the echo.
void GaugeLink::PollReply()
{
    state_.TickCount = 0;
    state_.ReplyState = kReplyOutstanding;
    polling_ = true;
    for (;;) {
        QString value;
        ++attOperations_;
        if (!control_.readValue(state_.Ids.SvcMainId, state_.Ids.ChrCommandId, QString(), value)) {
            errorText_ = control_.lastError().description;
            break;
        }
        // Replies such as "$fr" complete their request without touching
        // ReplyState.
        if (state_.ReplyState != kReplyOutstanding || (pollDone_ != nullptr && (*pollDone_)(state_))
            || Interrupted())
            break;
        clock_.PumpEventsUntil([this] { return Interrupted(); }, kReplyTick);
        if (++state_.TickCount >= kReplyTicks || Interrupted())
            break;
    }
    state_.TickCount = 0;
    polling_ = false;
    pollingEnded_ = true;
}

// ---- Control events ----------------------------------------------------

void GaugeLink::advertisement(QString& serverId, QString& name, short& rssi, short& txPower, QString& serviceUuids,
                              QString& servicesWithData, QString& solicitedServiceUuids, short& manufacturerCompanyId,
                              QString& manufacturerData, bool& isConnectable, bool& isScanResponse)
{
    if (observer_)
        observer_->advertisement(serverId, name, rssi, txPower, serviceUuids, servicesWithData, solicitedServiceUuids,
                                 manufacturerCompanyId, manufacturerData, isConnectable, isScanResponse);
}

void GaugeLink::startScan(QString& serviceUuids)
{
    if (observer_)
        observer_->startScan(serviceUuids);
}

void GaugeLink::stopScan(short& errorCode, QString& errorDescription)
{
    if (observer_)
        observer_->stopScan(errorCode, errorDescription);
}

void GaugeLink::connected(short& statusCode, QString& description)
{
    // "Online": the gauge came back after going out of range.
    connectedEvent_ = true;
    connectedOk_ = statusCode == 0 && (description == QLatin1String("OK") || description == QLatin1String("Online"));
    online_ = connectedOk_;
    if (!connectedOk_)
        errorText_ = QString::number(statusCode) + QStringLiteral(" ") + description;
    if (observer_)
        observer_->connected(statusCode, description);
}

void GaugeLink::disconnected(short& statusCode, QString& description)
{
    linkLost_ = true;
    connected_ = online_ = false;
    errorText_ = QString::number(statusCode) + QStringLiteral(" ") + description;
    state_.CommandPathReady = state_.MemoryPathReady = state_.IsSubscribed = false;
    if (observer_)
        observer_->disconnected(statusCode, description);
}

void GaugeLink::discovered(short& gattType, QString& serviceId, QString& characteristicId, QString&, QString& uuid,
                           QString&)
{
    ApplyDiscovered(state_, gattType, serviceId, characteristicId, uuid);
}

void GaugeLink::error(short& errorCode, QString& description)
{
    errorEvent_ = true;
    errorText_ = QStringLiteral("Vornik Error") + QString::number(errorCode) + QStringLiteral(" ") + description;
    WriteLog(errorText_);
    if (observer_)
        observer_->error(errorCode, description);
}

void GaugeLink::subscribed(QString&, QString&, QString&, QString&)
{
    state_.IsSubscribed = true;
    state_.ReplyState = kReplyDone;
}

void GaugeLink::unsubscribed(QString&, QString&, QString&, QString&)
{
    state_.IsSubscribed = false;
    state_.ReplyState = kReplyDone;
}

void GaugeLink::value(QString& serviceId, QString& characteristicId, QString& descriptorId, QString& uuid,
                      QString& description, QString& value)
{
    DecodedValue decoded =
        Vornik1_Value(ValueEvent{serviceId, characteristicId, descriptorId, uuid, description, value}, state_);
    state_ = std::move(decoded.state);
    if (handovers_)
        for (const LinkHandover& handover : decoded.handovers)
            handovers_(handover);
}

void GaugeLink::writeResponse(QString& serviceId, QString& characteristicId, QString&, QString&, QString&)
{
    const GattIds& ids = state_.Ids;
    state_.TickCount = 0;
    if (serviceId == ids.SvcMainId && characteristicId == ids.ChrCommandId) {
        if (!state_.SendText.startsWith(kSetClockEcho) && !polling_)
            PollReply();
    } else if (serviceId == ids.SvcMemoryId && characteristicId == ids.ChrMemDirId) {
        // The selection takes effect with the write; reading the command
        // characteristic here would only decode a stale reply again.
        state_.ReplyState = kReplyDone;
    }
}

} // namespace qc
