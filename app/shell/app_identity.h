#pragma once

#include <QString>

namespace qc {

inline constexpr const char* kProgramName = "Quen Connect";
inline constexpr const char* kProgramVersion = "V1.10";

// "Quen Connect V1.10": main window caption and the version box text.
inline QString MainCaption()
{
    return QString::fromLatin1(kProgramName) + u' ' + QString::fromLatin1(kProgramVersion);
}

} // namespace qc
