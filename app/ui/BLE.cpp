#include "ui/BLE.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gauge/gauge_connection.h"
#include "shell/app_identity.h"
#include "shell/demo_mode.h"
#include "shell/texts.h"

namespace qc {
namespace {

constexpr int kConnectKey = 50;      // MenuTexts "Verbinden"
constexpr int kDisconnectKey = 52;   // MenuTexts "Trennen"
constexpr int kChooseDeviceKey = 79; // MessageTexts "Bluetooth Gerät zum Verbinden auswählen"

// Item data of a device list entry: the address and name as advertised, so
// the entry's text never has to be taken apart.
constexpr int kAddressRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

const QString kScanCaption = QStringLiteral("Scan");
const QString kStopCaption = QStringLiteral("Stop");

// The hourglass while the window connects.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

BLE::BLE(GaugeConnection& gauge, Session& session, Prompt& prompt, QWidget* parent)
    : QDialog(parent)
    , m_gauge(gauge)
    , m_session(session)
    , m_prompt(&prompt)
{
    setObjectName(QStringLiteral("BLE"));
    lstDevices = new QListWidget;
    lstDevices->setObjectName(QStringLiteral("lstDevices"));
    lstDevices->setMinimumWidth(460);
    cmdScan = new QPushButton(kScanCaption);
    cmdScan->setObjectName(QStringLiteral("cmdScan"));
    cmdConnect = new QPushButton;
    cmdConnect->setObjectName(QStringLiteral("cmdVerbinden"));
    cmdReconnect = new QPushButton;
    cmdReconnect->setObjectName(QStringLiteral("cmdReconnect"));
    txtStatus = new QLineEdit;
    txtStatus->setObjectName(QStringLiteral("txtStatus"));
    txtStatus->setReadOnly(true);
    lblInstruction = new QLabel;
    lblInstruction->setObjectName(QStringLiteral("lblInstruction"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdScan);
    buttons->addWidget(cmdConnect);
    buttons->addWidget(cmdReconnect);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblInstruction);
    layout->addWidget(lstDevices);
    layout->addLayout(buttons);
    layout->addWidget(txtStatus);

    connect(cmdScan, &QPushButton::clicked, this, &BLE::cmdScan_Click);
    connect(cmdConnect, &QPushButton::clicked, this, &BLE::cmdConnect_Click);
    connect(cmdReconnect, &QPushButton::clicked, this, &BLE::cmdReconnect_Click);
    connect(lstDevices, &QListWidget::itemClicked, this, &BLE::lstDevices_Click);

    connect(&m_gauge, &GaugeConnection::deviceListed, this, &BLE::AddDevice);
    connect(&m_gauge, &GaugeConnection::devicesCleared, lstDevices, &QListWidget::clear);
    connect(&m_gauge, &GaugeConnection::scanningChanged, this,
            [this](bool scanning) { cmdScan->setText(scanning ? kStopCaption : kScanCaption); });
    connect(&m_gauge, &GaugeConnection::statusChanged, txtStatus, &QLineEdit::setText);
    connect(&m_gauge, &GaugeConnection::displayChanged, this, &BLE::ShowDisplay);
    connect(&m_gauge, &GaugeConnection::reconnectOffered, this, &BLE::ShowReconnect);
    connect(&m_gauge, &GaugeConnection::linkReady, this, [this] {
        if (isVisible())
            accept();
    });

    ApplyTexts();
    cmdReconnect->hide();
    for (int i = 0; i < m_gauge.Devices().size(); ++i)
        AddDevice(i);
}

void BLE::ApplyTexts()
{
    const int L = m_session.Language();
    setWindowTitle(DemoMarked(MainCaption()));
    cmdConnect->setText(MenuText(L, m_gauge.Display() == LinkDisplay::Connected ? kDisconnectKey : kConnectKey));
    lblInstruction->setText(MessageText(L, kChooseDeviceKey));
}

void BLE::ShowReconnectButton(bool shown) { cmdReconnect->setVisible(shown); }

void BLE::AddDevice(int index)
{
    const DeviceEntry& entry = m_gauge.Devices().at(index);
    auto* item = new QListWidgetItem(entry.Text(), lstDevices);
    item->setData(kAddressRole, entry.ServerId);
    item->setData(kNameRole, entry.Name);
}

void BLE::ShowDisplay(LinkDisplay display)
{
    const int L = m_session.Language();
    switch (display) {
    case LinkDisplay::Connected:
        cmdConnect->setText(MenuText(L, kDisconnectKey));
        cmdScan->setEnabled(false);
        break;
    case LinkDisplay::Disconnected:
    case LinkDisplay::Offline:
    case LinkDisplay::NotConnected:
        cmdConnect->setText(MenuText(L, kConnectKey));
        cmdScan->setEnabled(true);
        cmdScan->setText(kScanCaption);
        lblInstruction->setText(MessageText(L, kChooseDeviceKey));
        break;
    case LinkDisplay::Reconnecting:
        break;
    }
}

void BLE::ShowReconnect(bool shown, const QString& caption)
{
    if (!caption.isEmpty())
        cmdReconnect->setText(caption);
    cmdReconnect->setVisible(shown);
}

void BLE::cmdScan_Click() { m_gauge.Scan_Click(); }

void BLE::cmdConnect_Click()
{
    m_gauge.StopScanning();
    m_session.Clock().Delay(GaugeConnection::kScanStopPause);
    const BusyCursor busy;
    const int L = m_session.Language();
    if (cmdConnect->text() != MenuText(L, kConnectKey)) {
        m_gauge.BLEDisconnect();
        lstDevices->setEnabled(true);
        return;
    }
    // The chosen entry first; without one the gauge chosen before.
    QString address = m_gauge.DeviceAddress;
    QString name = m_gauge.DeviceName;
    if (const QListWidgetItem* chosen = lstDevices->currentItem(); chosen && chosen->isSelected()) {
        address = chosen->data(kAddressRole).toString();
        name = chosen->data(kNameRole).toString();
    }
    if (address.isEmpty()) {
        m_prompt->Tell(MainCaption(), MessageText(L, kChooseDeviceKey) + QStringLiteral("\r\n"), Prompt::Icon::None);
        return;
    }
    lstDevices->setEnabled(false);
    cmdConnect->setEnabled(false);
    m_gauge.Connect(address, name);
    lstDevices->setEnabled(true);
    cmdConnect->setEnabled(true);
}

void BLE::cmdReconnect_Click()
{
    const BusyCursor busy;
    cmdReconnect->setEnabled(false);
    m_gauge.Reconnect();
    cmdReconnect->setEnabled(true);
}

// A second click cannot connect at once: the connect button waits a second.
void BLE::lstDevices_Click()
{
    cmdConnect->setEnabled(false);
    QTimer::singleShot(kListClickLockMillis, cmdConnect, [button = cmdConnect] { button->setEnabled(true); });
}

void BLE::reject()
{
    if (m_gauge.Busy())
        m_gauge.Stop();
    if (m_gauge.Scanning())
        m_gauge.StopScanning();
    QDialog::reject();
}

} // namespace qc
