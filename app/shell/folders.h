#pragma once

#include <QString>

namespace qc {

// Environment overrides of the two folders (tests and portable set-ups).
inline constexpr const char* kSettingsDirVariable = "QUENCONNECT_SETTINGS_DIR";
inline constexpr const char* kDataDirVariable = "QUENCONNECT_DATA_DIR";

// Installed data folder of the program, relative to the binary's folder.
inline constexpr const char* kInstalledDataSubdir = "../share/quenconnect";

struct AppFolders {
    QString ProgramDir;  // pictures, icons, the manuals as shipped
    QString SettingsDir; // settings files, the log, the manuals the Help menu opens
    QString DataDir;     // measurement files
};

// $QUENCONNECT_SETTINGS_DIR, else $XDG_CONFIG_HOME/Quen Connect
// (~/.config/Quen Connect).
QString SettingsDirFromEnvironment();

// $QUENCONNECT_DATA_DIR, else $XDG_DATA_HOME/Quen Connect
// (~/.local/share/Quen Connect).
QString DataDirFromEnvironment();

// <prefix>/share/quenconnect when the binary is installed in <prefix>/bin,
// else the binary's own folder (the build tree keeps everything in bin/).
QString ProgramDirFor(const QString& executableDir);

// $XDG_RUNTIME_DIR, else the temporary folder: where the instance lock lives.
QString RuntimeDir();

// Creates the folder and its parents when missing; true when it exists.
bool EnsureDirectory(const QString& path);

} // namespace qc
