#pragma once

#include <QByteArray>
#include <QImage>

namespace qc::artwork {

// Encodes an image as a GIF87a file (Qt reads GIF but cannot write it).
// The image is reduced to at most 256 colours first.
QByteArray EncodeGif(const QImage& image);

} // namespace qc::artwork
