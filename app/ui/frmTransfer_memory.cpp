// The gauge's memories in the main window: identification after a
// connection, the memory selector, reading a memory with its progress and
// the Stop button, live readings, the battery display, and the set-time and
// device information dialogs. The work is done by the gauge classes; this
// file binds them to the controls.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "gauge/gauge_link.h"
#include "gauge/memory_download.h"
#include "gauge/memory_listing.h"
#include "shell/app_identity.h"
#include "shell/table_controller.h"
#include "shell/texts.h"
#include "ui/chart_commands.h"
#include "ui/frmInfo.h"
#include "ui/frmTime.h"
#include "ui/frmTransfer.h"

namespace qc {
namespace {

const QString kMemoryFilesClass = QStringLiteral("5");
constexpr int kBatteryKey = 73;
constexpr int kReadyKey = 42;

QString BatteryColour(BatteryLevel level)
{
    switch (level) {
    case BatteryLevel::Full:
        return QStringLiteral("#008000");
    case BatteryLevel::Medium:
        return QStringLiteral("#c08000");
    default:
        return QStringLiteral("#c00000");
    }
}

} // namespace

void frmTransfer::ConnectMemoryCommands()
{
    connect(m_ui.cmdLesen, &QPushButton::clicked, this, &frmTransfer::cmdLesen_Click);
    connect(m_ui.cmdStop, &QPushButton::clicked, this, &frmTransfer::cmdStop_Click);
    connect(m_ui.cmdRefresh, &QPushButton::clicked, this, &frmTransfer::SpeicherInfo);
    connect(m_ui.mnuSetTime, &QAction::triggered, this, &frmTransfer::mnuSetTime_Click);
    if (!m_deviceInfo)
        m_deviceInfo = [this] { ShowDeviceInfo(); };
}

void frmTransfer::SetGaugeLink(GaugeLink* link)
{
    if (link == m_link)
        return; // its hand-overs reach the window already
    m_link = link;
    if (link == nullptr)
        return;
    const auto before = link->HandoverSink();
    link->SetHandoverSink([this, before](const LinkHandover& h) {
        if (before)
            before(h);
        if (h.kind == LinkHandover::Kind::LiveReading && m_download == nullptr)
            LiveReading(h.Text);
    });
}

bool frmTransfer::Initialisierung(const QString& deviceName)
{
    if (m_link == nullptr)
        return false;
    const IdentificationResult id = Identify(*m_link, m_session.Gauge, deviceName);
    m_session.Table.gauge = m_session.Gauge;
    TransferLog& log = m_session.Log;
    log.WriteLog(QStringLiteral("Logdatei ") + log.Path());
    log.WriteLog(QStringLiteral("App.Path = ") + m_session.Folders.ProgramDir);
    log.WriteLog(QStringLiteral("AppDataPath = ") + m_session.Folders.SettingsDir);
    log.WriteLog(QStringLiteral("MessDataPath = ") + m_session.Folders.DataDir);

    const GaugeIdentity& identity = m_session.Gauge.identity;
    if (!id.pictureFile.isEmpty()) {
        m_ui.frmPic->show();
        m_ui.picPL->show();
        ShowModelPicture(id.pictureFile);
    }
    ApplyBrand(identity.BrandMark, identity.GaugeNumber);

    const DeviceProfile& profile = m_session.Gauge.profile;
    const bool keys = profile.ProfileKeys != u"V";
    m_ui.mnuTastaturevent->setEnabled(keys);
    m_ui.mnuTastaturevent->setVisible(keys);
    m_ui.mnuSetTime->setEnabled(profile.ProfileLink == u"L");

    m_session.GaugeIdentified = id.request.ok();
    m_session.Table.state.RowCounter = 1;
    m_session.Table.state.OnlineCounter = 1;
    Voreinstellungen(settings_mode::LanguageLoad);
    Voreinstellungen(settings_mode::KeysLoad);
    for (QWidget* w : {static_cast<QWidget*>(m_ui.FrameWerte), static_cast<QWidget*>(m_ui.FrameStatistik),
                       static_cast<QWidget*>(m_ui.FrameBefehle), static_cast<QWidget*>(m_ui.cmdProjekt),
                       static_cast<QWidget*>(m_ui.cmdWerte)})
        w->show();
    ShowBattery(id.battery, id.batteryVolts);
    if (!id.request.ok())
        m_prompt->Tell(MainCaption(), id.request.Message(m_session.Language()), Prompt::Icon::Information);
    return id.request.ok();
}

void frmTransfer::ShowBattery(BatteryLevel level, double volts)
{
    if (level == BatteryLevel::Unchanged)
        return;
    if (level == BatteryLevel::Hidden) {
        m_ui.BattIcon->hide();
        return;
    }
    m_ui.BattIcon->setText(BatterySymbol(level));
    m_ui.BattIcon->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(BatteryColour(level)));
    m_ui.BattIcon->setToolTip(MessageText(m_session.Language(), kBatteryKey) + u' ' + QString::number(volts, 'f', 2) +
                              QStringLiteral(" V"));
    m_ui.BattIcon->show();
    m_ui.lblBatterie->show();
}

