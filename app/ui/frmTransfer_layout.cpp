// Builds the controls of the main window and arranges them with layouts.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include "data/fixed_pitch_font.h"
#include "ui/frmTransfer.h"

namespace qc {
namespace {

constexpr int kSidePanelWidth = 300;
constexpr int kStatusIconSize = 24;
constexpr QSize kLogoSize(260, 70);
constexpr QSize kModelPictureSize(240, 180);

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* Button(const char* name, const QString& caption)
{
    auto* button = Named(new QPushButton(caption), name);
    button->setAutoDefault(false);
    return button;
}

QLabel* Picture(const char* name, QSize size)
{
    auto* label = Named(new QLabel, name);
    label->setFixedSize(size);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QGroupBox* Frame(const char* name, const QString& caption) { return Named(new QGroupBox(caption), name); }

} // namespace

void frmTransfer::BuildMenus()
{
    QMenuBar* bar = menuBar();
    m_ui.mnuDatei = Named(bar->addMenu(QStringLiteral("&File")), "mnuDatei");
    m_ui.mnuEnd = Named(m_ui.mnuDatei->addAction(QStringLiteral("&End program")), "mnuEnd");

    m_ui.Language = Named(bar->addMenu(QStringLiteral("&Language")), "Language");
    m_ui.English = Named(m_ui.Language->addAction(QStringLiteral("&English")), "English");
    m_ui.German = Named(m_ui.Language->addAction(QStringLiteral("&German")), "German");
    m_ui.English->setCheckable(true);
    m_ui.German->setCheckable(true);

    m_ui.mnuTastaturevent = Named(bar->addAction(QStringLiteral("&Tastaturevents")), "mnuTastaturevent");
    m_ui.mnuSetTime = Named(bar->addAction(QStringLiteral("&SetTime")), "mnuSetTime");

    m_ui.mnuHelp = Named(bar->addMenu(QStringLiteral("&Help")), "mnuHelp");
    m_ui.mnuInfo = Named(m_ui.mnuHelp->addAction(QStringLiteral("Info")), "mnuInfo");
    m_ui.mnuHelp1 = Named(m_ui.mnuHelp->addAction(QStringLiteral("Bedienungsanleitung")), "mnuHelp1");
}

QWidget* frmTransfer::BuildConnectionBar()
{
    m_ui.Frame2 = Frame("Frame2", QStringLiteral("Verbindung"));
    m_ui.cmdConnect = Button("cmdConnect", QStringLiteral("Connect"));
    m_ui.cmdConnect->setMinimumWidth(140);
    m_ui.picBth = Picture("picBth", QSize(kStatusIconSize, kStatusIconSize));
    m_ui.picBthBlitz = Picture("picBthBlitz", QSize(kStatusIconSize, kStatusIconSize));
    m_ui.picUsb = Picture("picUsb", QSize(kStatusIconSize, kStatusIconSize));
    m_ui.txtWait = Named(new QLabel(QStringLiteral("Please wait.....")), "txtWait");
    m_ui.BattIcon = Picture("BattIcon", QSize(kStatusIconSize * 2, kStatusIconSize));
    m_ui.lblBatterie = Named(new QLabel(QStringLiteral("Batterie")), "lblBatterie");

    auto* row = new QHBoxLayout(m_ui.Frame2);
    row->addWidget(m_ui.cmdConnect);
    row->addSpacing(8);
    row->addWidget(m_ui.picBth);
    row->addWidget(m_ui.picBthBlitz);
    row->addWidget(m_ui.picUsb);
    row->addWidget(m_ui.txtWait, 1);
    row->addWidget(m_ui.lblBatterie);
    row->addWidget(m_ui.BattIcon);
    return m_ui.Frame2;
}

QWidget* frmTransfer::BuildSidePanel()
{
    // The frames set the width, so the panel takes no room while they are hidden.
    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    m_ui.FrameStatistik = Frame("FrameStatistik", QStringLiteral("Orvanta GmbH"));
    m_ui.picQuen = Picture("picQuen", kLogoSize);
    m_ui.lstStat = Named(new QListWidget, "lstStat");
    m_ui.lstStat->setMinimumHeight(150);
    m_ui.lstStat->setFont(FixedPitchFont());
    m_ui.txtMittelwert = Named(new QLineEdit, "txtMittelwert");
    m_ui.txtMittelwert->setReadOnly(true);
    m_ui.txtMittelwert->setAlignment(Qt::AlignRight);
    auto* stats = new QVBoxLayout(m_ui.FrameStatistik);
    stats->addWidget(m_ui.picQuen, 0, Qt::AlignHCenter);
    stats->addWidget(m_ui.lstStat, 1);
    stats->addWidget(m_ui.txtMittelwert);

    m_ui.frmPic = Frame("frmPic", QString());
    m_ui.picRahmen = Picture("picRahmen", kModelPictureSize);
    m_ui.picPL = Picture("picPL", kModelPictureSize - QSize(24, 24));
    auto* framed = new QVBoxLayout(m_ui.picRahmen);
    framed->addWidget(m_ui.picPL, 0, Qt::AlignCenter);
    auto* pictures = new QVBoxLayout(m_ui.frmPic);
    pictures->addWidget(m_ui.picRahmen, 0, Qt::AlignHCenter);

    for (QWidget* frame : {static_cast<QWidget*>(m_ui.FrameStatistik), static_cast<QWidget*>(m_ui.frmPic)})
        frame->setFixedWidth(kSidePanelWidth);
    column->addWidget(m_ui.FrameStatistik, 1);
    column->addWidget(m_ui.frmPic);
    column->addStretch(0);
    return panel;
}

QWidget* frmTransfer::BuildCommandBar()
{
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);

