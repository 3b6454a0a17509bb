#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace qc {

// Windows-1252, the code page of settings, log and measurement files, so
// they move unchanged between a Windows installation and this one
// ("µ" is the single byte 0xB5). The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the C1 controls of the
// same value, so every byte survives a decode/encode round trip.
QString DecodeCp1252(QByteArrayView bytes);

// Characters the code page cannot hold become '?', one per character
// (a character outside the basic plane counts once).
QByteArray EncodeCp1252(QStringView text);

// The characters of `text` the code page cannot hold, each once, in the
// order they first appear: "Prüfer ✓ 😀" -> "✓😀" (a character outside the
// basic plane keeps its two halves).
QString Cp1252Unstorable(QStringView text);

} // namespace qc