void frmTransfer::SpeicherInfo()
{
    if (m_link == nullptr || m_download != nullptr)
        return;
    const int language = m_session.Language();
    const bool files = m_session.Gauge.profile.ProfileClass.trimmed() == kMemoryFilesClass;
    Block_Buttons();
    const MemoryListing listing = files ? SpeicherInfoDatei(*m_link, language) : SpeicherInfoLesen(*m_link, language);
    m_ui.cmbSpeicher->clear();
    m_ui.cmbSpeicher->addItems(listing.Entries);
    m_offeredFiles = files ? listing.Entries : QStringList();
    if (listing.Entries.isEmpty())
        m_ui.cmbSpeicher->setEditText(listing.Empty);
    if (listing.Entries.isEmpty() && !m_ui.cmbSpeicher->isEditable())
        m_ui.cmbSpeicher->addItem(listing.Empty);
    m_ui.cmbSpeicher->setCurrentIndex(0);
    m_ui.cmbSpeicher->show();
    m_ui.lblSpeicher->show();
    if (!listing.request.ok())
        m_prompt->Tell(MainCaption(), listing.request.Message(language), Prompt::Icon::Information);
    Unblock_Buttons();
}

void frmTransfer::cmdLesen_Click()
{
    if (m_link == nullptr || m_download != nullptr)
        return;
    const QString selector = m_ui.cmbSpeicher->currentText();
    if (selector.isEmpty())
        return;
    const bool files = m_session.Gauge.profile.ProfileClass.trimmed() == kMemoryFilesClass;
    MemoryDownload download(*m_link, m_session.Table, m_session.Language());
    download.SetLog([this](const QString& line) { m_session.Log.WriteLog(line); });
    if (files)
        download.SetOfferedFiles(m_offeredFiles);
    download.SetProgress([this](int received, int expected) {
        m_ui.txtSpeicher->setText(QString::number(received) + QStringLiteral(" / ") + QString::number(expected));
        m_session.Status.activity = Activity::Reading;
        m_session.Status.Done = received;
        m_session.Status.Total = expected;
        RefreshStatus();
    });
    Block_Buttons();
    m_ui.cmdStop->show();
    m_ui.cmdStop->setEnabled(true);
    m_session.Table.gauge = m_session.Gauge;
    m_download = &download;
    m_table->BeginFill();
    const DownloadResult result = files ? download.Read_Datei(selector) : download.Read_Speicher(selector);
    m_table->EndFill();
    m_download = nullptr;
    m_ui.cmdStop->hide();
    m_session.Status.activity = m_session.Connected ? Activity::Connected : Activity::Idle;
    RefreshStatus();
    ShowDownload(result);
}

void frmTransfer::cmdStop_Click()
{
    if (m_download != nullptr)
        m_download->Stop();
}

void frmTransfer::ShowDownload(const DownloadResult& result)
{
    const int language = m_session.Language();
    if (!result.caption.isEmpty() && result.end != DownloadEnd::NotChosen) {
        m_session.MemoryOptionText = result.caption;
        m_session.MemoryFileComment = result.fileComment;
        m_session.MemoryShown = true;
    }
    if (result.end == DownloadEnd::NotChosen) {
        m_table->optOnline_Click();
    } else {
        m_table->FillMSFlexOne();
        m_table->RefreshMemoryOption();
    }
    if (!result.memoryText.isEmpty())
        ShowMemoryStatus(result.memoryText, true);
    else
        m_ui.txtSpeicher->setText(MessageText(language, kReadyKey));
    if (!result.statistics.isEmpty()) {
        m_ui.lstStat->clear();
        m_ui.lstStat->addItems(result.statistics);
        m_ui.lstStat->show();
    }
    for (const QString& message : result.messages)
        m_prompt->Tell(MainCaption(), message, Prompt::Icon::Information);
    Unblock_Buttons();
    if (result.trace)
        charts().ShowTrace(*result.trace);
    else if (result.end != DownloadEnd::NotChosen)
        m_ui.optFE->setFocus();
}

void frmTransfer::LiveReading(const QString& value)
{
    m_session.Table.gauge = m_session.Gauge;
    MeasurementData& data = m_session.Table;
    // Through the table controller: grid, statistics and key forwarding.
    const auto fill = [this, &data](const QString& record) {
        const int before = data.ReadingCount();
        m_table->FillMessdaten(record);
        return data.ReadingCount() > before ? FillStatus::Added
               : before >= kMaxRows         ? FillStatus::TableFull
                                            : FillStatus::Refused;
    };
    const bool wasOnline = data.state.TableMode == kOnlineSlot;
    const LiveResult live =
        TakeLiveReading(value, data, m_session.Clock().CurrentDateTime(), m_session.Language(), fill);
    if (!live.tableFullMessage.isEmpty() && data.ReadingCount() >= kMaxRows && live.rowsAdded == 0)
        m_prompt->Tell(MainCaption(), live.tableFullMessage, Prompt::Icon::Information);
    if (!wasOnline && live.switchedToOnline)
        m_table->optOnline_Click();
    ShowMemoryStatus(live.memoryText, false);
    Unblock_Buttons();
}

void frmTransfer::mnuSetTime_Click()
{
    if (m_link == nullptr || !m_link->IsConnected())
        return;
    frmTime dialog(*m_link, m_session.Language(), this);
    dialog.exec();
}

void frmTransfer::ShowDeviceInfo()
{
    frmInfo dialog(m_session.Gauge, m_session.Language(), this);
    dialog.exec();
}

} // namespace qc
