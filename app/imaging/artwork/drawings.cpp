#include "drawings.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace qc::artwork {
namespace {

constexpr QSize kLogoSize(520, 140);
constexpr QSize kGaugeSize(216, 156);
constexpr QSize kFrameSize(240, 180);
constexpr int kMarkSize = 48;
const QColor kInk(0x1F, 0x2A, 0x37);
const QColor kPaper(0xFF, 0xFF, 0xFF);

QImage Canvas(QSize size, QColor fill)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

QFont Font(int pixelSize, int weight)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

void Emblem(QPainter& p, const QRectF& box, QChar letter, QColor accent)
{
    QLinearGradient fill(box.topLeft(), box.bottomRight());
    fill.setColorAt(0, accent.lighter(125));
    fill.setColorAt(1, accent.darker(115));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(box, box.width() * 0.22, box.width() * 0.22);
    p.setPen(kPaper);
    p.setFont(Font(static_cast<int>(box.height() * 0.62), QFont::Bold));
    p.drawText(box, Qt::AlignCenter, QString(letter));
}

} // namespace

QImage BrandLogo(const QString& name, const QString& tagline, QColor accent)
{
    QImage image = Canvas(kLogoSize, kPaper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    Emblem(p, QRectF(20, 20, 100, 100), name.at(0), accent);
    p.setPen(kInk);
    p.setFont(Font(54, QFont::Bold));
    p.drawText(QRectF(140, 14, 370, 70), Qt::AlignLeft | Qt::AlignVCenter, name.toUpper());
    p.setPen(accent.darker(110));
    p.setFont(Font(24, QFont::Normal));
    p.drawText(QRectF(142, 84, 370, 36), Qt::AlignLeft | Qt::AlignVCenter, tagline);
    return image;
}

QImage BrandIcon(QChar letter, QColor accent, int size)
{
    QImage image = Canvas(QSize(size, size), Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Emblem(p, QRectF(1, 1, size - 2, size - 2), letter, accent);
    return image;
}

QImage AppIcon(int size)
{
    QImage image = Canvas(QSize(size, size), Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 64-unit grid, like the scalable icon.
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient fill(QPointF(1, 1), QPointF(63, 63));
    fill.setColorAt(0, QColor(0x26, 0x71, 0xD2));
    fill.setColorAt(1, QColor(0x1A, 0x4E, 0x92));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 13.6, 13.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 6.5));
    p.drawEllipse(QPointF(31, 30), 14.5, 14.5);
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(36, 36), QPointF(48, 49));
    return image;
}

// A handheld gauge: body, display with a reading, keys and a probe.
QImage GaugePicture(const QString& model, QColor body, QColor accent, bool flat)
{
    QImage image = Canvas(kGaugeSize, kPaper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Probe cable and probe.
    QPainterPath cable(QPointF(150, 40));
    cable.cubicTo(QPointF(190, 30), QPointF(200, 90), QPointF(186, 120));
    p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(174, 116, 24, 30), 6, 6);

    // Body.
    QLinearGradient shade(0, 10, 0, 150);
    shade.setColorAt(0, flat ? body : body.lighter(120));
    shade.setColorAt(1, flat ? body : body.darker(120));
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(24, 8, 128, 140), 18, 18);

    // Display.
    p.setBrush(QColor(0xE8, 0xF4, 0xEC));
    p.drawRoundedRect(QRectF(36, 22, 104, 52), 6, 6);
    p.setPen(kInk);
    p.setFont(Font(20, QFont::Bold));
    p.drawText(QRectF(36, 24, 100, 32), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("125.4"));
    p.setFont(Font(11, QFont::Normal));
    p.drawText(QRectF(36, 52, 100, 20), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("\u00B5m"));

    // Keys.
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(56 + i * 32, 96), 10, 10);

    // Model name.
    p.setPen(kPaper);
    p.setFont(Font(14, QFont::Bold));
    p.drawText(QRectF(24, 114, 128, 26), Qt::AlignCenter, model);
    return image;
}

QImage PictureFrame()
{
    QImage image = Canvas(kFrameSize, kPaper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, kFrameSize.height());
    fill.setColorAt(0, QColor(0xF4, 0xF7, 0xFB));
    fill.setColorAt(1, QColor(0xDD, 0xE5, 0xEF));
    p.setBrush(fill);
    p.setPen(QPen(QColor(0xB8, 0xC4, 0xD2), 2));
    p.drawRoundedRect(QRectF(2, 2, kFrameSize.width() - 4, kFrameSize.height() - 4), 14, 14);
    return image;
}

QImage BluetoothMark(bool lost)
{
    QImage image = Canvas(QSize(kMarkSize, kMarkSize), Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(lost ? QColor(0x8A, 0x94, 0xA0) : QColor(0x1E, 0x6F, 0xD9));
    p.drawRoundedRect(QRectF(6, 2, 36, 44), 14, 14);
    QPainterPath rune;
    rune.moveTo(16, 15);
    rune.lineTo(32, 31);
    rune.lineTo(24, 39);
    rune.lineTo(24, 9);
    rune.lineTo(32, 17);
    rune.lineTo(16, 33);
    p.setPen(QPen(kPaper, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rune);
    if (lost) {
        p.setPen(QPen(QColor(0xD6, 0x3D, 0x3D), 4.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 42), QPointF(42, 6));
    }
    return image;
}

QImage UsbMark()
{
    QImage image = Canvas(QSize(kMarkSize, kMarkSize), Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(24, 6), QPointF(24, 38));
    p.drawLine(QPointF(24, 28), QPointF(12, 20));
    p.drawLine(QPointF(24, 24), QPointF(36, 16));
    p.setBrush(kInk);
    p.drawEllipse(QPointF(24, 40), 4, 4);
    p.drawEllipse(QPointF(12, 18), 3, 3);
    p.drawRect(QRectF(34, 12, 5, 5));
    return image;
}

QImage BatteryMark()
{
    QImage image = Canvas(QSize(kMarkSize * 2, kMarkSize), Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(6, 10, 76, 28), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(84, 18, 6, 12), 2, 2);
    p.setBrush(QColor(0x3B, 0xA5, 0x5C));
    p.drawRoundedRect(QRectF(11, 15, 52, 18), 3, 3);
    return image;
}

} // namespace qc::artwork
