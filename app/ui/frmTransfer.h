#pragma once

#include <QMainWindow>
#include <QUrl>
#include <functional>
#include <memory>

#include "gauge/gauge_identification.h"
#include "shell/session.h"
#include "shell/status_text.h"
#include "shell/table_view.h"
#include "ui/frmTransfer_controls.h"
#include "ui/message_box_prompt.h"
#include "ui/report_commands.h"

class QLabel;

namespace qc {

class BLE;
class ChartCommands;
class GaugeLink;
class MemoryDownload;
struct DownloadResult;
class frmProjekt;
class GaugeConnection;
struct RequestResult;
class TableController;

// A menu text with the "&" before the letter Alt opens it with; an "&" of
// the text itself is doubled so it shows.
QString MenuTextWithMnemonic(int language, int key);

// The main window: shows the session (settings values, texts, table) and
// forwards the user's actions; lives for the whole run.
class frmTransfer : public QMainWindow, private TableView, private ReportWindow {
    Q_OBJECT
public:
    // Opens a document with the desktop's program for it; false when none could.
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit frmTransfer(Session& session, QWidget* parent = nullptr);
    ~frmTransfer() override;

    Session& session() { return m_session; }
    // The measurement table, its grid, statistics, limits and key forwarding.
    TableController& table() { return *m_table; }
    // Save, open, clipboard, word processor and print.
    ReportCommands& reports() { return *m_reports; }
    // Chart button, chart window, spreadsheet export.
    ChartCommands& charts() { return *m_charts; }

    // Message boxes of the window and its table; tests put in their own.
    void SetPrompt(Prompt* prompt);

    // Runs one settings operation and reports a failure with a message box.
    void Voreinstellungen(QStringView mode);

    void ApplyTexts();
    void English_Click();
    void German_Click();

    // Working controls and the focus of the table options.
    void Block_Buttons();
    void Unblock_Buttons();
    void OptButton_setzen();

    // Help menu.
    void mnuHelp1_Click();
    void mnuInfo_Click();
    void SetUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

    // Ends the program (menu, exit button and closing the window).
    void mnuEnd_Click();

    // Branding after identification: logo, window icon, statistics caption.
    void ApplyBrand(const QString& brandMark, const QString& gaugeNumber);
    // The gauge model's picture from the program folder; a missing or broken
    // file leaves the box empty and is logged.
    bool ShowModelPicture(const QString& fileName);

    // Shows the device information window; set by the gauge link.
    void SetDeviceInfoHandler(std::function<void()> handler) { m_deviceInfo = std::move(handler); }

    // The window's style sheet.
    static QString StyleSheet();

    // Gauge memories and live readings (frmTransfer_memory.cpp). The link
    // of the connection, or nullptr; live readings it hands on go to the
    // online table.
    void SetGaugeLink(GaugeLink* link);
    // After connecting: identification, model, brand, profile, per-gauge
    // settings, battery. False (the user told) when the gauge did not answer.
    bool Initialisierung(const QString& deviceName);
    // The memory list into the selector (after connecting, refresh button).
    void SpeicherInfo();
    // Reads the selected memory; the Stop button ends it.
    void cmdLesen_Click();
    void cmdStop_Click();
    bool DownloadRunning() const { return m_download != nullptr; }
    void LiveReading(const QString& value);
    void ShowBattery(BatteryLevel level, double volts);
    // Set-time dialog and device information window.
    void mnuSetTime_Click();
    void ShowDeviceInfo();
    // The gauge connection and the connection window, made when first
    // needed.
    GaugeConnection& Gauge();
    BLE& ConnectionWindow();
    // Connect button: connect through the connection window, reconnect, or
    // disconnect, by its caption.
    void cmdConnect_Click();
    // The connection display; true when the gauge is connected.
    bool Verbindungscheck();
    // Runs once the link is up and discovered (`reconnected` after the
    // reconnect button): identification and the memory list.
    void SetGaugeReadyHandler(std::function<void(bool reconnected)> handler) { m_gaugeReady = std::move(handler); }
    // Runs one request to the gauge with the working controls blocked and
    // the Stop button live; a failure is logged and told in plain words.
    RequestResult RunGaugeRequest(const std::function<RequestResult(GaugeLink&)>& request);
    // Shows what the program is doing (m_session.Status) in the status bar,
    // in the current language; the gauge link calls it when its state moves.
    void RefreshStatus();
    QString StatusBarText() const;

signals:
    // All texts were applied again (start-up, language menu, language file);
    // other windows set their own texts from it.
    void textsApplied(int language);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // TableView
    void BindModel(MeasurementGridModel& model) override;
    void ShowGrid() override;
    void ScrollToRow(int gridRow) override;
    void ShowStatistics(const QStringList& lines) override;
    void ShowLogo(bool logo) override;
    void ShowMaterialButton(const QString& caption, bool visible) override;
    void ShowLimitsCaption(const QString& caption) override;
    void ShowOptionCaption(TableMode mode, const QString& caption) override;
    void ShowMemoryStatus(const QString& text, bool widen) override;
    void ShowTableChosen(TableMode mode) override;
    void HideChart() override;
    void ArrangeMemoryControls(MemoryControls controls) override;
    void ShowMeasurementFile(const QString& caption) override;
    void SetWorkingControlsEnabled(bool enabled) override;
    bool EditLimits(Limits& limits, const QString& profileRule) override;
    bool EditKeyForwarding(KeyForwardingSettings& settings) override;

    // ReportWindow
    QWidget* DialogParent() override { return this; }
    void SetReportBusy(bool busy) override { SetWorkingControlsEnabled(!busy); }
    std::optional<QTime> ProjectTime() const override;

    void Form_Load();
    void BuildMenus();
    void BuildLayout();
    QWidget* BuildConnectionBar();
    QWidget* BuildSidePanel();
    QWidget* BuildCommandBar();
    void ConnectSignals();
    void ConnectTableCommands();
    void ConnectReportCommands();
    void ShowStartupState();
    void TickLanguageMenu();
    void SwitchLanguage(int language);
    void ShowMessage(const QString& title, const QString& text);
    bool LoadPicture(QLabel* box, const QString& fileName, bool stretch);

    void cmdProjekt_Click();
    void ConnectMemoryCommands();
    void ShowDownload(const DownloadResult& result);

    void ConnectConnectionCommands();
    void ShowLinkDisplay();
    void DisconnectGaugeAtEnd();
    void BuildShortcuts();
    void ApplyMenuTexts(int language);
    void RestoreWindowGeometry();
    void SaveWindowGeometry();

    Session& m_session;
    MainWindowControls m_ui;
    MessageBoxPrompt m_messageBoxes{this, [this] { return m_session.Language(); }};
    QLabel* m_statusText = nullptr;
    Prompt* m_prompt = &m_messageBoxes;
    UrlOpener m_openUrl;
    std::function<void()> m_deviceInfo;
    frmProjekt* m_projekt = nullptr;
    std::unique_ptr<TableController> m_table;
    std::unique_ptr<ReportCommands> m_reports;
    std::unique_ptr<ChartCommands> m_charts;
    bool m_ending = false;
    GaugeLink* m_link = nullptr;
    MemoryDownload* m_download = nullptr;
    QStringList m_offeredFiles; // class 5: the names the last listing offered
    std::unique_ptr<GaugeConnection> m_gauge;
    BLE* m_ble = nullptr;
    std::function<void(bool)> m_gaugeReady;
};

} // namespace qc
