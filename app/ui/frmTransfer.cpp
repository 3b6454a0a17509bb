#include "ui/frmTransfer.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>

#include "gauge/gauge_connection.h"
#include "imaging/StdPictureEx.h"
#include "shell/app_identity.h"
#include "shell/demo_mode.h"
#include "shell/table_controller.h"
#include "shell/window_geometry.h"
#include "ui/chart_commands.h"
#include "ui/frmProjekt.h"
#include "ui/report_commands.h"

namespace qc {
namespace {

constexpr QRgb kStatusTextColour = qRgb(0, 0, 255);
constexpr QSize kDefaultWindowSize(1180, 760);
// A restored window smaller than this comes from a damaged record.
constexpr QSize kSmallestRestoredSize(320, 200);

} // namespace

frmTransfer::frmTransfer(Session& session, QWidget* parent)
    : QMainWindow(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmTransfer"));
    setStyleSheet(StyleSheet());
    BuildLayout();
    ConnectSignals();
    m_table = std::make_unique<TableController>(m_session, static_cast<TableView&>(*this), *m_prompt);
    m_reports = std::make_unique<ReportCommands>(m_session, *m_table, static_cast<ReportWindow&>(*this), *m_prompt);
    m_charts = std::make_unique<ChartCommands>(m_session, *m_table, *m_reports, static_cast<ReportWindow&>(*this), m_ui,
                                               *m_prompt);
    ConnectTableCommands();
    ConnectReportCommands();
    ConnectConnectionCommands();
    Form_Load();
    resize(kDefaultWindowSize);
    RestoreWindowGeometry();
}

frmTransfer::~frmTransfer() = default;

// Start-up, in the order the rest of the program relies on.
void frmTransfer::Form_Load()
{
    m_session.Start(QCoreApplication::applicationDirPath());
    ShowStartupState();

    setWindowTitle(DemoMarked(MainCaption()));
    ApplyTexts();
    Block_Buttons();
    m_session.SetMode(TableMode::Memory);
    m_table->InitGrid();

    m_ui.MSFlex->show();
    m_ui.cmdConnect->show();
    TickLanguageMenu();

    m_table->Reset_Statistic();
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
    m_ui.picUsb->hide();

    for (QWidget* w : std::initializer_list<QWidget*>{m_ui.lstStat, m_ui.MSChart1, m_ui.cmdChart, m_ui.cmdGross,
                                                      m_ui.cmdMaterial, m_ui.txtMittelwert, m_ui.cmdLesen})
        w->hide();
    m_ui.txtSpeicher->show();
    QPalette status = m_ui.txtWait->palette();
    status.setColor(QPalette::WindowText, QColor(kStatusTextColour));
    m_ui.txtWait->setPalette(status);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_ui.BattIcon, m_ui.lblBatterie, m_ui.cmbSpeicher, m_ui.lblSpeicher,
                                         m_ui.cmdRefresh, m_ui.picPL, m_ui.picBth, m_ui.frmPic})
        w->hide();

    // Pictures that do not depend on the gauge.
    LoadPicture(m_ui.picBth, QStringLiteral("Bluetooth.png"), true);
    LoadPicture(m_ui.picBthBlitz, QStringLiteral("BluetoothLost.png"), true);
    LoadPicture(m_ui.picUsb, QStringLiteral("Usb.png"), true);
    LoadPicture(m_ui.BattIcon, QStringLiteral("Battery.png"), true);
    LoadPicture(m_ui.picRahmen, QStringLiteral("Rahmen.jpg"), true);
    LoadPicture(m_ui.picQuen, QStringLiteral("Quenlogo.jpg"), true);
    // The maker's icon until a gauge's brand is known, with the program's
    // icon drawn for every size, so it stays sharp on scaled screens.
    QIcon windowIcon;
    const QImage icon = StdPictureEx::Load(m_session.Folders.ProgramDir + QStringLiteral("/Quen.ico"));
    if (!icon.isNull())
        windowIcon.addPixmap(QPixmap::fromImage(icon));
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage sized =
            StdPictureEx::Load(m_session.Folders.ProgramDir + QStringLiteral("/QuenConnect_%1.png").arg(size));
        if (!sized.isNull())
            windowIcon.addPixmap(QPixmap::fromImage(sized));
    }
    if (!windowIcon.isNull())
        setWindowIcon(windowIcon);
    m_ui.cmdRefresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
}

void frmTransfer::RefreshStatus()
{
    if (!m_statusText)
        return;
    StatusState state = m_session.Status;
    if (state.activity == Activity::Idle && m_session.Connected)
        state.activity = Activity::Connected;
    if (state.Gauge.trimmed().isEmpty()) {
        const GaugeIdentity& gauge = m_session.Gauge.identity;
        state.Gauge = QStringList{gauge.DeviceName.trimmed(), gauge.GaugeNumber.trimmed()}.join(u' ').trimmed();
    }
    state.Demo = state.Demo || IsDemoMode();
    m_statusText->setText(StatusText(m_session.Language(), state));
}

