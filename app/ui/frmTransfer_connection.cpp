// The main window's side of the gauge link: the connect button in its three
// captions, the connection display, Stop, and requests with their message.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "gauge/gauge_connection.h"
#include "shell/app_identity.h"
#include "shell/demo_mode.h"
#include "shell/table_controller.h"
#include "shell/texts.h"
#include "ui/BLE.h"
#include "ui/frmTransfer.h"

namespace qc {
namespace {

constexpr int kConnectKey = 50;      // MenuTexts "Verbinden"
constexpr int kDisconnectedKey = 51; // MenuTexts "Getrennt"
constexpr int kDisconnectKey = 52;   // MenuTexts "Trennen"
constexpr int kConnectedKey = 53;    // MenuTexts "Verbunden"
constexpr int kReconnectKey = 54;    // MenuTexts "Wiederverbinden"
constexpr int kNotConnectedKey = 55; // MenuTexts "Nicht Verbunden"
constexpr int kPleaseWaitKey = 13;   // MessageTexts "Bitte warten...."
constexpr int kOutOfRangeKey = 72;   // MessageTexts "Gerät außerhalb der Bluetooth Reichweite ..."

constexpr QRgb kConnectedColour = qRgb(0, 0, 255);

} // namespace

GaugeConnection& frmTransfer::Gauge()
{
    if (!m_gauge) {
        m_gauge = std::make_unique<GaugeConnection>(
            m_session.Clock(), [this] { return m_session.Language(); },
            [this](const QString& line) { m_session.Log.WriteLog(line); });
        connect(m_gauge.get(), &GaugeConnection::displayChanged, this, &frmTransfer::ShowLinkDisplay);
        connect(m_gauge.get(), &GaugeConnection::scanningChanged, this, [this](bool scanning) {
            if (scanning)
                m_session.Status.activity = Activity::Scanning;
            else if (m_session.Status.activity == Activity::Scanning)
                m_session.Status.activity = m_session.Connected ? Activity::Connected : Activity::Idle;
            RefreshStatus();
        });
        connect(m_gauge.get(), &GaugeConnection::controlError, this,
                [this](const QString& text) { m_prompt->Tell(MainCaption(), text, Prompt::Icon::None); });
        // Memories, live readings and the device windows use this link; once
        // it is up, the gauge is identified and its memories listed.
        SetGaugeLink(&m_gauge->Link());
        if (!m_gaugeReady) {
            m_gaugeReady = [this](bool /*reconnected*/) {
                if (Initialisierung(m_gauge->DeviceName))
                    SpeicherInfo();
            };
        }
    }
    return *m_gauge;
}

BLE& frmTransfer::ConnectionWindow()
{
    if (!m_ble) {
        m_ble = new BLE(Gauge(), m_session, *m_prompt, this);
        connect(this, &frmTransfer::textsApplied, m_ble, &BLE::ApplyTexts);
    }
    m_ble->SetPrompt(*m_prompt);
    return *m_ble;
}

void frmTransfer::ConnectConnectionCommands()
{
    connect(m_ui.cmdConnect, &QPushButton::clicked, this, &frmTransfer::cmdConnect_Click);
    connect(m_ui.cmdStop, &QPushButton::clicked, this, [this] {
        if (m_gauge)
            m_gauge->Stop();
    });
    // A language change keeps what the connection display says.
    connect(this, &frmTransfer::textsApplied, this, [this] {
        if (m_gauge)
            ShowLinkDisplay();
    });
}

void frmTransfer::cmdConnect_Click()
{
    const int L = m_session.Language();
    const QString caption = m_ui.cmdConnect->text();
    GaugeConnection& gauge = Gauge();
    if (!gauge.ControlCreated()) {
        m_prompt->Tell(MainCaption(), gauge.Problem(), Prompt::Icon::None);
        return;
    }
    if (caption == MenuText(L, kDisconnectKey)) {
        gauge.BLEDisconnect();
        gauge.DeviceAddress.clear();
        Verbindungscheck();
        return;
    }
    if (caption == MenuText(L, kReconnectKey)) {
        Block_Buttons();
        const RequestResult result = gauge.Reconnect();
        Unblock_Buttons();
        if (!result.ok()) {
            // Reconnect left the link as it found it: the button offers
            // reconnecting again.
            m_prompt->Tell(MainCaption(), result.Message(L), Prompt::Icon::None);
            return;
        }
        if (m_gaugeReady)
            m_gaugeReady(true);
        Verbindungscheck();
        m_table->RecalcStatistics();
        return;
    }

    // Connect: the connection window until it has a connection or is closed.
    BLE& window = ConnectionWindow();
    window.ShowReconnectButton(false);
    window.ApplyTexts();
    window.exec();
    if (gauge.IsConnected()) {
        if (m_gaugeReady)
            m_gaugeReady(false);
        Unblock_Buttons();
    }
    if (!Verbindungscheck())
        Block_Buttons();
    m_table->RecalcStatistics();
}

// The connection part of the main window as the link stands now.
void frmTransfer::ShowLinkDisplay()
{
    const int L = m_session.Language();
    const LinkDisplay display = m_gauge ? m_gauge->Display() : LinkDisplay::NotConnected;
    m_session.Connected = display == LinkDisplay::Connected;
    m_session.Status.activity = display == LinkDisplay::Connected      ? Activity::Connected
                                : display == LinkDisplay::Reconnecting ? Activity::Connecting
                                                                       : Activity::Idle;
    m_session.Status.Gauge = m_gauge ? m_gauge->DeviceName : QString();
    RefreshStatus();
    switch (display) {
    case LinkDisplay::Connected:
        if (!m_gauge->WentOffline)
            m_ui.cmbSpeicher->hide();
        m_ui.cmdRefresh->hide();
        m_ui.cmdConnect->setText(MenuText(L, kDisconnectKey));
        m_ui.cmdConnect->show();
        m_ui.picBthBlitz->hide();
        m_ui.picBth->show();
        m_ui.txtWait->setText(DemoMarked(MenuText(L, kConnectedKey)));
        break;
    case LinkDisplay::Offline:
        m_ui.cmdConnect->setText(MenuText(L, kReconnectKey));
        m_ui.cmdConnect->show();
        m_ui.txtWait->setText(DemoMarked(MessageText(L, kOutOfRangeKey)));
        m_ui.txtWait->show();
        m_ui.picBth->hide();
        m_ui.picBthBlitz->show();
        break;
    case LinkDisplay::Disconnected:
        m_ui.cmdConnect->setText(MenuText(L, kConnectKey));
        m_ui.cmdConnect->show();
        m_ui.txtWait->setText(DemoMarked(MenuText(L, kDisconnectedKey)));
        m_ui.txtWait->show();
        m_ui.picBth->hide();
        m_ui.picBthBlitz->show();
        break;
    case LinkDisplay::Reconnecting:
        m_ui.cmdConnect->hide();
        m_ui.txtWait->setText(DemoMarked(MessageText(L, kPleaseWaitKey)));
        break;
    case LinkDisplay::NotConnected:
        m_ui.cmdConnect->setText(MenuText(L, kConnectKey));
        m_ui.cmdConnect->show();
        break;
    }
}

bool frmTransfer::Verbindungscheck()
{
    const int L = m_session.Language();
    const bool connected = m_gauge && m_gauge->IsConnected();
    if (connected) {
        m_ui.txtWait->setText(DemoMarked(MenuText(L, kConnectedKey)));
        QPalette status = m_ui.txtWait->palette();
        status.setColor(QPalette::WindowText, QColor(kConnectedColour));
        m_ui.txtWait->setPalette(status);
        m_ui.txtWait->show();
        m_ui.optOnline->setEnabled(true);
        m_ui.cmdOpen->setEnabled(true);
        m_ui.txtSpeicher->show();
        const DeviceProfile& profile = m_session.Gauge.profile;
        const bool bluetooth = profile.ProfileLink == QStringLiteral("L") || profile.ProfileLink == QStringLiteral("B");
        m_ui.picBth->setVisible(bluetooth);
        m_ui.picUsb->setVisible(!bluetooth);
        m_ui.cmdLesen->setVisible(profile.ProfileClass != QStringLiteral("X"));
    } else {
        // An offline gauge keeps the reconnect caption and its message.
        if (!m_gauge || m_gauge->Display() != LinkDisplay::Offline) {
            m_ui.cmdConnect->setText(MenuText(L, kConnectKey));
            m_ui.txtWait->setText(DemoMarked(MenuText(L, kNotConnectedKey)));
        }
        m_ui.cmdConnect->show();
        m_ui.txtWait->show();
        m_ui.optOnline->setEnabled(false);
        m_ui.cmdConnect->setFocus();
        m_ui.txtSpeicher->hide();
        m_ui.picBth->hide();
        m_ui.picUsb->hide();
    }
    return connected;
}

RequestResult frmTransfer::RunGaugeRequest(const std::function<RequestResult(GaugeLink&)>& request)
{
    GaugeLink& link = Gauge().Link();
    Block_Buttons();
    const bool stopEnabled = m_ui.cmdStop->isEnabled();
    m_ui.cmdStop->setEnabled(true);
    const RequestResult result = request(link);
    m_ui.cmdStop->setEnabled(stopEnabled);
    Unblock_Buttons();
    if (!result.ok()) {
        const QString text = result.Message(m_session.Language());
        m_session.Log.WriteLog(text);
        m_prompt->Tell(MainCaption(), text, Prompt::Icon::None);
        Verbindungscheck();
    }
    return result;
}

void frmTransfer::DisconnectGaugeAtEnd()
{
    if (!m_gauge)
        return;
    // Inside a wait only the wait is ended: the control is not called again
    // from within its own call; the connection closes the link when it goes.
    const bool busy = m_gauge->Busy();
    m_gauge->Stop();
    if (!busy && m_gauge->IsConnected())
        m_gauge->BLEDisconnect();
}

} // namespace qc
