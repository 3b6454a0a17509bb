// Commands of the main window on the table: delete, sort, material,
// limits, online and memory options, key forwarding.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "ui/frmTastatur.h"
#include "ui/frmWerte.h"
#include "shell/table_controller.h"
#include "ui/frmTransfer.h"
#include "shell/texts.h"

namespace qc {

namespace {

// MessageTexts keys of the table commands.
constexpr int kNoEntryKey = 34;
constexpr int kReadyKey = 42;
constexpr int kDeleteTableFirstKey = 48;
constexpr int kDeleteTableKey = 50;
constexpr int kDeleteRowKey = 51;
constexpr int kOneRowOnlyKey = 54;
// Answers of the old message boxes, kept as their text form.
const QString kAnswerYes = QStringLiteral("6");
const QString kAnswerNo = QStringLiteral("7");

int KeyProblemText(KeySender::Problem problem)
{
    switch (problem) {
    case KeySender::Problem::NoDisplay:
        return kKeysNoDisplay;
    case KeySender::Problem::StartFailed:
        return kKeysStartFailed;
    case KeySender::Problem::TargetGone:
        return kKeysTargetGone;
    default:
        return kKeysNoWindow;
    }
}

} // namespace

void TableController::cmdFlexTabelleloeschen_Click()
{
    data_.statistics.FirstUnit.clear();
    const bool yes = Ask(Message(kDeleteTableKey), Prompt::Icon::None);
    data_.state.MsgAnswer = yes ? kAnswerYes : kAnswerNo;
    if (!yes)
        return;
    Sync();
    data_.DeleteTable(clock_());
    FillMSFlexOne();
    window_.controls().cmdChart->hide();
}

void TableController::cmdFlexZeileLoeschen_Click()
{
    data_.state.GridRowsBefore = data_.model.rowCount();
    const std::vector<int> marked = data_.model.MarkedGridRows();
    switch (CheckMarkedRows(static_cast<int>(marked.size()))) {
    case MarkCheck::NothingMarked:
        Tell(Message(kNoEntryKey));
        return;
    case MarkCheck::SeveralMarked:
        Tell(Message(kOneRowOnlyKey));
        Reset_Statistic();
        FillMSFlexOne();
        return;
    case MarkCheck::OneMarked:
        break;
    }
    data_.state.MsgAnswer = QStringLiteral("2");
    const bool yes = Ask(Message(kDeleteRowKey), Prompt::Icon::Question);
    data_.state.MsgAnswer = yes ? kAnswerYes : kAnswerNo;
    if (!yes)
        return;
    Sync();
    if (data_.DeleteGridRow(marked.front(), clock_()) == RowDeletion::OnlyWithTable) {
        Ask(Message(kDeleteTableFirstKey), Prompt::Icon::Question); // the answer changes nothing
        return;
    }
    Focus_setzen();
}

void TableController::cmdSort_Click() { data_.model.Sort(); }

void TableController::MSFlex_Click(int gridRow) { data_.model.ToggleMark(gridRow); }

void TableController::cmdMaterial_Click()
{
    Sync();
    data_.SwitchMaterial();
    ShowStatistics();
}

void TableController::cmdWerte_Click()
{
    Limits& limits = window_.settings().limits;
    frmWerte dialog(limits, window_.Language(), window_.gauge().profile.ProfileRule, *prompt_, QLocale::system(),
                    &window_);
    dialog.exec();
    // Entries take effect at once; saving also writes the gauge's limits file.
    if (dialog.LimitsChanged())
        window_.Voreinstellungen(settings_mode::LimitsSave);
    Focus_setzen();
    ShowLimitsCaption();
}

void TableController::Focus_setzen()
{
    if (data_.state.TableMode == kOnlineSlot)
        optOnline_Click();
    else
        optFE_Click();
}

void TableController::optOnline_Click()
{
    const MainWindowControls& ui = window_.controls();
    ui.txtSpeicher->setText(Message(kReadyKey));
    ui.cmdChart->hide();
    ui.cmdGross->hide();
    ui.txtMittelwert->hide();
    data_.state.TableMode = kOnlineSlot;
    window_.TableMode = kOnlineSlot;
    Reset_Statistic();
    ui.lstStat->clear();
    FillMSFlexOne();
    for (QWidget* w : {static_cast<QWidget*>(ui.cmdprint), static_cast<QWidget*>(ui.cmdWord),
                       static_cast<QWidget*>(ui.cmdClipboard), static_cast<QWidget*>(ui.cmdExcel),
                       static_cast<QWidget*>(ui.MSFlex)})
        w->show();
    window_.Unblock_Buttons();
    ui.optOnline->setChecked(true);
}

// The memory option's table part; subscribing the live readings again is
// the gauge link's part.
void TableController::optFE_Click()
{
    const MainWindowControls& ui = window_.controls();
    ui.cmdStop->hide();
    ui.txtSpeicher->setText(Message(kReadyKey));
    ui.cmdChart->hide();
    ui.cmdGross->hide();
    ui.txtMittelwert->hide();
    for (QWidget* w : {static_cast<QWidget*>(ui.cmdprint), static_cast<QWidget*>(ui.cmdWord),
                       static_cast<QWidget*>(ui.cmdClipboard), static_cast<QWidget*>(ui.cmdExcel)})
        w->show();
    Reset_Statistic();
    ui.lstStat->clear();
    data_.state.TableMode = kMemorySlot;
    window_.TableMode = kMemorySlot;
    FillMSFlexOne();
    window_.Unblock_Buttons();
    ui.optFE->setChecked(true);
}

void TableController::ShowKeyDialog()
{
    window_.Voreinstellungen(settings_mode::KeysLoad);
    frmTastatur dialog(window_.settings().keyForwarding, keys_.TargetStarted, window_.Language(), {}, &window_);
    connect(&dialog, &QDialog::accepted, this, [this] {
        window_.Voreinstellungen(settings_mode::KeysSave);
        StartTarget();
    });
    dialog.exec();
}

void TableController::StartTarget()
{
    const KeySender::Problem problem = keys_.StartTarget(window_.settings().keyForwarding);
    if (problem == KeySender::Problem::Ok) {
        if (keys_.TargetStarted)
            toldKeyProblem_ = KeySender::Problem::Ok; // a new target earns a new notice
        return;
    }
    Tell(KeyForwardingText(window_.Language(), KeyProblemText(problem)) +
         window_.settings().keyForwarding.TargetApplication);
}

// Typing is best effort: the reading is in the table whatever happens, and
// a problem is told once until the target is started again.
void TableController::SendKeys(const QStringList& texts)
{
    if (texts.isEmpty())
        return;
    const KeySender::Problem problem = keys_.Send(texts);
    if (problem == KeySender::Problem::Ok || problem == toldKeyProblem_)
        return;
    toldKeyProblem_ = problem;
    Tell(KeyForwardingText(window_.Language(), KeyProblemText(problem)));
}

} // namespace qc
