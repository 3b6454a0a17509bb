#pragma once

#include <QString>

namespace qc {

// How online readings are typed into another program, per gauge.
struct KeyForwardingSettings {
    bool Enabled = false;
    QString TargetApplication;          // path of the program that receives the keys
    QString Options = QStringLiteral("0000"); // "0"/"1" each: number, date, unit, material
    QString EndOfLineKey;               // "ENTER" or empty
};

} // namespace qc
