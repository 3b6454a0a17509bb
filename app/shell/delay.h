#pragma once

#include <chrono>
#include <functional>

#include <QString>

namespace qc {

// Waits the given whole seconds while the user interface keeps working.
void Delay(int seconds);

// Processes window events until `done` returns true or the deadline passes;
// true when `done` was reached.
bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline);

// Right-aligns `text` to `width` with the first character of `fill`; a
// longer text is cut to `width` only when `cut` is set.
// Ausrichten(6, "12", " ", false) -> "    12".
QString Ausrichten(int width, const QString& text, const QString& fill, bool cut);

// Trims `text` and left-aligns it in exactly `width` characters.
// AusrichtenL(5, " ab ") -> "ab   ".
QString AusrichtenL(int width, const QString& text);

} // namespace qc
