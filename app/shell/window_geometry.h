// Where the main window was and how large: kept beside the settings files,
// so the next start opens the window there again.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace qc {

inline constexpr const char* kWindowStateFileName = "quenconnect-window.ini";

QString WindowStateFile(const QString& settingsDir);

// The geometry saved last; nothing when none was saved or the file cannot
// be read.
std::optional<QByteArray> LoadWindowGeometry(const QString& settingsDir);

// False when the file cannot be written (the settings folder is gone or
// read-only); the program goes on with its default size next time.
bool SaveWindowGeometry(const QString& settingsDir, const QByteArray& geometry);

} // namespace qc
