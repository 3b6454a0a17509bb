// The connection with the gauge as the connection window and the main
// window show it, apart from any window: the control and its host, the
// gauge link, the device list of the scan, the chosen gauge, connecting,
// reconnecting and disconnecting. The windows only bind it; a command-line
// tool drives the same object.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

#include "gauge/gauge_link.h"
#include "gauge/vornik_control.h"
#include "shell/wait_clock.h"

namespace qc {

class VornikQtHost;

// One advertiser in the device list.
struct DeviceEntry {
    QString ServerId;
    QString Name;
    short Rssi = 0;

    // "MAC: <address> Name: <name>       RSSI: <rssi>".
    QString Text() const;
};

// True for the advertised names the device list shows: beginning with "."
// or holding "UNK", "VORTAN", "Bodun", "Fe", "FE", "GV" or "PE".
bool ListedDeviceName(const QString& name);

// What the main window shows of the link.
enum class LinkDisplay {
    NotConnected, // nothing tried yet
    Connected,
    Offline,      // the gauge went out of range: the button offers reconnecting
    Disconnected, // disconnected by the user or the link ended otherwise
    Reconnecting, // the connect button is hidden meanwhile
};

class GaugeConnection : public QObject, private VornikEvents {
    Q_OBJECT
public:
    // Pauses of the connection procedures.
    static constexpr std::chrono::milliseconds kScanStopPause{200};
    static constexpr std::chrono::milliseconds kReconnectPause{500};
    static constexpr std::chrono::milliseconds kDisconnectPause{500};

    // Creates the control on the radio the environment names. `language`
    // gives the language of the texts at the moment they are shown; `log`
    // receives the log lines.
    GaugeConnection(WaitClock& clock, std::function<int()> language, std::function<void(const QString&)> log,
                    QObject* parent = nullptr);
    ~GaugeConnection() override;
    GaugeConnection(const GaugeConnection&) = delete;
    GaugeConnection& operator=(const GaugeConnection&) = delete;

    // False when the control could not be created; Problem() says why.
    bool ControlCreated() const { return control_->isCreated(); }
    QString Problem() const { return control_->lastError().description; }

    GaugeLink& Link() { return *link_; }
    const GaugeLink& Link() const { return *link_; }

    // The chosen gauge: empty address when none is chosen.
    QString DeviceAddress;
    QString DeviceName;
    // The last disconnection was the gauge going away.
    bool WentOffline = false;

    bool IsConnected() const { return link_->IsConnected(); }
    bool Scanning() const { return scanning_; }
    bool Busy() const { return busy_ > 0 || link_->Waiting(); }
    const QList<DeviceEntry>& Devices() const { return devices_; }
    LinkDisplay Display() const { return display_; }
    // The status box of the connection window.
    const QString& StatusText() const { return status_; }

    // Scan button: starts the scan with an empty list, or stops it.
    void Scan_Click();
    void StopScanning();

    // Connects to the gauge and discovers its services. When the connection
    // is refused or discovery stays incomplete, the status asks to try again
    // and one Reconnect follows by itself, unless the gauge had gone
    // offline (then the user reconnects).
    RequestResult Connect(const QString& address, const QString& name);
    // Disconnects and connects to the chosen gauge again.
    RequestResult Reconnect();
    // Disconnects (the control is asked twice) and empties the device list.
    void BLEDisconnect();
    // Ends the wait in progress.
    void Stop();

    // The control's events, as the control raises them; tests raise them too.
    VornikEvents& Events() { return *link_; }

signals:
    void deviceListed(int index);
    void devicesCleared();
    void scanningChanged(bool scanning);
    void statusChanged(const QString& text);
    void displayChanged(qc::LinkDisplay display);
    // The connection window's reconnect button, with its caption.
    void reconnectOffered(bool shown, const QString& caption);
    // The link is up and discovered: the connection window closes.
    void linkReady();
    // "Vornik Error<code> <description>": told to the user, then the link is
    // disconnected.
    void controlError(const QString& text);

private:
    void advertisement(QString& serverId, QString& name, short& rssi, short& txPower, QString& serviceUuids,
                       QString& servicesWithData, QString& solicitedServiceUuids, short& manufacturerCompanyId,
                       QString& manufacturerData, bool& isConnectable, bool& isScanResponse) override;
    void startScan(QString& serviceUuids) override;
    void stopScan(short& errorCode, QString& errorDescription) override;
    void connected(short& statusCode, QString& description) override;
    void disconnected(short& statusCode, QString& description) override;
    void error(short& errorCode, QString& description) override;

    RequestResult ConnectOnce(const QString& address, const QString& name);
    void ShowConnected();
    void SetStatus(const QString& text);
    void SetDisplay(LinkDisplay display);
    void SetScanning(bool scanning);
    void Pause(std::chrono::milliseconds duration);
    void HandleControlError();
    void WriteLog(const QString& line) const;
    int Language() const { return language_ ? language_() : 1; }

    WaitClock& clock_;
    std::function<int()> language_;
    std::function<void(const QString&)> log_;
    std::unique_ptr<VornikControl> control_;
    std::unique_ptr<VornikQtHost> host_;
    std::unique_ptr<GaugeLink> link_;
    QList<DeviceEntry> devices_;
    QString status_;
    LinkDisplay display_ = LinkDisplay::NotConnected;
    bool scanning_ = false;
    bool stopRequested_ = false;
    bool autoReconnecting_ = false;
    int busy_ = 0;
    QStringList pendingErrors_;
};

} // namespace qc
