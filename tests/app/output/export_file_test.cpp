#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "output/export_file.h"

namespace qc {
namespace {

const QDateTime kWhen(QDate(2024, 12, 5), QTime(10, 15, 30));

TEST(ExportFileStem, SaysGaugeMemoryAndTimeWithNothingUnsafe)
{
    const struct {
        const char* gauge;
        const char* memory;
        const char* stem;
    } cases[] = {
        {"1234", "1", "1234_1_20241205_101530"},
        {"1234", "", "1234_20241205_101530"},
        {"", "m0001", "m0001_20241205_101530"},
        {"", "", "Export_20241205_101530"},
        {"../../x", "t1  ", "~_002E_002E_002F_002E_002E_002Fx_t1_20241205_101530"},
        {"12/34", "S    1(   12)", "~12_002F34_S_1__12__20241205_101530"},
        {" ", "\\..\\", "_____20241205_101530"},
        {"1234", "m\u00E4 1/2", "1234_m__1_2_20241205_101530"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExportFileStem(QString::fromUtf8(c.gauge), QString::fromUtf8(c.memory), kWhen),
                  QString::fromUtf8(c.stem))
            << c.gauge << " / " << c.memory;
}

TEST(ExportFilePath, NeverOverwritesAnEarlierExport)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("export/1234"));
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        const ReservedPath r = ReserveExportPath(folder, QStringLiteral("1234_1_20241205_101530"), QStringLiteral(".xlsx"));
        ASSERT_FALSE(r.error) << r.error->toStdString();
        paths << QFileInfo(r.path).fileName();
        QFile f(r.path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier");
    }
    EXPECT_EQ(paths, (QStringList{QStringLiteral("1234_1_20241205_101530.xlsx"), QStringLiteral("1234_1_20241205_101530_2.xlsx"),
                                  QStringLiteral("1234_1_20241205_101530_3.xlsx")}));
    QFile first(QDir(folder).filePath(paths[0]));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), QByteArray("earlier"));
}

TEST(ExportFilePath, AFolderThatCannotBeMadeIsReported)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("export")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ReservedPath r = ReserveExportPath(dir.filePath(QStringLiteral("export/1234")), QStringLiteral("a"),
                                             QStringLiteral(".xlsx"));
    ASSERT_TRUE(r.error);
    EXPECT_TRUE(r.error->contains(QStringLiteral("export"))) << r.error->toStdString();
    EXPECT_TRUE(r.path.isEmpty());
}

} // namespace
} // namespace qc
