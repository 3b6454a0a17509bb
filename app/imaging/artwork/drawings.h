#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace qc::artwork {

// Our own pictures, drawn with plain shapes and text.
QImage BrandLogo(const QString& name, const QString& tagline, QColor accent);
QImage BrandIcon(QChar letter, QColor accent, int size);
// The program's own icon at size x size pixels, drawn for that size so it is
// sharp at every scale (the same drawing as the installed scalable icon).
QImage AppIcon(int size);
// `flat` draws the body in one colour, for palette formats such as GIF.
QImage GaugePicture(const QString& model, QColor body, QColor accent, bool flat = false);
QImage PictureFrame();
QImage BluetoothMark(bool lost);
QImage UsbMark();
QImage BatteryMark();

} // namespace qc::artwork
