// Work the table and the statistics do for the main window. Until the
// measurement table and the statistics display are wired in, the grid shows
// its column headers and the rest does nothing.
#include <QStandardItemModel>
#include <QTableView>

#include "shell/frmTransfer.h"
#include "shell/texts.h"

namespace qc {

// Header of the measurement table in the current language.
void frmTransfer::InitGrid()
{
    auto* model = qobject_cast<QStandardItemModel*>(m_ui.MSFlex->model());
    if (!model) {
        model = new QStandardItemModel(0, 4, m_ui.MSFlex);
        m_ui.MSFlex->setModel(model);
    }
    const int L = Language();
    model->setHorizontalHeaderLabels({MessageText(L, 0), MessageText(L, 1), MessageText(L, 2), MessageText(L, 46)});
}

// Statistics back to "no values".
void frmTransfer::ResetStatistics() {}

// Captions of the memory selector after a language change.
void frmTransfer::RefreshMemoryCaptions() {}

// Statistics display in the current language.
void frmTransfer::RedrawStatistics() {}

// Table routine that runs before the memory selector is reset to no rows.
void frmTransfer::PrepareTableForInit() {}

} // namespace qc
