// Commands of the main window on the table: delete, sort, material,
// limits, online and memory options, key forwarding.
#include <QFileInfo>

#include "data/measurement_file.h"
#include "shell/session.h"
#include "shell/table_controller.h"
#include "shell/table_view.h"
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
    MeasurementData& data = session_.Table;
    data.statistics.FirstUnit.clear();
    const bool yes = Ask(Message(kDeleteTableKey), Prompt::Icon::None);
    data.state.MsgAnswer = yes ? kAnswerYes : kAnswerNo;
    if (!yes)
        return;
    Sync();
    data.DeleteTable(session_.Clock().CurrentDateTime());
    FillMSFlexOne();
    view_.HideChart();
}

void TableController::cmdFlexZeileLoeschen_Click()
{
    MeasurementData& data = session_.Table;
    data.state.GridRowsBefore = data.model.rowCount();
    const std::vector<int> marked = data.model.MarkedGridRows();
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
    data.state.MsgAnswer = QStringLiteral("2");
    const bool yes = Ask(Message(kDeleteRowKey), Prompt::Icon::Question);
    data.state.MsgAnswer = yes ? kAnswerYes : kAnswerNo;
    if (!yes)
        return;
    Sync();
    if (data.DeleteGridRow(marked.front(), session_.Clock().CurrentDateTime()) == RowDeletion::OnlyWithTable) {
        Ask(Message(kDeleteTableFirstKey), Prompt::Icon::Question); // the answer changes nothing
        return;
    }
    Focus_setzen();
}

void TableController::cmdSort_Click() { session_.Table.model.Sort(); }

void TableController::MSFlex_Click(int gridRow) { session_.Table.model.ToggleMark(gridRow); }

void TableController::cmdMaterial_Click()
{
    Sync();
    session_.Table.SwitchMaterial();
    ShowStatistics();
}

// Only "Speichern" changes the limits; Esc leaves table and controls as they are.
void TableController::cmdWerte_Click()
{
    Limits limits = session_.Settings.limits;
    if (!view_.EditLimits(limits, session_.Gauge.profile.ProfileRule))
        return;
    session_.Settings.limits = limits;
    Settings(settings_mode::LimitsSave);
    Focus_setzen();
    ShowLimitsCaption();
}

void TableController::Focus_setzen()
{
    if (session_.Mode() == TableMode::Online)
        optOnline_Click();
    else
        optFE_Click();
}

// The option keeps the file's name; the counts of later fills follow it.
void TableController::ShowMeasurementFile(const QString& path, int rows)
{
    const QString name = QFileInfo(path).fileName();
    session_.SetMode(TableMode::Memory);
    session_.MemoryOptionCaption = name;
    session_.MemoryOptionText = name;
    session_.MemoryShown = true;
    view_.ShowMeasurementFile(MesMemoryCaption(path, rows));
    FillMSFlexOne();
}

void TableController::ChooseTable(TableMode mode)
{
    view_.ShowMemoryStatus(Message(kReadyKey), false);
    view_.ShowTableChosen(mode);
    Reset_Statistic();
    session_.SetMode(mode);
    FillMSFlexOne();
    view_.SetWorkingControlsEnabled(true);
}

void TableController::optOnline_Click() { ChooseTable(TableMode::Online); }

// The memory option's table part; subscribing the live readings again is
// the gauge link's part.
void TableController::optFE_Click() { ChooseTable(TableMode::Memory); }

void TableController::ShowKeyDialog()
{
    Settings(settings_mode::KeysLoad);
    KeyForwardingSettings settings = session_.Settings.keyForwarding;
    if (!view_.EditKeyForwarding(settings))
        return;
    if (settings.TargetApplication != session_.Settings.keyForwarding.TargetApplication)
        keys_.TargetStarted = false;
    session_.Settings.keyForwarding = settings;
    Settings(settings_mode::KeysSave);
    StartTarget();
}

void TableController::StartTarget()
{
    const KeySender::Problem problem = keys_.StartTarget(session_.Settings.keyForwarding);
    if (problem == KeySender::Problem::Ok) {
        if (keys_.TargetStarted)
            toldKeyProblem_ = KeySender::Problem::Ok; // a new target earns a new notice
        return;
    }
    Tell(KeyForwardingText(session_.Language(), KeyProblemText(problem)) +
         session_.Settings.keyForwarding.TargetApplication);
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
    Tell(KeyForwardingText(session_.Language(), KeyProblemText(problem)));
}

} // namespace qc
