#include "shell/table_controller.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "data/limits_check.h"
#include "ui/frmTransfer.h"
#include "shell/texts.h"

namespace qc {

namespace {

// MessageTexts keys used by the table.
constexpr int kNumberHeaderKey = 0;
constexpr int kValueHeaderKey = 1;
constexpr int kUnitHeaderKey = 2;
constexpr int kMemoryWordKey = 32;
constexpr int kDateTimeHeaderKey = 71;
constexpr int kYesKey = 58;
constexpr int kNoKey = 59;
constexpr int kTableFullKey = 53;
const QString kMeasurementFileMark = QStringLiteral(".mes");

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

TableController::TableController(frmTransfer& window)
    : QObject(&window)
    , window_(window)
{
    SetupView();
    Sync();
    const MainWindowControls& ui = window_.controls();
    connect(ui.cmdFlexTabelleloeschen, &QPushButton::clicked, this, &TableController::cmdFlexTabelleloeschen_Click);
    connect(ui.cmdFlexZeileLoeschen, &QPushButton::clicked, this, &TableController::cmdFlexZeileLoeschen_Click);
    connect(ui.cmdSort, &QPushButton::clicked, this, &TableController::cmdSort_Click);
    connect(ui.cmdMaterial, &QPushButton::clicked, this, &TableController::cmdMaterial_Click);
    connect(ui.cmdWerte, &QPushButton::clicked, this, &TableController::cmdWerte_Click);
    connect(ui.optOnline, &QRadioButton::clicked, this, &TableController::optOnline_Click);
    connect(ui.optFE, &QRadioButton::clicked, this, &TableController::optFE_Click);
    connect(ui.MSFlex, &QTableView::clicked, this, [this](const QModelIndex& i) { MSFlex_Click(i.row()); });
    connect(ui.mnuTastaturevent, &QAction::triggered, this, &TableController::ShowKeyDialog);
}

TableController::~TableController() = default;

// Grid geometry: fixed-pitch cells, whole-row selection, no focus frame.
void TableController::SetupView()
{
    QTableView* view = window_.controls().MSFlex;
    view->setModel(&data_.model);
    view->setAlternatingRowColors(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Marks are the row colours; a selection highlight would hide them.
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setFocusPolicy(Qt::NoFocus);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setFrameShape(QFrame::Box);
    view->horizontalHeader()->setHighlightSections(false);
    // The old widths, widened where this font needs more room.
    const QFontMetrics metrics(data_.model.GridFont());
    constexpr int kCellPadding = 16;
    for (int c = 0; c < grid::kColumnCount; ++c)
        view->setColumnWidth(c, std::max(grid::kColumnWidthTwips[c] / grid::kTwipsPerPixel,
                                         metrics.horizontalAdvance(QString(grid::kColumnChars[c], u'0')) + kCellPadding));
    view->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
}

void TableController::SyncTexts()
{
    const int L = window_.Language();
    data_.gridTexts.headerNumber = MessageText(L, kNumberHeaderKey);
    data_.gridTexts.headerValue = MessageText(L, kValueHeaderKey);
    data_.gridTexts.headerUnit = MessageText(L, kUnitHeaderKey);
    data_.gridTexts.headerDateTime = MessageText(L, kDateTimeHeaderKey);
    data_.statTexts = StatisticsTextsFor(L);
    const GaugeContext& gauge = window_.gauge();
    data_.memoryCaption = MemoryCaption(gauge.profile.ProfileClass, MessageText(L, kMemoryWordKey),
                                        window_.controls().cmbSpeicher->currentText(), MemoryFileComment,
                                        MemoryNumber);
    data_.selectedMemoryName = window_.controls().cmbSpeicher->currentText();
}

// The window's globals (gauge, limits, key settings, language) into the table.
void TableController::Sync()
{
    data_.gauge = window_.gauge();
    data_.limits = window_.settings().limits;
    data_.keys = window_.settings().keyForwarding;
    data_.locale = QLocale::system();
    SyncTexts();
    data_.ApplyContext();
}

QString TableController::Message(int key) const { return MessageText(window_.Language(), key); }

void TableController::Tell(const QString& text, Prompt::Icon icon)
{
    prompt_->Tell(&window_, MessageText(window_.Language(), kCaptionTextKey), text, icon);
}

bool TableController::Ask(const QString& text, Prompt::Icon icon)
{
    return prompt_->AskYesNo(&window_, MessageText(window_.Language(), kCaptionTextKey), text, icon);
}

void TableController::ShowStatistics()
{
    const MainWindowControls& ui = window_.controls();
    ui.lstStat->clear();
    ui.lstStat->addItems(data_.statistics.Lines());
    const auto& button = data_.statistics.MaterialButton;
    ui.cmdMaterial->setText(button.Caption.isEmpty() ? ui.cmdMaterial->text() : button.Caption);
    ui.cmdMaterial->setVisible(button.Visible);
}

// The logo stands in for the statistics while there are too few readings.
void TableController::ShowLogo(bool logo)
{
    const MainWindowControls& ui = window_.controls();
    ui.picQuen->setVisible(logo);
    ui.lstStat->setVisible(!logo);
    if (logo) {
        ui.cmdGross->hide();
        ui.cmdMaterial->hide();
        ui.cmdChart->hide();
    }
}

void TableController::ShowLastRow()
{
    if (const auto last = data_.model.ShowLastRow())
        window_.controls().MSFlex->scrollTo(data_.model.index(*last, 0));
}

// The row count in the caption of the option of the shown table.
void TableController::ShowCount()
{
    window_.TableMode = data_.state.TableMode;
    if (!data_.state.FileLoaded && data_.state.TableMode == kMemorySlot &&
        window_.controls().optFE->text().contains(kMeasurementFileMark))
        window_.Button_setzen_Init();
    window_.CountSuffix = data_.state.CountSuffix;
    window_.Button_setzen();
}

void TableController::FillMessdaten(const QString& recordText)
{
    data_.gauge = window_.gauge();
    data_.keys = window_.settings().keyForwarding;
    data_.limits = window_.settings().limits;
    const GridContext& shown = data_.model.Context();
    if (shown.limits != data_.limits || shown.profile != data_.gauge.profile)
        data_.ApplyContext(); // limits or gauge changed since the last redraw
    const MeasurementData::RowAdded added = data_.FillMessdaten(recordText, clock_());
    if (added.status == FillStatus::TableFull && added.tellTableFull)
        Tell(Message(kTableFullKey) + u' ' + QString::number(kMaxRows));
    if (added.status != FillStatus::Added)
        return;
    ShowCount();
    if (!filling_) {
        ShowStatistics();
        ShowLastRow();
        ShowLogo(added.row < 2);
    }
    SendKeys(added.keyTexts);
}

void TableController::BeginFill()
{
    Sync();
    filling_ = true;
    data_.model.BeginBatch();
}

void TableController::EndFill()
{
    filling_ = false;
    data_.model.EndBatch();
    ShowStatistics();
    ShowLastRow();
    ShowLogo(data_.ReadingCount() < 2);
}

void TableController::FillMSFlexOne()
{
    Sync();
    data_.FillMSFlexOne(clock_());
    ShowStatistics();
    ShowLogo(data_.ReadingCount() < 1);
    ShowCount();
    ShowLastRow();
    window_.controls().MSFlex->show();
}

void TableController::InitGrid()
{
    Sync();
    data_.model.InitGrid();
}

void TableController::Reset_Statistic()
{
    data_.ResetStatistic();
    ShowStatistics();
}

void TableController::RecalcStatistics()
{
    Sync();
    data_.RecalcStatistics();
    ShowStatistics();
}

void TableController::ShowLimitsCaption()
{
    window_.controls().cmdWerte->setText(qc::ShowLimitsCaption(window_.settings().limits,
                                                               window_.gauge().identity.ModelCode,
                                                               Message(limit_msg::kLimitsCaption), QLocale::system()));
}

void TableController::RefreshMemoryOption()
{
    QRadioButton* option = window_.controls().optFE;
    if (window_.gauge().profile.ProfileClass.trimmed() != u"4" || option->text().isEmpty())
        return;
    const qsizetype bracket = option->text().indexOf(u'(');
    const QString kept = bracket >= 0 ? option->text().mid(bracket) : QString();
    SyncTexts();
    option->setText(data_.memoryCaption + u' ' + kept);
}

} // namespace qc
