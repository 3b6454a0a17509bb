// Work the table and the statistics do for the main window. They are empty
// until the measurement table and the statistics display are wired in.
#include "shell/frmTransfer.h"

namespace qc {

// Header of the measurement table in the current language.
void frmTransfer::InitGrid() {}

// Statistics back to "no values".
void frmTransfer::ResetStatistics() {}

// Captions of the memory selector after a language change.
void frmTransfer::RefreshMemoryCaptions() {}

// Statistics display in the current language.
void frmTransfer::RedrawStatistics() {}

// Table routine that runs before the memory selector is reset to no rows.
void frmTransfer::PrepareTableForInit() {}

} // namespace qc
