// What the program is doing, as the main window's status bar says it.
#pragma once

#include <QString>

namespace qc {

enum class Activity {
    Idle,       // no gauge connected, nothing running
    Scanning,   // looking for gauges
    Connecting, // connecting to `Gauge`
    Connected,  // connected to `Gauge`, nothing running
    Reading,    // reading `Done` of `Total` readings from `Gauge`
};

// The state the gauge link and the table feed the status bar with.
struct StatusState {
    Activity activity = Activity::Idle;
    QString Gauge; // the gauge's name or number as the user knows it
    int Done = 0;
    int Total = 0; // 0 or less when the total is not known yet
    bool Demo = false;
};

// "Verbunden mit QV 12345" / "Connected to QV 12345"; a demo run says so at
// the end. Counts are shown as they come, kept within 0..Total.
QString StatusText(int language, const StatusState& state);

} // namespace qc
