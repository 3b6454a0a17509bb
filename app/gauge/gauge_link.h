// The program's link with one gauge, apart from any window: it owns the
// link state, turns the control's events into it, sends the gauge's
// commands and waits for their replies. Every wait has a deadline and ends
// early on Stop, on link loss and on a control error; the event loop keeps
// running meanwhile. The connection window and a command-line tool drive
// the same object.
#pragma once

#include <QDateTime>
#include <QString>

#include <chrono>
#include <functional>

#include "gauge/link_state.h"
#include "gauge/reply_decoder.h"
#include "gauge/vornik_control.h"
#include "shell/wait_clock.h"

namespace qc {

// How a request ended.
enum class RequestEnd {
    Done,
    NotReady,      // not connected, or the gauge's characteristic is not known
    ControlError,  // the control refused the call or raised its Error event
    NoReply,       // the reply polling ended without the reply
    TimedOut,      // the deadline passed
    Stopped,       // Stop was called
    LinkLost,      // the gauge disconnected meanwhile
};

struct RequestResult {
    RequestEnd end = RequestEnd::Done;
    QString step;    // the command text or the operation, as the log shows it
    QString detail;  // the control's error description, when there is one

    bool ok() const { return end == RequestEnd::Done; }
    // Plain words for the user: language 0 German, 1 English.
    QString Message(int language) const;
};

// How long each kind of wait may last.
struct LinkDeadlines {
    std::chrono::milliseconds command{3000};   // one "$" command and its reply
    std::chrono::milliseconds listing{10000};  // "$ls!" and memory reads: long replies
    std::chrono::milliseconds connect{10000};  // Connect until the Connected event
    std::chrono::milliseconds discovery{4000}; // five ticks of 800 ms, as the reply timer counts them
};

class GaugeLink : public VornikEvents {
public:
    // The reply timer while polling: 200 ms, switched off on its fifth tick.
    static constexpr std::chrono::milliseconds kReplyTick{200};
    static constexpr int kReplyTicks = 5;

    GaugeLink(VornikControl& control, WaitClock& clock);
    ~GaugeLink() override;
    GaugeLink(const GaugeLink&) = delete;
    GaugeLink& operator=(const GaugeLink&) = delete;

    const LinkState& State() const { return state_; }
    LinkState& MutableState() { return state_; }
    const LinkDeadlines& Deadlines() const { return deadlines_; }
    void SetDeadlines(const LinkDeadlines& deadlines) { deadlines_ = deadlines; }
    bool IsConnected() const { return connected_; }
    // Reads and writes issued to the gauge so far (for measurements).
    long AttOperations() const { return attOperations_; }
    bool RequestOutstanding() const { return outstanding_; }

    // What the decoder hands on (identification fields, directory, live
    // readings) and the log lines.
    void SetHandoverSink(std::function<void(const LinkHandover&)> sink) { handovers_ = std::move(sink); }
    void SetLogSink(std::function<void(const QString&)> sink) { log_ = std::move(sink); }
    const std::function<void(const LinkHandover&)>& HandoverSink() const { return handovers_; }
    WaitClock& Clock() const { return clock_; }

    // Connects and discovers the gauge's services until both paths are
    // ready. Gauges named with "Zinto", "GV-4" or "VORTAN" are asked for all
    // services, others for the memory and main services only.
    RequestResult Connect(const QString& address, const QString& name);
    void Disconnect();

    // Ends the wait in progress (the main window's Stop button), the
    // control's own wait inside a call included.
    void Stop();
    // True while a connect, a discovery or a request waits.
    bool Waiting() const { return waits_ > 0; }

    // Receives the control's events after the link has taken what it needs
    // from them: scanning, connection changes, errors. The log event is
    // not passed on.
    void SetEventObserver(VornikEvents* observer) { observer_ = observer; }

    // Send procedures: one control call each with SendText as it is (or as
    // they set it). False when the control refused; LastControlError() says
    // why.
    bool WriteQuen();
    bool WriteStorageInfo();
    bool SondenFreigabe();
    bool ReadStorageInfo();
    bool ReadStorageData();
    bool ReadBattery();
    bool ReadTime();
    bool WriteTime(const QDateTime& now);
    bool SubMeasure();
    bool UnsubMeasure();
    const VornikError& LastControlError() const { return control_.lastError(); }

