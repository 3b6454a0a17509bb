// The radio the program runs on: the computer's Bluetooth adapter when the
// control finds one, else the simulated gauges of the demo mode.
#pragma once

#include <QString>

namespace qc {

// True when the control, on the radio the environment names, can start a
// scan (which is stopped at once); `why` receives the control's reason
// when it cannot.
bool AdapterPresent(QString* why = nullptr);

// Decides at start-up: an explicit demo request is kept; without one the
// demo mode is entered when no adapter is found. Returns the line that
// tells the user about the demo, empty when the real radio is used.
QString ChooseRadio(bool demoRequested, const QString& executableDir, const QString& folder);

} // namespace qc
