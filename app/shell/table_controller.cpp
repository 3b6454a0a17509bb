#include "shell/table_controller.h"

#include "data/limits_check.h"
#include "data/statistics.h"
#include "shell/session.h"
#include "shell/table_view.h"
#include "shell/texts.h"

namespace qc {

namespace {

// MessageTexts keys used by the table.
constexpr int kNumberHeaderKey = 0;
constexpr int kValueHeaderKey = 1;
constexpr int kUnitHeaderKey = 2;
constexpr int kOnlineKey = 8;
constexpr int kMemoryWordKey = 32;
constexpr int kDateTimeHeaderKey = 71;
constexpr int kYesKey = 58;
constexpr int kNoKey = 59;
constexpr int kTableFullKey = 53;
const QString kMeasurementFileMark = QStringLiteral(".mes");
const QString kZeroCount = QStringLiteral(" (0)");

StatisticsTexts StatisticsTextsFor(int language)
{
    StatisticsTexts t;
    t.Count = StatText(language, 1);
    t.Maximum = StatText(language, 2);
    t.Minimum = StatText(language, 3);
    t.Average = StatText(language, 4);
    t.StdDev = StatText(language, 5);
    t.Title = StatText(language, 6);
    t.NotPossible[0] = StatText(language, 7);
    t.NotPossible[1] = StatText(language, 8);
    t.NotPossible[2] = StatText(language, 9);
    t.Abs = StatText(language, 11);
    t.Rule8020 = StatText(language, 14);
    t.Yes = MessageText(language, kYesKey);
    t.No = MessageText(language, kNoKey);
    return t;
}

} // namespace

TableController::TableController(Session& session, TableView& view, Prompt& prompt)
    : session_(session)
    , view_(view)
    , prompt_(&prompt)
{
    view_.BindModel(session_.Table.model);
    Sync();
}

TableController::~TableController() = default;

MeasurementData& TableController::Data() { return session_.Table; }

void TableController::SyncTexts()
{
    MeasurementData& data = session_.Table;
    const int L = session_.Language();
    data.gridTexts.headerNumber = MessageText(L, kNumberHeaderKey);
    data.gridTexts.headerValue = MessageText(L, kValueHeaderKey);
    data.gridTexts.headerUnit = MessageText(L, kUnitHeaderKey);
    data.gridTexts.headerDateTime = MessageText(L, kDateTimeHeaderKey);
    data.statTexts = StatisticsTextsFor(L);
    data.memoryCaption = MemoryCaption(session_.Gauge.profile.ProfileClass, MessageText(L, kMemoryWordKey),
                                       session_.SelectedMemoryName, session_.MemoryFileComment, session_.MemoryNumber);
    data.selectedMemoryName = session_.SelectedMemoryName;
}

// The session's gauge, limits, key settings and language into the table.
void TableController::Sync()
{
    MeasurementData& data = session_.Table;
    data.gauge = session_.Gauge;
    data.limits = session_.Settings.limits;
    data.keys = session_.Settings.keyForwarding;
    data.locale = QLocale::system();
    SyncTexts();
    data.ApplyContext();
}

QString TableController::Message(int key) const { return MessageText(session_.Language(), key); }

void TableController::Tell(const QString& text, Prompt::Icon icon)
{
    prompt_->Tell(Message(kCaptionTextKey), text, icon);
}

bool TableController::Ask(const QString& text, Prompt::Icon icon)
{
    return prompt_->AskYesNo(Message(kCaptionTextKey), text, icon);
}

// A settings operation whose failure the user is told.
void TableController::Settings(QStringView mode)
{
    if (const auto failure = session_.Voreinstellungen(mode))
        Tell(failure->Message());
}

// The list is handed to the view only when its lines changed.
void TableController::ShowStatistics()
{
    Statistics& statistics = session_.Table.statistics;
    const QStringList& lines = statistics.Lines();
    if (lines != shownStatistics_ || lines.isEmpty()) {
        shownStatistics_ = lines;
        view_.ShowStatistics(lines);
    }
    view_.ShowMaterialButton(statistics.MaterialButton.Caption, statistics.MaterialButton.Visible);
}

void TableController::ShowLastRow()
{
    if (const auto last = session_.Table.model.ShowLastRow())
        view_.ScrollToRow(*last);
}

QString TableController::OptionCaption(TableMode mode, const QString& count) const
{
    if (mode == TableMode::Online)
        return Message(kOnlineKey) + count;
    return session_.MemoryOptionText + count;
}

void TableController::Button_setzen_Init()
{
    if (session_.Mode() == TableMode::Memory)
        session_.MemoryOptionText = session_.MemoryOptionCaption;
    ShownCount(session_.Mode()) = kZeroCount;
    view_.ShowOptionCaption(session_.Mode(), OptionCaption(session_.Mode(), kZeroCount));
}

QString& TableController::ShownCount(TableMode mode) { return shownCount_[mode == TableMode::Online ? 1 : 0]; }

void TableController::Button_setzen()
{
    ShownCount(session_.Mode()) = session_.CountSuffix;
    view_.ShowOptionCaption(session_.Mode(), OptionCaption(session_.Mode(), session_.CountSuffix));
    session_.CountSuffix = kZeroCount;
}

// The row count in the caption of the option of the shown table.
void TableController::ShowCount()
{
    const MeasurementData& data = session_.Table;
    if (!data.state.FileLoaded && session_.Mode() == TableMode::Memory &&
        session_.MemoryOptionText.contains(kMeasurementFileMark))
        Button_setzen_Init();
    session_.CountSuffix = data.state.CountSuffix;
    Button_setzen();
}

void TableController::FillMessdaten(const QString& recordText)
{
    MeasurementData& data = session_.Table;
    data.gauge = session_.Gauge;
    data.keys = session_.Settings.keyForwarding;
    data.limits = session_.Settings.limits;
    const GridContext& shown = data.model.Context();
    if (shown.limits != data.limits || shown.profile != data.gauge.profile)
        data.ApplyContext(); // limits or gauge changed since the last redraw
    const MeasurementData::RowAdded added = data.FillMessdaten(recordText, session_.Clock().CurrentDateTime());
    if (added.status == FillStatus::Refused) {
        session_.Log.WriteLog(added.refusal);
        return;
    }
    if (added.status == FillStatus::TableFull && added.tellTableFull)
        Tell(Message(kTableFullKey) + u' ' + QString::number(kMaxRows));
    if (added.status != FillStatus::Added)
        return;
    if (!filling_) {
        ShowCount();
        ShowStatistics();
        ShowLastRow();
        view_.ShowLogo(added.row < 2);
    }
    SendKeys(added.keyTexts);
}

void TableController::BeginFill()
{
    Sync();
    filling_ = true;
    session_.Table.model.BeginBatch();
}

void TableController::EndFill()
{
    filling_ = false;
    session_.Table.model.EndBatch();
    ShowCount();
    ShowStatistics();
    ShowLastRow();
    view_.ShowLogo(session_.Table.ReadingCount() < 2);
}

void TableController::FillMSFlexOne()
{
    Sync();
    session_.Table.FillMSFlexOne(session_.Clock().CurrentDateTime());
    ShowStatistics();
    view_.ShowLogo(session_.Table.ReadingCount() < 1);
    ShowCount();
    ShowLastRow();
    view_.ShowGrid();
}

void TableController::InitGrid()
{
    Sync();
    session_.Table.model.InitGrid();
}

void TableController::Reset_Statistic()
{
    session_.Table.ResetStatistic();
    ShowStatistics();
}

void TableController::RecalcStatistics()
{
    Sync();
    session_.Table.RecalcStatistics();
    ShowStatistics();
}

void TableController::ShowLimitsCaption()
{
    view_.ShowLimitsCaption(qc::ShowLimitsCaption(session_.Settings.limits, session_.Gauge.identity.ModelCode,
                                                  Message(limit_msg::kLimitsCaption), QLocale::system()));
}

void TableController::RefreshMemoryOption()
{
    if (session_.Gauge.profile.ProfileClass.trimmed() != u"4" || session_.MemoryOptionText.isEmpty())
        return;
    SyncTexts();
    session_.MemoryOptionText = session_.Table.memoryCaption;
    view_.ShowOptionCaption(TableMode::Memory, OptionCaption(TableMode::Memory, shownCount_[0]));
    view_.ShowOptionCaption(TableMode::Online, OptionCaption(TableMode::Online, shownCount_[1]));
}

} // namespace qc
