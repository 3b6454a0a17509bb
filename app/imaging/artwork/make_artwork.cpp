// Writes the program's pictures (logos, icons, gauge models, status marks)
// into the folder given as the only argument. Run by the build.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>

#include "drawings.h"
#include "gif_writer.h"

namespace {

using namespace qc::artwork;

const QColor kOrvantaBlue(0x1E, 0x5A, 0xA8);
const QColor kTarnholmTeal(0x12, 0x85, 0x7A);
const QColor kSlate(0x45, 0x55, 0x68);
const QColor kOrange(0xF0, 0x8A, 0x24);

bool Save(const QString& dir, const QString& name, const QImage& image)
{
    const QString path = dir + u'/' + name;
    if (name.endsWith(QStringLiteral(".gif"))) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(EncodeGif(image)) > 0)
            return true;
    } else {
        QImageWriter writer(path);
        if (name.endsWith(QStringLiteral(".jpg")))
            writer.setQuality(92);
        QImage out = image;
        if (name.endsWith(QStringLiteral(".jpg")))
            out = image.convertToFormat(QImage::Format_RGB32);
        if (writer.write(out))
            return true;
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    }
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_artwork <folder>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);

    const struct {
        const char* Name;
        QImage Image;
    } pictures[] = {
        {"Quenlogo.jpg", BrandLogo(QStringLiteral("Orvanta"), QStringLiteral("Quen Connect"), kOrvantaBlue)},
        {"Tarnholmlogo.jpg",
         BrandLogo(QStringLiteral("Tarnholm"), QStringLiteral("Coating inspection"), kTarnholmTeal)},
        {"Quen.ico", BrandIcon(u'Q', kOrvantaBlue, 64)},
        {"Tarnholm.ico", BrandIcon(u'T', kTarnholmTeal, 64)},
        {"QV.png", GaugePicture(QStringLiteral("QV"), kOrvantaBlue, kOrange)},
        {"GV4000.png", GaugePicture(QStringLiteral("GV 4000"), kSlate, kOrange)},
        {"ZP.png", GaugePicture(QStringLiteral("ZP"), kTarnholmTeal, kOrange)},
        {"PL.gif", GaugePicture(QStringLiteral("PL"), kOrvantaBlue.darker(130), kOrange, true)},
        {"ZC.gif", GaugePicture(QStringLiteral("ZC"), kTarnholmTeal.darker(120), kOrange, true)},
        {"GV.gif", GaugePicture(QStringLiteral("GV 8000"), kSlate.darker(120), kOrange, true)},
        {"Rahmen.jpg", PictureFrame()},
        {"Bluetooth.png", BluetoothMark(false)},
        {"BluetoothLost.png", BluetoothMark(true)},
        {"Usb.png", UsbMark()},
        {"Battery.png", BatteryMark()},
    };
    bool ok = true;
    for (const auto& picture : pictures)
        ok = Save(dir, QString::fromLatin1(picture.Name), picture.Image) && ok;
    // The program's icon in every size the desktop asks for.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
        ok = Save(dir, QStringLiteral("QuenConnect_%1.png").arg(size), AppIcon(size)) && ok;
    return ok ? 0 : 1;
}
