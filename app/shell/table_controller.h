#pragma once

#include <QString>
#include <QStringList>

#include "data/measurement_data.h"
#include "shell/key_sender.h"
#include "shell/prompt.h"

namespace qc {

class Session;
class TableView;
enum class TableMode;

// The measurement table, its statistics, the limits and key forwarding
// between the session and the window that shows them: the grid, the
// statistics list, the table and limits commands, the memory and online
// options. Runs without widgets; the window is reached through TableView.
class TableController {
public:
    TableController(Session& session, TableView& view, Prompt& prompt);
    ~TableController();
    TableController(const TableController&) = delete;
    TableController& operator=(const TableController&) = delete;

    MeasurementData& Data();
    KeySender& Keys() { return keys_; }
    // Message boxes go through this; tests put in their own.
    void SetPrompt(Prompt& prompt) { prompt_ = &prompt; }

    // One gauge record into the current slot (memory readings and live
    // readings). Between BeginFill and EndFill the grid and the list are
    // brought up to date once, at the end.
    void FillMessdaten(const QString& recordText);
    void BeginFill();
    void EndFill();

    void FillMSFlexOne();
    void InitGrid();
    void Reset_Statistic();
    void RecalcStatistics();
    void ShowLimitsCaption();
    // Memory caption in the current language (class "4").
    void RefreshMemoryOption();
    // Option captions with zero rows, and with the count of the last fill.
    void Button_setzen_Init();
    void Button_setzen();
    // Memory controls for the gauge class; the empty-memory notice.
    void ArrangeMemoryControls();
    void Meldung_Speicher_Leer();
    // Redraws the shown table through its option (memory or online).
    void Focus_setzen();
    // The measurement file at `path`, its `rows` readings taken into the
    // memory slot, becomes the shown table under the file's name.
    void ShowMeasurementFile(const QString& path, int rows);

    // Commands of the main window.
    void cmdFlexTabelleloeschen_Click();
    void cmdFlexZeileLoeschen_Click();
    void cmdSort_Click();
    void cmdMaterial_Click();
    void cmdWerte_Click();
    void optOnline_Click();
    void optFE_Click();
    void MSFlex_Click(int gridRow);
    void ShowKeyDialog();
    // Starts the key forwarding target once (after "TL" or the dialog).
    void StartTarget();

private:
    void Sync();
    void SyncTexts();
    void ShowStatistics();
    void ShowLastRow();
    void ShowCount();
    void ChooseTable(TableMode mode);
    void SendKeys(const QStringList& texts);
    void Tell(const QString& text, Prompt::Icon icon = Prompt::Icon::None);
    bool Ask(const QString& text, Prompt::Icon icon);
    void Settings(QStringView mode);
    QString Message(int key) const;
    QString OptionCaption(TableMode mode, const QString& count) const;
    QString& ShownCount(TableMode mode);

    Session& session_;
    TableView& view_;
    Prompt* prompt_;
    KeySender keys_;
    bool filling_ = false;
    KeySender::Problem toldKeyProblem_ = KeySender::Problem::Ok;
    QStringList shownStatistics_;
    QString shownCount_[2] = {QStringLiteral(" (0)"), QStringLiteral(" (0)")}; // memory, online
};

} // namespace qc