    // The request convention: ReplyState 55, ReplyText cleared when asked,
    // send, then wait until `done` holds or the request ends otherwise.
    using Completion = std::function<bool(const LinkState&)>;
    RequestResult Command(const QString& text, const Completion& done, std::chrono::milliseconds deadline,
                          bool clearReply = false);
    // The same for a send procedure that is not a "$" command (memory
    // directory and data reads, the memory selection): `step` names it.
    using Send = std::function<bool()>;
    RequestResult Request(const QString& step, const Send& send, const Completion& done,
                          std::chrono::milliseconds deadline);

    // Requests of the identification and device information.
    RequestResult Identify();     // "$quen00!"
    RequestResult ProbeInfo();    // "$gpi!", class 5 gauges
    RequestResult Battery();      // "$gcv!": BatteryVoltage
    RequestResult GaugeClock();   // "$glt!": ReplyText
    RequestResult SetGaugeClock(const QDateTime& now);  // "$slt?...": no reply; pauses 200 ms
    RequestResult Subscribe();
    RequestResult Unsubscribe();

    // The "$slt" text for a moment: "$slt?2026-12-06/23:01:02!" CR LF.
    static QString SetClockText(const QDateTime& now);

    // Control events.
    void advertisement(QString& serverId, QString& name, short& rssi, short& txPower, QString& serviceUuids,
                       QString& servicesWithData, QString& solicitedServiceUuids, short& manufacturerCompanyId,
                       QString& manufacturerData, bool& isConnectable, bool& isScanResponse) override;
    void startScan(QString& serviceUuids) override;
    void stopScan(short& errorCode, QString& errorDescription) override;
    void connected(short& statusCode, QString& description) override;
    void disconnected(short& statusCode, QString& description) override;
    void discovered(short& gattType, QString& serviceId, QString& characteristicId, QString& descriptorId,
                    QString& uuid, QString& description) override;
    void error(short& errorCode, QString& description) override;
    void subscribed(QString& serviceId, QString& characteristicId, QString& uuid, QString& description) override;
    void unsubscribed(QString& serviceId, QString& characteristicId, QString& uuid, QString& description) override;
    void value(QString& serviceId, QString& characteristicId, QString& descriptorId, QString& uuid,
               QString& description, QString& value) override;
    void writeResponse(QString& serviceId, QString& characteristicId, QString& descriptorId, QString& uuid,
                       QString& description) override;

private:
    RequestResult Run(const QString& step, const Send& send, const Completion& done,
                      std::chrono::milliseconds deadline, bool polled);
    bool Interrupted() const { return stopRequested_ || linkLost_ || errorEvent_; }
    void PollReply();
    void WriteLog(const QString& line) const;
    RequestResult Failed(RequestEnd end, const QString& step, const QString& detail = QString());

    // Counts the waits in progress for Waiting().
    struct WaitScope {
        explicit WaitScope(int& depth) : depth_(depth) { ++depth_; }
        ~WaitScope() { --depth_; }
        WaitScope(const WaitScope&) = delete;
        WaitScope& operator=(const WaitScope&) = delete;
        int& depth_;
    };

    VornikControl& control_;
    WaitClock& clock_;
    VornikEvents* observer_ = nullptr;
    int waits_ = 0;
    long attOperations_ = 0;
    LinkState state_;
    LinkDeadlines deadlines_;
    std::function<void(const LinkHandover&)> handovers_;
    std::function<void(const QString&)> log_;

    QString address_;
    bool connected_ = false;
    bool online_ = false;
    bool connectedEvent_ = false;
    bool connectedOk_ = false;
    bool outstanding_ = false;
    bool stopRequested_ = false;
    bool linkLost_ = false;
    bool errorEvent_ = false;
    QString errorText_;
    bool polling_ = false;
    bool pollingEnded_ = false;
    const Completion* pollDone_ = nullptr; // ends the reply polling of the request in progress
};

} // namespace qc
