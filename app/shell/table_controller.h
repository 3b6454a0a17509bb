#pragma once

#include <QDateTime>
#include <QObject>
#include <functional>
#include <memory>

#include "data/measurement_data.h"
#include "shell/key_sender.h"
#include "ui/message_box_prompt.h"

namespace qc {

class frmTransfer;

// Binds the measurement table, its statistics, the limits and key
// forwarding to the main window: the grid MSFlex, the list lstStat, the
// table and limits buttons, the memory and online options.
class TableController : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    explicit TableController(frmTransfer& window);
    ~TableController() override;

    MeasurementData& Data() { return data_; }
    KeySender& Keys() { return keys_; }
    // Message boxes go through this; tests put in their own.
    void SetPrompt(Prompt* prompt) { prompt_ = prompt ? prompt : &messageBoxes_; }
    void SetClock(Clock clock) { clock_ = std::move(clock); }

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
    void RefreshMemoryOption();
    // Memory controls for the gauge class; the empty-memory notice.
    void ArrangeMemoryControls();
    void Meldung_Speicher_Leer();
    // Redraws the shown table through its option (memory or online).
    void Focus_setzen();

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

    // Memory shown: the number read last (class "4") or the selector's
    // file comment (class "5"); set by the memory download.
    int MemoryNumber = 0;
    QString MemoryFileComment;

private:
    void SetupView();
    void Sync();
    void SyncTexts();
    void ShowStatistics();
    void ShowLogo(bool logo);
    void ShowLastRow();
    void ShowCount();
    void SendKeys(const QStringList& texts);
    void Tell(const QString& text, Prompt::Icon icon = Prompt::Icon::None);
    bool Ask(const QString& text, Prompt::Icon icon);
    QString Message(int key) const;

    frmTransfer& window_;
    MeasurementData data_;
    KeySender keys_;
    MessageBoxPrompt messageBoxes_;
    Prompt* prompt_ = &messageBoxes_;
    Clock clock_ = [] { return QDateTime::currentDateTime(); };
    bool filling_ = false;
    KeySender::Problem toldKeyProblem_ = KeySender::Problem::Ok;
};

} // namespace qc
