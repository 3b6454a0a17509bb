// The readings as CSV, read back by Python's csv module.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <limits>

#include "csv_readback.h"
#include "output/csv_export.h"

namespace qc {
namespace {

QString Write(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("r.csv"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

QStringList Strings(const QJsonArray& row)
{
    QStringList out;
    for (const QJsonValue& v : row)
        out << v.toString();
    return out;
}

TEST(CsvExport, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    const std::pair<const char*, const char*> cases[] = {
        {"FE", "FE"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"x\r\ny", "\"x\r\ny\""},
        {"x\ny", "\"x\ny\""},
        {"\u00B5m", "\u00B5m"},
        {" lead", " lead"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CsvField(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

// Every awkward field a reading can carry comes back as it went in, the
// value always with a point and the decimals of its unit.
TEST(CsvExport, ReadBackByAnIndependentReader)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    DeviceProfile profile;
    profile.ProfileFlag6 = QStringLiteral("-");
    std::vector<Reading> rows(6);
    rows[0] = {1,
               12.3,
               QStringLiteral("\u00B5m"),
               QStringLiteral("FE"),
               QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)),
               QStringLiteral("05.12.2024"),
               QStringLiteral("10:15:30")};
    rows[1] = {2,
               -0.5,
               QStringLiteral("mils"),
               QStringLiteral("a,\"b\"\r\nc"),
               {},
               QStringLiteral("05.12.2024"),
               QStringLiteral(" 10:15:31")};
    rows[2] = {3, 1e12, QStringLiteral("\u00B5m"), QString(), {}, QStringLiteral(" "), QStringLiteral("10:15:32")};
    rows[3] = {4, std::numeric_limits<double>::quiet_NaN(), QStringLiteral("\u00B5m"), QStringLiteral("NF"), {}, {},
               {}};
    rows[4] = {5, std::numeric_limits<double>::infinity(), QStringLiteral("A/m"), QStringLiteral("DNF"), {}, {}, {}};
    rows[5] = {-32768, 0.125, QStringLiteral("\u00B5r"), QStringLiteral("ZP"), {}, {}, {}};
    const QString path = Write(dir, ReadingsCsv(rows, profile));
    ASSERT_FALSE(path.isEmpty());
    QString error;
    const QJsonArray back = test::ReadCsv(path, &error);
    ASSERT_EQ(back.size(), 7) << error.toStdString();
    EXPECT_EQ(Strings(back[0].toArray()), csv::kHeader);
    const QStringList expected[] = {
        {"1", "2024-12-05", "10:15:30", "12.3", "\u00B5m", "FE"},
        {"2", "05.12.2024", "10:15:31", "-0.50", "mils", "a,\"b\"\r\nc"},
        {"3", "", "10:15:32", "1000000000000", "\u00B5m", ""},
        {"4", "", "", "", "\u00B5m", "NF"},
        {"5", "", "", "", "A/m", "DNF"},
        {"-32768", "", "", "0.125", "\u00B5r", "ZP"},
    };
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Strings(back[i + 1].toArray()), expected[i]) << i;
}

TEST(CsvExport, StopsAtTheFirstEmptyRowAndAtTheTableSize)
{
    DeviceProfile profile;
    std::vector<Reading> rows(3);
    rows[0] = {1, 1.0, QStringLiteral("\u00B5m"), {}, {}, {}, QStringLiteral("10:00:00")};
    rows[2] = {3, 3.0, QStringLiteral("\u00B5m"), {}, {}, {}, QStringLiteral("10:00:02")};
    EXPECT_EQ(ReadingsCsv(rows, profile).count("\r\n"), 2);

    std::vector<Reading> many(kMaxRows + 10, Reading{7, 7.0, QStringLiteral("\u00B5m"), {}, {}, {}, {}});
    EXPECT_EQ(ReadingsCsv(many, profile).count("\r\n"), kMaxRows + 1);
}

} // namespace
} // namespace qc
