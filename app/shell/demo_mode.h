// The demo mode: the program on simulated gauges (`--simulate [FOLDER]`),
// marked plainly wherever a reading could be taken for a real one.
#pragma once

#include <QString>
#include <QStringList>

namespace qc {

inline constexpr const char* kSimulateOption = "--simulate";

struct DemoRequest {
    bool requested = false;
    QString folder;  // empty: the built-in gauges
    QString error;   // "--simulate" with a folder that does not exist
};

// "--simulate" alone, or followed by a folder (an argument not starting
// with "-"). The arguments without the program name.
DemoRequest ParseDemoRequest(const QStringList& arguments);

// Points the control at the simulated radio with the gauge module beside
// the program (and at FOLDER's gauges). Must run before the control is
// created.
void EnterDemoMode(const QString& executableDir, const QString& folder);

// True when the control runs on the simulated radio.
bool IsDemoMode();

// The text with the demo mark when in demo mode: caption and connection text.
QString DemoMarked(const QString& text);

// The terminal line that says which gauges the demo runs on.
QString DemoAnnouncement(const QString& folder);

} // namespace qc
