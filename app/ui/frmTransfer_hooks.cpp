// Work the table and the statistics do for the main window.
#include "shell/table_controller.h"
#include "ui/frmTransfer.h"

namespace qc {

// Header of the measurement table in the current language.
void frmTransfer::InitGrid()
{
    if (m_table)
        m_table->InitGrid();
}

// Statistics back to "no values".
void frmTransfer::ResetStatistics()
{
    if (m_table)
        m_table->Reset_Statistic();
}

// Captions of the memory selector after a language change.
void frmTransfer::RefreshMemoryCaptions()
{
    if (m_table)
        m_table->RefreshMemoryOption();
}

// Statistics display and limits caption in the current language.
void frmTransfer::RedrawStatistics()
{
    if (!m_table)
        return;
    m_table->RecalcStatistics();
    m_table->ShowLimitsCaption();
}

// Table routine that runs before the memory selector is reset to no rows.
void frmTransfer::PrepareTableForInit() {}

} // namespace qc
