#include "shell/frmTransfer.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>

#include "imaging/StdPictureEx.h"
#include "shell/app_identity.h"
#include "data/ui/table_controller.h"
#include "shell/frmProjekt.h"
#include "output/ui/chart_commands.h"
#include "output/ui/report_commands.h"

namespace qc {
namespace {

constexpr QRgb kStatusTextColour = qRgb(0, 0, 255);
const QString kCrLf = QStringLiteral("\r\n");

} // namespace

frmTransfer::frmTransfer(QWidget* parent)
    : QMainWindow(parent)
    , m_settings(QString(), QLocale::system())
{
    setObjectName(QStringLiteral("frmTransfer"));
    setStyleSheet(StyleSheet());
    BuildLayout();
    ConnectSignals();
    m_table = std::make_unique<TableController>(*this);
    m_reports = new ReportCommands(*this);
    m_charts = new ChartCommands(*this);
    Form_Load();
    resize(1180, 760);
}

frmTransfer::~frmTransfer() = default;

// Start-up, in the order the rest of the program relies on.
void frmTransfer::Form_Load()
{
    ReplyTerminator = QStringLiteral("!") + kCrLf;
    const QString probe = QLocale::system().toString(1.3);
    DecimalSeparator = probe.size() > 1 ? probe.at(1) : QChar(u'.');

    PaletteA = {QColor(204, 204, 204), QColor(255, 255, 255), QColor(158, 232, 155), QColor(239, 162, 162)};
    PaletteB = {QColor(242, 180, 123), QColor(0, 100, 0), QColor(255, 165, 0), QColor(32, 157, 188),
                QColor(214, 61, 61)};

    CmdQuen10 = QStringLiteral("$quen10$") + kCrLf;
    CmdQuen11 = QStringLiteral("$quen11$") + kCrLf;
    CmdQuen00 = QStringLiteral("$quen00$") + kCrLf;

    m_folders.ProgramDir = ProgramDirFor(QCoreApplication::applicationDirPath());
    m_folders.SettingsDir = SettingsDirFromEnvironment();
    m_folders.DataDir = DataDirFromEnvironment();
    EnsureDirectory(m_folders.SettingsDir);
    EnsureDirectory(m_folders.DataDir);
    m_log.SetPath(TransferLog::PathIn(m_folders.SettingsDir));
    m_settings.SetSettingsDir(m_folders.SettingsDir);
    m_settings.SetLog(&m_log);
    InstallManuals();

    ShowStartupState();

    setWindowTitle(MainCaption());
    SetLanguage(Language()); // a stored value above 1 means English
    ApplyTexts();
    Block_Buttons();
    TableMode = 0;
    InitGrid();

    m_ui.MSFlex->show();
    m_ui.cmdConnect->show();
    TickLanguageMenu();

    ResetStatistics();
    m_connected = false;
    m_gaugeIdentified = false;
    MemoryShown = false;
    Block_Buttons();
}

// Hidden and shown controls before any gauge is connected.
void frmTransfer::ShowStartupState()
{
    m_ui.FrameWerte->hide();
    m_ui.FrameStatistik->hide();
    m_ui.FrameBefehle->hide();
    m_ui.cmdProjekt->hide();
    m_ui.cmdWerte->hide();
    m_ui.frmPic->show();
    m_log.DeleteLog();
    m_ui.picUsb->hide();

    for (QWidget* w : std::initializer_list<QWidget*>{m_ui.lstStat, m_ui.MSChart1, m_ui.cmdChart, m_ui.cmdGross,
                                                     m_ui.cmdMaterial, m_ui.txtMittelwert, m_ui.cmdLesen})
        w->hide();
    m_ui.txtSpeicher->show();
    QPalette status = m_ui.txtWait->palette();
    status.setColor(QPalette::WindowText, QColor(kStatusTextColour));
    m_ui.txtWait->setPalette(status);
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui.BattIcon, m_ui.lblBatterie, m_ui.cmbSpeicher,
                                                     m_ui.lblSpeicher, m_ui.cmdRefresh, m_ui.picPL, m_ui.picBth,
                                                     m_ui.frmPic})
        w->hide();

    // Pictures that do not depend on the gauge.
    LoadPicture(m_ui.picBth, QStringLiteral("Bluetooth.png"), true);
    LoadPicture(m_ui.picBthBlitz, QStringLiteral("BluetoothLost.png"), true);
    LoadPicture(m_ui.picUsb, QStringLiteral("Usb.png"), true);
    LoadPicture(m_ui.BattIcon, QStringLiteral("Battery.png"), true);
    LoadPicture(m_ui.picRahmen, QStringLiteral("Rahmen.jpg"), true);
    LoadPicture(m_ui.picQuen, QStringLiteral("Quenlogo.jpg"), true);
    // The maker's icon until a gauge's brand is known.
    const QImage icon = StdPictureEx::Load(m_folders.ProgramDir + QStringLiteral("/Quen.ico"));
    if (!icon.isNull())
        setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    m_ui.cmdRefresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
}

void frmTransfer::ConnectSignals()
{
    connect(m_ui.mnuEnd, &QAction::triggered, this, &frmTransfer::mnuEnd_Click);
    connect(m_ui.cmdEnde, &QPushButton::clicked, this, &frmTransfer::mnuEnd_Click);
    connect(m_ui.English, &QAction::triggered, this, &frmTransfer::English_Click);
    connect(m_ui.German, &QAction::triggered, this, &frmTransfer::German_Click);
    connect(m_ui.mnuHelp1, &QAction::triggered, this, &frmTransfer::mnuHelp1_Click);
    connect(m_ui.mnuInfo, &QAction::triggered, this, &frmTransfer::mnuInfo_Click);
    connect(m_ui.cmdProjekt, &QPushButton::clicked, this, &frmTransfer::cmdProjekt_Click);
}

void frmTransfer::Voreinstellungen(QStringView mode)
{
    const auto failure = m_settings.Voreinstellungen(mode);
    if (failure)
        ShowMessage(MainCaption(), failure->Message());
    if (mode == settings_mode::LanguageLoad) {
        ApplyTexts();
        InitGrid();
        RefreshMemoryCaptions();
        TickLanguageMenu();
    }
}

void frmTransfer::ShowMessage(const QString& title, const QString& text) const
{
    if (m_messageSink) {
        m_messageSink(title, text);
        return;
    }
    QMessageBox::information(const_cast<frmTransfer*>(this), title, text, QMessageBox::Ok);
}

// Project data button: labels, then the gauge's data, then the dialog.
void frmTransfer::cmdProjekt_Click()
{
    if (!m_projekt)
        m_projekt = new frmProjekt(this);
    Voreinstellungen(settings_mode::ProjectLabelsLoad);
    Voreinstellungen(settings_mode::ProjectDataLoad);
    m_projekt->ShowLoaded();
}

} // namespace qc
