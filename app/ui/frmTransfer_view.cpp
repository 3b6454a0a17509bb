// The main window as the table's view: grid, statistics list, options and
// the limits and key forwarding dialogs.
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

#include "data/measurement_grid_model.h"
#include "ui/frmTastatur.h"
#include "ui/frmTransfer.h"
#include "ui/frmWerte.h"

namespace qc {
namespace {

constexpr int kMemoryBoxWidenedTwips = 1400;

} // namespace

// Grid geometry: fixed-pitch cells, whole-row selection, no focus frame.
void frmTransfer::BindModel(MeasurementGridModel& model)
{
    QTableView* view = m_ui.MSFlex;
    view->setModel(&model);
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
    const QFontMetrics metrics(model.GridFont());
    constexpr int kCellPadding = 16;
    for (int c = 0; c < grid::kColumnCount; ++c)
        view->setColumnWidth(c,
                             std::max(grid::kColumnWidthTwips[c] / grid::kTwipsPerPixel,
                                      metrics.horizontalAdvance(QString(grid::kColumnChars[c], u'0')) + kCellPadding));
    view->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
}

void frmTransfer::ShowGrid() { m_ui.MSFlex->show(); }

void frmTransfer::ScrollToRow(int gridRow)
{
    if (QAbstractItemModel* model = m_ui.MSFlex->model())
        m_ui.MSFlex->scrollTo(model->index(gridRow, 0));
}

void frmTransfer::ShowStatistics(const QStringList& lines)
{
    m_ui.lstStat->clear();
    m_ui.lstStat->addItems(lines);
}

// The logo stands in for the statistics while there are too few readings.
void frmTransfer::ShowLogo(bool logo)
{
    m_ui.picQuen->setVisible(logo);
    m_ui.lstStat->setVisible(!logo);
    if (logo) {
        m_ui.cmdGross->hide();
        m_ui.cmdMaterial->hide();
        m_ui.cmdChart->hide();
    }
}

void frmTransfer::ShowMaterialButton(const QString& caption, bool visible)
{
    if (!caption.isEmpty())
        m_ui.cmdMaterial->setText(caption);
    m_ui.cmdMaterial->setVisible(visible);
}

void frmTransfer::ShowLimitsCaption(const QString& caption) { m_ui.cmdWerte->setText(caption); }

void frmTransfer::ShowOptionCaption(TableMode mode, const QString& caption)
{
    (mode == TableMode::Online ? m_ui.optOnline : m_ui.optFE)->setText(caption);
}

void frmTransfer::ShowMemoryStatus(const QString& text, bool widen)
{
    QLineEdit* box = m_ui.txtSpeicher;
    if (widen) {
        box->setMinimumWidth(std::max(box->minimumWidth(), kMemoryBoxWidenedTwips / grid::kTwipsPerPixel));
        box->show();
    }
    box->setText(text);
}

void frmTransfer::ShowTableChosen(TableMode mode)
{
    if (mode == TableMode::Memory)
        m_ui.cmdStop->hide();
    for (QWidget* w : {static_cast<QWidget*>(m_ui.cmdChart), static_cast<QWidget*>(m_ui.cmdGross),
                       static_cast<QWidget*>(m_ui.txtMittelwert)})
        w->hide();
    m_ui.lstStat->clear();
    for (QWidget* w : {static_cast<QWidget*>(m_ui.cmdprint), static_cast<QWidget*>(m_ui.cmdWord),
                       static_cast<QWidget*>(m_ui.cmdClipboard), static_cast<QWidget*>(m_ui.cmdExcel),
                       static_cast<QWidget*>(m_ui.MSFlex)})
        w->show();
    (mode == TableMode::Online ? m_ui.optOnline : m_ui.optFE)->setChecked(true);
}

void frmTransfer::ShowMeasurementFile(const QString& caption)
{
    m_ui.optFE->setText(caption);
    m_ui.optFE->show();
    m_ui.optFE->setChecked(true);
    for (QWidget* w : {static_cast<QWidget*>(m_ui.cmdprint), static_cast<QWidget*>(m_ui.cmdExcel),
                       static_cast<QWidget*>(m_ui.cmdClipboard), static_cast<QWidget*>(m_ui.cmdWord)})
        w->show();
}

void frmTransfer::HideChart() { m_ui.cmdChart->hide(); }

void frmTransfer::ArrangeMemoryControls(MemoryControls controls)
{
    if (controls == MemoryControls::None) {
        m_ui.cmdLesen->hide();
        m_ui.optFE->hide();
        m_ui.cmdRefresh->hide();
        return;
    }
    m_ui.cmdLesen->show();
    m_ui.optFE->hide();
    m_ui.cmbSpeicher->show();
    m_ui.cmdRefresh->show();
}

bool frmTransfer::EditLimits(Limits& limits, const QString& profileRule)
{
    frmWerte dialog(limits, m_session.Language(), profileRule, *m_prompt, QLocale::system(), this);
    dialog.exec();
    return dialog.LimitsChanged();
}

bool frmTransfer::EditKeyForwarding(KeyForwardingSettings& settings)
{
    bool targetStarted = true; // the controller decides about the target
    frmTastatur dialog(settings, targetStarted, m_session.Language(), *m_prompt, {}, this);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace qc