QString frmTransfer::StatusBarText() const { return m_statusText ? m_statusText->text() : QString(); }

// The window opens where it was closed last; a missing or damaged record
// leaves the default size. A cut-off record can restore as a window of a
// pixel or two, which the user could neither see nor grab.
void frmTransfer::RestoreWindowGeometry()
{
    const auto geometry = LoadWindowGeometry(m_session.Folders.SettingsDir);
    if (!geometry)
        return;
    const QPoint defaultPosition = pos();
    const bool restored = restoreGeometry(*geometry);
    if (!restored || width() < kSmallestRestoredSize.width() || height() < kSmallestRestoredSize.height()) {
        setWindowState(Qt::WindowNoState);
        resize(kDefaultWindowSize);
        move(defaultPosition);
    }
}

void frmTransfer::SaveWindowGeometry()
{
    if (!qc::SaveWindowGeometry(m_session.Folders.SettingsDir, saveGeometry()))
        m_session.Log.WriteLog(QStringLiteral("Window position not saved: ") +
                               WindowStateFile(m_session.Folders.SettingsDir));
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
    connect(m_ui.cmbSpeicher, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { m_session.SelectedMemoryName = text; });
    ConnectMemoryCommands();
}

void frmTransfer::ConnectTableCommands()
{
    TableController* table = m_table.get();
    connect(m_ui.cmdFlexTabelleloeschen, &QPushButton::clicked, this,
            [table] { table->cmdFlexTabelleloeschen_Click(); });
    connect(m_ui.cmdFlexZeileLoeschen, &QPushButton::clicked, this, [table] { table->cmdFlexZeileLoeschen_Click(); });
    connect(m_ui.cmdSort, &QPushButton::clicked, this, [table] { table->cmdSort_Click(); });
    connect(m_ui.cmdMaterial, &QPushButton::clicked, this, [table] { table->cmdMaterial_Click(); });
    connect(m_ui.cmdWerte, &QPushButton::clicked, this, [table] { table->cmdWerte_Click(); });
    connect(m_ui.optOnline, &QRadioButton::clicked, this, [table] { table->optOnline_Click(); });
    connect(m_ui.optFE, &QRadioButton::clicked, this, [table] { table->optFE_Click(); });
    connect(m_ui.MSFlex, &QTableView::clicked, this, [table](const QModelIndex& i) { table->MSFlex_Click(i.row()); });
    connect(m_ui.mnuTastaturevent, &QAction::triggered, this, [table] { table->ShowKeyDialog(); });
}

void frmTransfer::ConnectReportCommands()
{
    ReportCommands* reports = m_reports.get();
    connect(m_ui.cmdSave, &QPushButton::clicked, this, [reports] { reports->cmdSave_Click(); });
    connect(m_ui.cmdOpen, &QPushButton::clicked, this, [reports] { reports->cmdOpen_Click(); });
    connect(m_ui.cmdClipboard, &QPushButton::clicked, this, [reports] { reports->cmdClipboard_Click(); });
    connect(m_ui.cmdWord, &QPushButton::clicked, this, [reports] { reports->cmdWord_Click(); });
    connect(m_ui.cmdprint, &QPushButton::clicked, this, [reports] { reports->cmdprint_Click(); });
}

std::optional<QTime> frmTransfer::ProjectTime() const
{
    if (!m_projekt)
        return std::nullopt;
    return m_projekt->Time();
}

void frmTransfer::SetPrompt(Prompt* prompt)
{
    m_prompt = prompt ? prompt : &m_messageBoxes;
    m_table->SetPrompt(*m_prompt);
    m_reports->SetPrompt(*m_prompt);
    m_charts->SetPrompt(*m_prompt);
}

void frmTransfer::Voreinstellungen(QStringView mode)
{
    const auto failure = m_session.Voreinstellungen(mode);
    if (failure)
        ShowMessage(MainCaption(), failure->Message());
    if (mode == settings_mode::LanguageLoad) {
        ApplyTexts();
        m_table->InitGrid();
        m_table->RefreshMemoryOption();
        TickLanguageMenu();
    }
}

void frmTransfer::ShowMessage(const QString& title, const QString& text)
{
    m_prompt->Tell(title, text, Prompt::Icon::None);
}

// Project data button: labels, then the gauge's data, then the dialog.
void frmTransfer::cmdProjekt_Click()
{
    if (!m_projekt) {
        m_projekt = new frmProjekt(m_session, *m_prompt, this);
        connect(m_projekt, &frmProjekt::saveRequested, this,
                [this] { Voreinstellungen(settings_mode::ProjectDataSave); });
        connect(this, &frmTransfer::textsApplied, m_projekt, &frmProjekt::ApplyTexts);
    }
    Voreinstellungen(settings_mode::ProjectLabelsLoad);
    Voreinstellungen(settings_mode::ProjectDataLoad);
    m_projekt->ShowLoaded();
}

} // namespace qc
