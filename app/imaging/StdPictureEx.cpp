#include "imaging/StdPictureEx.h"

#include <QImageReader>

namespace qc {

QImage StdPictureEx::Load(const QString& path, QString* error)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = QStringLiteral("%1: %2").arg(path, reader.errorString());
    return image;
}

} // namespace qc
