#include "data/fixed_pitch_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace qc {

namespace {

bool ResolvesFixed(const QFont& font) { return QFontInfo(font).fixedPitch(); }

} // namespace

QFont FixedPitchFont()
{
    QFont preferred(QStringLiteral("Lucida Console"));
    preferred.setStyleHint(QFont::TypeWriter);
    if (ResolvesFixed(preferred))
        return preferred;

    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (ResolvesFixed(system))
        return system;

    // Font substitution may hand a proportional face for an unknown family
    // (seen with some font sets under the offscreen platform): pick a
    // fixed-pitch family by name, the common ones first.
    static const char* const kKnownFixed[] = {"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono", "Noto Mono"};
    const QStringList families = QFontDatabase::families();
    for (const char* name : kKnownFixed) {
        const QString family = QString::fromLatin1(name);
        if (families.contains(family) && QFontDatabase::isFixedPitch(family))
            return QFont(family);
    }
    for (const QString& family : families) {
        if (QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family))
            return QFont(family);
    }
    return preferred;
}

} // namespace qc
