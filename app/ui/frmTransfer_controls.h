#pragma once

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableView;
class QWidget;

namespace qc {

// Every control of the main window, named as the program names it (the
// same text is each widget's objectName). Owned by the window.
struct MainWindowControls {
    // Menus and their entries.
    QMenu* mnuDatei = nullptr;
    QAction* mnuEnd = nullptr;
    QMenu* Language = nullptr;
    QAction* English = nullptr;
    QAction* German = nullptr;
    QAction* mnuTastaturevent = nullptr;
    QAction* mnuSetTime = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuInfo = nullptr;
    QAction* mnuHelp1 = nullptr;

    // Frames.
    QGroupBox* Frame2 = nullptr;         // "Verbindung"
    QGroupBox* Frame6 = nullptr;         // "Tabelle"
    QGroupBox* FrameWerte = nullptr;     // measured values commands
    QGroupBox* FrameBefehle = nullptr;   // file commands
    QGroupBox* Frame4 = nullptr;         // "Daten kopieren nach"
    QGroupBox* FrameStatistik = nullptr; // brand caption
    QGroupBox* frmPic = nullptr;         // model picture frame

    // Buttons.
    QPushButton* cmdConnect = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdprint = nullptr;
    QPushButton* cmdEnde = nullptr;
    QPushButton* cmdClipboard = nullptr;
    QPushButton* cmdWord = nullptr;
    QPushButton* cmdExcel = nullptr;
    QPushButton* cmdSort = nullptr;
    QPushButton* cmdChart = nullptr;
    QPushButton* cmdFlexZeileLoeschen = nullptr;
    QPushButton* cmdFlexTabelleloeschen = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdProjekt = nullptr;
    QPushButton* cmdWerte = nullptr;
    QPushButton* cmdLesen = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdMaterial = nullptr;
    QPushButton* cmdGross = nullptr;

    // Memory selector.
    QRadioButton* optFE = nullptr;
    QRadioButton* optOnline = nullptr;
    QComboBox* cmbSpeicher = nullptr;
    QLabel* lblSpeicher = nullptr;

    // Texts.
    QLabel* txtWait = nullptr;        // connection status
    QLineEdit* txtSpeicher = nullptr; // memory status
    QLineEdit* txtMittelwert = nullptr;
    QLabel* lblBatterie = nullptr;

    // Table, statistics, chart.
    QTableView* MSFlex = nullptr;
    QListWidget* lstStat = nullptr;
    QWidget* MSChart1 = nullptr; // container; the chart view goes into its layout

    // Pictures.
    QLabel* picQuen = nullptr; // brand logo
    QLabel* picPL = nullptr;   // gauge model picture
    QLabel* picUsb = nullptr;
    QLabel* picBth = nullptr;      // Bluetooth link
    QLabel* picBthBlitz = nullptr; // Bluetooth link lost
    QLabel* picRahmen = nullptr;   // frame behind the model picture
    QLabel* BattIcon = nullptr;
};

} // namespace qc
