#pragma once

#include <QColor>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "data/gauge_profile.h"
#include "shell/branding.h"
#include "shell/folders.h"
#include "shell/frmTransfer_controls.h"
#include "shell/settings_store.h"
#include "shell/texts.h"
#include "shell/transfer_log.h"

class QLabel;

namespace qc {

class ChartCommands;
class frmProjekt;
class ReportCommands;
class TableController;

// The main window: owns the settings values, the texts and the state of
// every control; lives for the whole run.
class frmTransfer : public QMainWindow {
    Q_OBJECT
public:
    // Shows a message box (title, text); replaceable so tests can read it.
    using MessageSink = std::function<void(const QString& title, const QString& text)>;

    explicit frmTransfer(QWidget* parent = nullptr);
    ~frmTransfer() override;

    const MainWindowControls& controls() const { return m_ui; }

    // Folders, log and settings.
    const AppFolders& folders() const { return m_folders; }
    const TransferLog& log() const { return m_log; }
    void WriteLog(const QString& text) const { m_log.WriteLog(text); }
    SettingsStore& settings() { return m_settings; }
    const SettingsStore& settings() const { return m_settings; }

    // Runs one settings operation and reports a failure with a message box.
    void Voreinstellungen(QStringView mode);

    // Language: 0 German, 1 English.
    int Language() const { return m_settings.language; }
    void SetLanguage(int language) { m_settings.language = ClampLanguage(language); }
    void ApplyTexts();
    void English_Click();
    void German_Click();

    // Working controls and memory selector captions.
    void Block_Buttons();
    void Unblock_Buttons();
    void Button_setzen_Init();
    void Button_setzen();
    void OptButton_setzen();

    // Help menu.
    void mnuHelp1_Click();
    void mnuInfo_Click();

    // Ends the program (menu, exit button and closing the window).
    void mnuEnd_Click();

    // Branding after identification: logo, window icon, statistics caption.
    void ApplyBrand(const QString& brandMark, const QString& gaugeNumber);
    // Loads a picture of the program directory into a picture box; a
    // missing or broken file leaves the box empty and is logged.
    bool LoadPicture(QLabel* box, const QString& fileName, bool stretch);

    // The window's style sheet.
    static QString StyleSheet();

    void SetMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    void ShowMessage(const QString& title, const QString& text) const;

    // State shared with the gauge link and the table.
    bool IsConnected() const { return m_connected; }
    void SetConnected(bool connected) { m_connected = connected; }
    bool GaugeIdentified() const { return m_gaugeIdentified; }
    void SetGaugeIdentified(bool identified) { m_gaugeIdentified = identified; }
    // Shows the device information window; set by the gauge link.
    void SetDeviceInfoHandler(std::function<void()> handler) { m_deviceInfo = std::move(handler); }
    GaugeContext& gauge() { return m_gauge; }
    // The measurement table, its grid, statistics, limits and key forwarding.
    TableController& table() { return *m_table; }
    // Save, open, clipboard, word processor and print.
    ReportCommands& reports() { return *m_reports; }
    // Chart button, chart window, spreadsheet export.
    ChartCommands& charts() { return *m_charts; }
    int TableMode = 0;                           // 0 memory table, 2 online table
    QString CountSuffix = QStringLiteral(" (0)"); // " (<rows>)" after a table fill
    QString MemoryOptionCaption;                 // caption of optFE without its count
    bool MemoryShown = false;                    // a memory is shown in the table

    // Values fixed at start-up.
    std::array<QColor, 4> PaletteA;
    std::array<QColor, 5> PaletteB;
    QString ReplyTerminator;
    QChar DecimalSeparator;
    QString CmdQuen10, CmdQuen11, CmdQuen00;

signals:
    // All texts were applied again (start-up, language menu, language file);
    // other windows set their own texts from it.
    void textsApplied(int language);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void BuildMenus();
    void BuildLayout();
    QWidget* BuildConnectionBar();
    QWidget* BuildSidePanel();
    QWidget* BuildCommandBar();
    void ConnectSignals();
    void SetWorkingControlsEnabled(bool enabled);
    void ShowStartupState();
    void InstallManuals();
    void TickLanguageMenu();

    // Hooks of the table and statistics; they do their own work once wired.
    void InitGrid();
    void ResetStatistics();
    void RefreshMemoryCaptions();
    void RedrawStatistics();
    void PrepareTableForInit();

    void cmdProjekt_Click();

    MainWindowControls m_ui;
    AppFolders m_folders;
    TransferLog m_log;
    SettingsStore m_settings;
    GaugeContext m_gauge;
    MessageSink m_messageSink;
    std::function<void()> m_deviceInfo;
    frmProjekt* m_projekt = nullptr;
    std::unique_ptr<TableController> m_table;
    ReportCommands* m_reports = nullptr; // a child of the window
    ChartCommands* m_charts = nullptr;   // a child of the window
    bool m_connected = false;
    bool m_gaugeIdentified = false;
    bool m_ending = false;
};

} // namespace qc
