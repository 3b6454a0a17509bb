#pragma once

#include <QString>

namespace qc {

// "DE_Manual_Quen_Connect.pdf" for German, "EN_Manual_Quen_Connect.pdf" for English.
QString ManualFileName(int language);

// The Help menu opens the manual from the settings folder; the program
// folder holds the shipped copies. A missing or older copy in the settings
// folder is replaced; failures leave the folder as it was.
void InstallManuals(const QString& programDir, const QString& settingsDir);

} // namespace qc
