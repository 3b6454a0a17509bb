#pragma once

#include <QImage>
#include <QString>

namespace qc {

// Loads a PNG, GIF, JPEG or ICO picture from a file. A missing or damaged
// file gives a null picture and the reason; it never throws.
class StdPictureEx {
public:
    static QImage Load(const QString& path, QString* error = nullptr);
};

} // namespace qc
