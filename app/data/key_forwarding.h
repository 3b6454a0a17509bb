#pragma once

#include <QString>
#include <QStringList>

#include "data/key_forwarding_settings.h"

namespace qc {

// The end-of-line key as the settings name it and as it is sent.
inline const QString kLineEndEnter = QStringLiteral("ENTER");
inline const QString kLineEndNone = QStringLiteral("KEINS");
inline const QString kEnterKeyText = QStringLiteral("({ENTER})");

// Positions in the options string.
namespace key_option {
inline constexpr int kNumber = 0;
inline constexpr int kDate = 1;
inline constexpr int kUnit = 2;
inline constexpr int kMaterial = 3;
} // namespace key_option

// What one reading of the online table looks like when typed.
struct ForwardedReading {
    QString NumberText; // the number right-aligned in 7
    QString DateText;
    QString ValueText;  // 11 characters, as the table shows it
    QString Unit;
    QString Material;
};

// The texts to type for one reading, in order; kEnterKeyText stands for the
// Return key. Empty when forwarding is off or the table is not the online one.
QStringList KeyForwardingTexts(const KeyForwardingSettings& settings, int tableMode, const ForwardedReading& reading);

} // namespace qc