    m_ui.FrameBefehle = Frame("FrameBefehle", QStringLiteral("Befehle"));
    m_ui.cmdOpen = Button("cmdOpen", QStringLiteral("Öffnen"));
    m_ui.cmdSave = Button("cmdSave", QStringLiteral("Speichern"));
    m_ui.cmdprint = Button("cmdprint", QStringLiteral("Drucken"));
    auto* commands = new QVBoxLayout(m_ui.FrameBefehle);
    auto* files = new QHBoxLayout;
    commands->addLayout(files);
    files->addWidget(m_ui.cmdOpen);
    files->addWidget(m_ui.cmdSave);
    files->addWidget(m_ui.cmdprint);

    m_ui.Frame4 = Frame("Frame4", QStringLiteral("Daten kopieren nach"));
    m_ui.cmdClipboard = Button("cmdClipboard", QStringLiteral("Clipboard"));
    m_ui.cmdWord = Button("cmdWord", QStringLiteral("MS Word"));
    m_ui.cmdExcel = Button("cmdExcel", QStringLiteral("MS Excel"));
    auto* copies = new QHBoxLayout(m_ui.Frame4);
    copies->addWidget(m_ui.cmdClipboard);
    copies->addWidget(m_ui.cmdWord);
    copies->addWidget(m_ui.cmdExcel);
    commands->addWidget(m_ui.Frame4); // hidden and shown with the commands frame

    m_ui.FrameWerte = Frame("FrameWerte", QStringLiteral("Messwerte"));
    m_ui.cmdWerte = Button("cmdWerte", QStringLiteral("Grenzwerte"));
    m_ui.cmdProjekt = Button("cmdProjekt", QStringLiteral("Projekdaten"));
    m_ui.cmdSort = Button("cmdSort", QStringLiteral("Sort"));
    m_ui.cmdChart = Button("cmdChart", QStringLiteral("Chart"));
    m_ui.cmdMaterial = Button("cmdMaterial", QStringLiteral("Material"));
    m_ui.cmdGross = Button("cmdGross", QStringLiteral("Gross"));
    m_ui.cmdFlexZeileLoeschen = Button("cmdFlexZeileLoeschen", QStringLiteral("Zeile löschen"));
    m_ui.cmdFlexTabelleloeschen = Button("cmdFlexTabelleloeschen", QStringLiteral("Tabelle löschen"));
    auto* grid = new QGridLayout(m_ui.FrameWerte);
    QPushButton* const order[] = {m_ui.cmdWerte,
                                  m_ui.cmdProjekt,
                                  m_ui.cmdSort,
                                  m_ui.cmdChart,
                                  m_ui.cmdMaterial,
                                  m_ui.cmdGross,
                                  m_ui.cmdFlexZeileLoeschen,
                                  m_ui.cmdFlexTabelleloeschen};
    for (int i = 0; i < static_cast<int>(std::size(order)); ++i)
        grid->addWidget(order[i], i / 4, i % 4);

