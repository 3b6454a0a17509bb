#include "gauge/gauge_connection.h"

#include <QTimer>

#include "gauge/vornik_qt_host.h"
#include "shell/texts.h"

namespace qc {
namespace {

// Advertised names the device list shows (case-sensitive parts).
const char* const kListedNameParts[] = {"UNK", "VORTAN", "Bodun", "Fe", "FE", "GV", "PE"};

constexpr int kConnectToMacKey = 77; // MessageTexts "Verbinden mit MAC "
constexpr int kTryAgainKey = 78;     // MessageTexts "Bitte wiederholen"
constexpr int kPleaseWaitKey = 13;   // MessageTexts "Bitte warten...."
constexpr int kConnectedKey = 53;    // MenuTexts "Verbunden"
constexpr int kCheckAdapterKey = 75; // MessageTexts "Bitte Bluetooth Einstellungen prüfen, ..."

// A control error arriving while a wait runs is handled once the wait has
// ended, from the event loop.
constexpr std::chrono::milliseconds kErrorRetry{20};

const QString kOffline = QStringLiteral("Offline");
const QString kScanLogFormat = QStringLiteral("dd.MM.yyyy HH:mm:ss");

} // namespace

QString DeviceEntry::Text() const
{
    return QStringLiteral("MAC: ") + ServerId + QStringLiteral(" Name: ") + Name + QStringLiteral("       RSSI: ") +
           QString::number(Rssi);
}

bool ListedDeviceName(const QString& name)
{
    if (name.startsWith(u'.'))
        return true;
    for (const char* part : kListedNameParts)
        if (name.contains(QLatin1String(part)))
            return true;
    return false;
}

GaugeConnection::GaugeConnection(WaitClock& clock, std::function<int()> language,
                                 std::function<void(const QString&)> log, QObject* parent)
    : QObject(parent)
    , clock_(clock)
    , language_(std::move(language))
    , log_(std::move(log))
    , control_(std::make_unique<VornikControl>())
{
    link_ = std::make_unique<GaugeLink>(*control_, clock_);
    link_->SetEventObserver(this);
    link_->SetLogSink([this](const QString& line) { WriteLog(line); });
    if (control_->isCreated()) {
        host_ = std::make_unique<VornikQtHost>(*control_);
        control_->config(QStringLiteral("LogLevel=0"));
        control_->config(QStringLiteral("AutoDiscoverCharacteristics = true"));
        control_->config(QStringLiteral("AutoDiscoverDescriptors = true"));
    }
}

GaugeConnection::~GaugeConnection()
{
    link_->SetEventObserver(nullptr);
    if (control_->isCreated() && link_->IsConnected()) {
        control_->disconnect();
        control_->doEvents();
    }
    // The link leaves the control's event handler before the control goes.
    link_.reset();
    host_.reset();
}

void GaugeConnection::WriteLog(const QString& line) const
{
    if (log_)
        log_(line);
}

void GaugeConnection::SetStatus(const QString& text)
{
    status_ = text;
    emit statusChanged(status_);
}

void GaugeConnection::SetDisplay(LinkDisplay display)
{
    display_ = display;
    emit displayChanged(display_);
}

void GaugeConnection::SetScanning(bool scanning)
{
    scanning_ = scanning;
    emit scanningChanged(scanning_);
}

// A pause of the procedures; Stop ends it early.
void GaugeConnection::Pause(std::chrono::milliseconds duration)
{
    clock_.PumpEventsUntil([this] { return stopRequested_; }, duration);
}

// ---- Scanning ------------------------------------------------------------

void GaugeConnection::Scan_Click()
{
    WriteLog(QStringLiteral("Bluetooth SCAN ") + clock_.CurrentDateTime().toString(kScanLogFormat));
    if (scanning_) {
        StopScanning();
        return;
    }
    devices_.clear();
    emit devicesCleared();
    WriteLog(QStringLiteral("Bluetooth SCAN1"));
    control_->setActiveScanning(true);
    if (!control_->startScanning(QString())) {
        // No adapter, or the radio refused: said in the status box, and the
        // scan button stays at "Scan".
        const QString why = control_->lastError().description;
        WriteLog(QStringLiteral("Bluetooth SCAN ") + why);
        SetStatus(MessageText(Language(), kCheckAdapterKey) + QStringLiteral(" (") + why + QStringLiteral(")"));
        SetScanning(false);
    }
}

void GaugeConnection::StopScanning()
{
    if (control_->isCreated())
        control_->stopScanning();
    if (scanning_)
        SetScanning(false);
}

void GaugeConnection::advertisement(QString& serverId, QString& name, short& rssi, short&, QString&, QString&, QString&,
                                    short&, QString&, bool&, bool&)
{
    for (const DeviceEntry& listed : devices_)
        if (listed.ServerId == serverId)
            return;
    if (!ListedDeviceName(name))
        return;
    devices_.append(DeviceEntry{serverId, name, rssi});
    emit deviceListed(int(devices_.size()) - 1);
}

void GaugeConnection::startScan(QString&)
{
    WriteLog(QStringLiteral("StartScan"));
    SetScanning(true);
    SetStatus(QStringLiteral("Scanning ..."));
    WriteLog(QStringLiteral("StartScan Ende"));
}

void GaugeConnection::stopScan(short&, QString&)
{
    if (scanning_)
        SetScanning(false);
}

// ---- Connecting --------------------------------------------------------------

RequestResult GaugeConnection::ConnectOnce(const QString& address, const QString& name)
{
    ++busy_;
    RequestResult result = link_->Connect(address, name);
    --busy_;
    if (result.ok())
        ShowConnected();
    return result;
}

void GaugeConnection::ShowConnected()
{
    const int L = Language();
    emit reconnectOffered(false, QString());
    SetStatus(MenuText(L, kConnectedKey) + DeviceAddress);
    WentOffline = false;
    SetDisplay(LinkDisplay::Connected);
    emit linkReady();
}

RequestResult GaugeConnection::Connect(const QString& address, const QString& name)
{
    StopScanning();
    stopRequested_ = false;
    DeviceAddress = address;
    DeviceName = name;
    if (!control_->isCreated())
        return {RequestEnd::ControlError, QStringLiteral("Connect ") + address, Problem()};
    SetStatus(MessageText(Language(), kConnectToMacKey) + address);
    RequestResult result = ConnectOnce(address, name);
    if (result.ok())
        return result;
    SetStatus(MessageText(Language(), kTryAgainKey));
    emit reconnectOffered(true, QStringLiteral("Reconnect ") + DeviceName);
    // One automatic attempt: a gauge that refuses every connection must not
    // keep the program reconnecting for ever.
    if (!WentOffline && !autoReconnecting_ && !stopRequested_ && result.end != RequestEnd::Stopped) {
        autoReconnecting_ = true;
        const RequestResult again = Reconnect();
        autoReconnecting_ = false;
        if (again.ok())
            return again;
        result = again;
        SetStatus(MessageText(Language(), kTryAgainKey));
    }
    SetDisplay(WentOffline ? LinkDisplay::Offline : LinkDisplay::Disconnected);
    return result;
}

RequestResult GaugeConnection::Reconnect()
{
    WriteLog(QStringLiteral("REconnect"));
    const LinkDisplay before = display_;
    if (DeviceAddress.isEmpty())
        return {RequestEnd::NotReady, QStringLiteral("Reconnect"), {}};
    if (!control_->isCreated())
        return {RequestEnd::ControlError, QStringLiteral("Reconnect"), Problem()};
    SetDisplay(LinkDisplay::Reconnecting);
    stopRequested_ = false;
    ++busy_;
    link_->Disconnect();
    WriteLog(QStringLiteral("REconnect1"));
    Pause(kReconnectPause);
    RequestResult result;
    if (stopRequested_) {
        result = {RequestEnd::Stopped, QStringLiteral("Reconnect ") + DeviceAddress, {}};
    } else {
        SetStatus(MessageText(Language(), kPleaseWaitKey));
        result = link_->Connect(DeviceAddress, DeviceName);
    }
    --busy_;
    WriteLog(QStringLiteral("REconnect2"));
    if (result.ok()) {
        ShowConnected();
        return result;
    }
    // The connect button comes back: the user is never left without one.
    SetStatus(MessageText(Language(), kTryAgainKey));
    emit reconnectOffered(true, QStringLiteral("Reconnect ") + DeviceName);
    const bool offline = WentOffline || before == LinkDisplay::Offline;
    SetDisplay(offline ? LinkDisplay::Offline : LinkDisplay::Disconnected);
    return result;
}

void GaugeConnection::BLEDisconnect()
{
    StopScanning();
    if (control_->isCreated()) {
        ++busy_;
        link_->Disconnect();
        Pause(kDisconnectPause);
        --busy_;
    }
    devices_.clear();
    emit devicesCleared();
    emit reconnectOffered(false, QString());
    SetStatus(QString());
    SetDisplay(LinkDisplay::Disconnected);
}

void GaugeConnection::Stop()
{
    stopRequested_ = true;
    link_->Stop();
}

// ---- Connection events ---------------------------------------------------------

void GaugeConnection::connected(short&, QString&) { SetStatus(MessageText(Language(), kPleaseWaitKey)); }

void GaugeConnection::disconnected(short& statusCode, QString& description)
{
    const bool offline = description == kOffline && statusCode == 0;
    if (offline)
        WentOffline = true;
    SetScanning(false);
    SetStatus(QStringLiteral("Disconnected ") + QString::number(statusCode) + description);
    emit reconnectOffered(true, QStringLiteral("Reconnect ") + DeviceName);
    // While reconnecting the button stays hidden until that ends.
    if (display_ != LinkDisplay::Reconnecting)
        SetDisplay(WentOffline && offline ? LinkDisplay::Offline : LinkDisplay::Disconnected);
}

void GaugeConnection::error(short& errorCode, QString& description)
{
    pendingErrors_ << QStringLiteral("Vornik Error") + QString::number(errorCode) + QStringLiteral(" ") + description;
    QTimer::singleShot(0, this, &GaugeConnection::HandleControlError);
}

// Tells the user, then disconnects; never from inside the control's call or
// a wait of the link, which the error has ended already.
void GaugeConnection::HandleControlError()
{
    if (pendingErrors_.isEmpty())
        return;
    if (Busy()) {
        QTimer::singleShot(kErrorRetry, this, &GaugeConnection::HandleControlError);
        return;
    }
    const QString text = pendingErrors_.takeFirst();
    pendingErrors_.clear(); // one box for a burst of errors
    emit controlError(text);
    BLEDisconnect();
}

} // namespace qc
