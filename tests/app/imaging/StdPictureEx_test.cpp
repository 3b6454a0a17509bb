#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "imaging/StdPictureEx.h"

namespace qc {
namespace {

// The pictures the build draws into the program folder (beside the tests).
TEST(StdPictureEx, LoadsEveryPictureOfTheProgramFolder)
{
    const struct {
        const char* Name;
        QSize Size;
    } pictures[] = {
        {"Quenlogo.jpg", {520, 140}}, {"Tarnholmlogo.jpg", {520, 140}}, {"Quen.ico", {64, 64}},
        {"Tarnholm.ico", {64, 64}},   {"QV.png", {216, 156}},          {"GV4000.png", {216, 156}},
        {"ZP.png", {216, 156}},       {"PL.gif", {216, 156}},          {"ZC.gif", {216, 156}},
        {"GV.gif", {216, 156}},       {"Rahmen.jpg", {240, 180}},      {"Bluetooth.png", {48, 48}},
        {"BluetoothLost.png", {48, 48}}, {"Usb.png", {48, 48}},        {"Battery.png", {96, 48}},
    };
    const QString dir = QString::fromLocal8Bit(QC_PROGRAM_DIR);
    for (const auto& p : pictures) {
        QString error;
        const QImage image = StdPictureEx::Load(dir + u'/' + QString::fromLatin1(p.Name), &error);
        EXPECT_FALSE(image.isNull()) << p.Name << ": " << error.toStdString();
        EXPECT_EQ(image.size(), p.Size) << p.Name;
    }
}

TEST(StdPictureEx, GifKeepsItsColours)
{
    const QImage gif = StdPictureEx::Load(QString::fromLocal8Bit(QC_PROGRAM_DIR) + QStringLiteral("/PL.gif"));
    ASSERT_FALSE(gif.isNull());
    EXPECT_EQ(gif.pixelColor(2, 2), QColor(Qt::white)); // the white card around the gauge
    EXPECT_EQ(gif.pixelColor(180, 130).lightness() < 80, true); // the dark probe
}

TEST(StdPictureEx, MissingOrBrokenFileGivesNoPictureAndAReason)
{
    QTemporaryDir dir;
    const QString broken = dir.path() + QStringLiteral("/broken.png");
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\x89PNG\r\n\x1a\n not really");
    }
    const QString truncatedJpeg = dir.path() + QStringLiteral("/cut.jpg");
    {
        QFile source(QString::fromLocal8Bit(QC_PROGRAM_DIR) + QStringLiteral("/Quenlogo.jpg"));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        QFile f(truncatedJpeg);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(source.read(200));
    }
    for (const QString& path : {dir.path() + QStringLiteral("/missing.gif"), broken, truncatedJpeg, dir.path()}) {
        QString error;
        const QImage image = StdPictureEx::Load(path, &error);
        // A cut JPEG may still give the rows it has; then there is no error.
        EXPECT_EQ(image.isNull(), !error.isEmpty()) << path.toStdString();
        if (path != truncatedJpeg) {
            EXPECT_TRUE(image.isNull()) << path.toStdString();
            EXPECT_TRUE(error.startsWith(path + QStringLiteral(": "))) << error.toStdString();
        }
    }
    EXPECT_TRUE(StdPictureEx::Load(QString()).isNull());
}

} // namespace
} // namespace qc
