// Qt texts and locales out of the fuzzer's bytes, for the program's parsers.
#pragma once

#include <QLocale>
#include <QString>

#include "fuzz_input.h"

namespace qc::fuzz {

// The rest read as UTF-8 (invalid sequences become U+FFFD, as the control's
// strings arrive) or as Latin-1 (every byte one character).
inline QString RestText(Input& in, bool utf8)
{
    const std::string_view bytes = in.Rest();
    const auto n = static_cast<qsizetype>(bytes.size());
    return utf8 ? QString::fromUtf8(bytes.data(), n) : QString::fromLatin1(bytes.data(), n);
}

// The two locales the program runs under: German (decimal comma) and
// English (decimal point).
inline QLocale ChosenLocale(std::uint8_t choice)
{
    return choice & 1 ? QLocale(QLocale::English, QLocale::UnitedStates) : QLocale(QLocale::German, QLocale::Germany);
}

} // namespace qc::fuzz