    m_ui.cmdEnde = Button("cmdEnde", QStringLiteral("Beenden"));
    m_ui.cmdEnde->setMinimumWidth(120);
    row->addWidget(m_ui.FrameBefehle);
    row->addWidget(m_ui.FrameWerte);
    row->addStretch(1);
    row->addWidget(m_ui.cmdEnde, 0, Qt::AlignBottom);
    return bar;
}

void frmTransfer::BuildLayout()
{
    BuildMenus();

    m_ui.Frame6 = Frame("Frame6", QStringLiteral("Tabelle"));
    m_ui.optFE = Named(new QRadioButton(QStringLiteral("FE-Speicher")), "optFE");
    m_ui.optOnline = Named(new QRadioButton(QStringLiteral("Online")), "optOnline");
    m_ui.lblSpeicher = Named(new QLabel, "lblSpeicher");
    m_ui.cmbSpeicher = Named(new QComboBox, "cmbSpeicher");
    m_ui.cmbSpeicher->setMinimumWidth(160);
    m_ui.cmdRefresh = Button("cmdRefresh", QString());
    m_ui.cmdLesen = Button("cmdLesen", QStringLiteral("Speicher einlesen"));
    m_ui.cmdStop = Button("cmdStop", QStringLiteral("Stopp"));
    m_ui.txtSpeicher = Named(new QLineEdit(QStringLiteral("Bereit")), "txtSpeicher");
    m_ui.txtSpeicher->setReadOnly(true);
    m_ui.txtSpeicher->setMaximumWidth(220);
    m_ui.MSFlex = Named(new QTableView, "MSFlex");
    m_ui.MSFlex->setAlternatingRowColors(true);
    m_ui.MSFlex->horizontalHeader()->setStretchLastSection(true);
    m_ui.MSFlex->verticalHeader()->setVisible(false);
    m_ui.MSChart1 = Named(new QWidget, "MSChart1");
    new QVBoxLayout(m_ui.MSChart1);

    auto* selector = new QHBoxLayout;
    selector->addWidget(m_ui.optFE);
    selector->addWidget(m_ui.optOnline);
    selector->addSpacing(12);
    selector->addWidget(m_ui.lblSpeicher);
    selector->addWidget(m_ui.cmbSpeicher);
    selector->addWidget(m_ui.cmdRefresh);
    selector->addWidget(m_ui.cmdLesen);
    selector->addWidget(m_ui.cmdStop);
    selector->addStretch(1);
    selector->addWidget(m_ui.txtSpeicher);
    auto* table = new QVBoxLayout(m_ui.Frame6);
    table->addLayout(selector);
    table->addWidget(m_ui.MSFlex, 1);
    table->addWidget(m_ui.MSChart1, 1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_ui.Frame6, 1);
    middle->addWidget(BuildSidePanel());

    auto* central = new QWidget;
    auto* page = new QVBoxLayout(central);
    page->setContentsMargins(10, 8, 10, 10);
    page->setSpacing(8);
    page->addWidget(BuildConnectionBar());
    page->addLayout(middle, 1);
    page->addWidget(BuildCommandBar());
    setCentralWidget(central);

    m_statusText = Named(new QLabel, "lblStatus");
    statusBar()->setObjectName(QStringLiteral("staStatus"));
    statusBar()->addWidget(m_statusText, 1);
    BuildShortcuts();
}

// Keys of the common commands. A key does what its button does, and only
// while the button can be clicked.
void frmTransfer::BuildShortcuts()
{
    m_ui.mnuEnd->setShortcut(QKeySequence::Quit);
    m_ui.mnuHelp1->setShortcut(QKeySequence::HelpContents);
    const struct {
        QPushButton* Button;
        QKeySequence Key;
    } keys[] = {
        {m_ui.cmdOpen, QKeySequence::Open},
        {m_ui.cmdSave, QKeySequence::Save},
        {m_ui.cmdprint, QKeySequence::Print},
        {m_ui.cmdClipboard, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
        {m_ui.cmdConnect, QKeySequence(Qt::CTRL | Qt::Key_B)},
    };
    for (const auto& k : keys) {
        auto* shortcut = new QShortcut(k.Key, this);
        shortcut->setObjectName(QStringLiteral("key_") + k.Button->objectName());
        QPushButton* button = k.Button;
        connect(shortcut, &QShortcut::activated, this, [this, button] {
            if (button->isEnabled() && button->isVisibleTo(this))
                button->click();
        });
        button->setToolTip(k.Key.toString(QKeySequence::NativeText));
    }
}

} // namespace qc
