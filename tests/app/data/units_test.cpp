#include <gtest/gtest.h>

#include "data/units.h"

namespace qc {
namespace {

const QLocale kPoint(QLocale::English, QLocale::UnitedStates);
const QLocale kComma(QLocale::German, QLocale::Germany);

DeviceProfile Profile(const char* cls, const char* flag7 = "2")
{
    DeviceProfile p;
    p.ProfileClass = QString::fromLatin1(cls);
    p.ProfileFlag7 = QString::fromLatin1(flag7);
    return p;
}

GaugeIdentity Identity(const char* probeType, const char* model = "")
{
    GaugeIdentity id;
    id.GaugeProbeType = QString::fromLatin1(probeType);
    id.ModelCode = QString::fromLatin1(model);
    return id;
}

QString Pad(const char* text) { return QString::fromUtf8(text).rightJustified(11, u' '); }

struct FormatCase {
    double value;
    const char* unit;
    const char* profileClass;
    const char* text; // before padding, "." separator
    double rounded;
};

// Every unit rule in both gauge classes, at the edges of its ranges.
TEST(FormatValue, UnitRulesInBothClasses)
{
    const FormatCase cases[] = {
        // µm compares the signed value
        {12.345, "µm", "4", "12.3", 12.3},
        {123.45, "µm", "4", "123", 123},
        {123.45, "µm", "5", "123", 123},
        {-150, "µm", "5", "-150.0", -150},
        {99.96, "ym", "4", "100.0", 100},
        // mT
        {9.994, "mT", "4", "9.99", 9.99},
        {10, "mT", "4", "10.0", 10},
        {1000.4, "mT", "4", "1000", 1000},
        {99.994, "mT", "5", "99.99", 99.99},
        {100, "mT", "5", "100.0", 100},
        {10000.4, "mT", "5", "10000", 10000},
        {-20.56, "mT", "4", "-20.6", -20.6},
        // A/cm, Oe, G
        {99.94, "A/cm", "4", "99.9", 99.9},
        {100.4, "A/cm", "4", "100", 100},
        {999.94, "A/cm", "5", "999.9", 999.9},
        {1000.4, "Oe", "5", "1000", 1000},
        {50.25, "G", "4", "50.2", 50.2},
        // kA/m
        {9.996, "kA/m", "4", "10.00", 10},
        {9.996, "kA/m", "5", "10.00", 10},
        {10.04, "kA/m", "4", "10.0", 10},
        {100.04, "kA/m", "5", "100.0", 100},
        {99.994, "kA/m", "5", "99.99", 99.99},
        // mils
        {9.994, "mils", "4", "9.99", 9.99},
        {10.04, "mils", "4", "10.0", 10},
        {99.994, "mils", "5", "99.99", 99.99},
        {100.04, "mils", "5", "100.0", 100},
        // µr, FN, Fe%
        {9.9994, "µr", "5", "9.999", 9.999},
        {10.004, "µr", "4", "10.00", 10},
        {9.994, "FN", "4", "9.99", 9.99},
        {10.04, "Fe%", "5", "10.0", 10},
        // units without a rule of their own (our choice)
        {1234.5, "A/m", "4", "1234", 1234},
        {0.00125, "T", "4", "0.00125", 0.00125},
        {0.0125, "T", "5", "0.01250", 0.0125},
        {0.0504, "kG", "4", "0.0504", 0.0504},
        {0.123456, "kOe", "5", "0.1235", 0.1235},
        {1.2345, "furlongs", "4", "1.23", 1.23},
        {7.0, "", "4", "7.00", 7},
    };
    for (const auto& c : cases) {
        const FormattedValue f = FormatValue(c.value, QString::fromUtf8(c.unit), Profile(c.profileClass), kPoint);
        EXPECT_EQ(f.ValueText, Pad(c.text)) << c.value << " " << c.unit << " class " << c.profileClass;
        EXPECT_DOUBLE_EQ(f.RoundedValue, c.rounded) << c.value << " " << c.unit;
    }
}

TEST(FormatValue, DecimalsDigitAndStatistics)
{
    const struct {
        double value;
        const char* unit;
        const char* flag7;
        const char* text;
        double rounded;
    } cases[] = {
        {2.5, "0", "2", "2", 2},          {3.5, "0", "2", "4", 4},
        {1.25, "1", "2", "1.2", 1.2},     {1.2345, "3", "2", "1.234", 1.234},
        {1.23456, "Stat", "2", "1.23", 1.23}, {1.23456, "Statistik", "3", "1.235", 1.235},
        {1.23456, " 2 ", "2", "1.23", 1.23},
    };
    for (const auto& c : cases) {
        const FormattedValue f = FormatValue(c.value, QString::fromUtf8(c.unit), Profile("4", c.flag7), kPoint);
        EXPECT_EQ(f.ValueText, Pad(c.text)) << c.value << " " << c.unit;
        EXPECT_DOUBLE_EQ(f.RoundedValue, c.rounded);
    }
}

TEST(FormatValue, DecimalsDigitOutOfRangeKeepsTheValueUnrounded)
{
    const FormattedValue f = FormatValue(1.23456, QStringLiteral("5"), Profile("4"), kPoint);
    EXPECT_EQ(f.ValueText, Pad("1.23456"));
    EXPECT_DOUBLE_EQ(f.RoundedValue, 1.23456);
}

TEST(FormatValue, FollowsTheLocaleSeparatorWithoutGrouping)
{
    const struct {
        double value;
        const char* unit;
        const QLocale& locale;
        const char* text;
    } cases[] = {
        {12.345, "µm", kComma, "12,3"},
        {12.345, "µm", kPoint, "12.3"},
        {12345.4, "mT", kComma, "12345"},
        {1234.56, "Stat", kComma, "1234,56"},
        {1234.56, "Stat", kPoint, "1234.56"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatValue(c.value, QString::fromUtf8(c.unit), Profile("5"), c.locale).ValueText, Pad(c.text));
}

TEST(FormatValue, NeverCutsLongValues)
{
    const FormattedValue f = FormatValue(123456789012.0, QStringLiteral("µm"), Profile("4"), kPoint);
    EXPECT_EQ(f.ValueText, QStringLiteral("123456789012"));
}

TEST(FormatValue, UnknownUnitDoesNotReuseAnEarlierText)
{
    FormatValue(12.345, QStringLiteral("µm"), Profile("4"), kPoint);
    EXPECT_EQ(FormatValue(5.0, QStringLiteral("xyz"), Profile("4"), kPoint).ValueText, Pad("5.00"));
}

TEST(Units, NormaliseAndMapUnitNames)
{
    const struct {
        const char* name;
        const char* probeType;
        const char* mapped;
    } cases[] = {
        {"metric", "1", "µm"},   {"metric", "2", "metric"}, {" metric ", "12", "µm"},
        {"imperial", "2", "mils"}, {"imperial", "1", "imperial"}, {"ur", "1", "µr"},
        {"ym", "2", "µm"},       {"mT", "2", "mT"},          {"", "1", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapUnitName(QString::fromUtf8(c.name), Identity(c.probeType)), QString::fromUtf8(c.mapped))
            << c.name << " / " << c.probeType;

    EXPECT_EQ(NormaliseUnit(QStringLiteral(" ym ")), QStringLiteral("µm"));
    EXPECT_EQ(NormaliseUnit(QStringLiteral("mu")), QStringLiteral("µm"));
    EXPECT_EQ(NormaliseUnit(QStringLiteral("mils")), QStringLiteral("mils"));
    EXPECT_EQ(NormaliseUnit(QStringLiteral("Mu")), QStringLiteral("Mu"));
}

TEST(Units, ConvertFromTheGaugeBaseUnit)
{
    const struct {
        double value;
        const char* unit;
        const char* probeType;
        const char* model;
        double expected;
    } cases[] = {
        {254, "mils", "1", "", 10},
        {254, "µm", "1", "", 254},
        {10, "Oe", "2", "", 12.5664},
        {10, "G", "2", "", 12.5664},
        {10, "kA/m", "2", "", 1},
        {10, "A/m", "2", "", 1000},
        {10, "mT", "2", "", 1.256634},
        {10, "T", "2", "", 0.0012566374},
        {10, "kG", "2", "", 0.0125664},
        {10, " A/cm ", "2", "", 10},
        {3.5, "µr", "1", "ZP", 3.5},
        {42, "FN", "2", "ZC", 42},
        // pairs without a factor keep the value (our choice, not 0)
        {3.5, "mils", "1", "ZP", 3.5},
        {7, "furlongs", "1", "", 7},
        {7, "mils", "", "", 7},
        {7, "Oe", "1", "", 7},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(ConvertUnit(c.value, QString::fromUtf8(c.unit), Identity(c.probeType, c.model)), c.expected, 1e-12)
            << c.value << " -> " << c.unit;

    EXPECT_FALSE(TryConvertUnit(7, QStringLiteral("furlongs"), Identity("1")).has_value());
    EXPECT_FALSE(TryConvertUnit(7, QStringLiteral("mils"), Identity("1", "ZP")).has_value());
    EXPECT_TRUE(TryConvertUnit(7, QStringLiteral("mils"), Identity("1")).has_value());
}

TEST(Units, GetDecimalsInt)
{
    const struct {
        double value;
        int expected;
    } cases[] = {
        {12, 0}, {12.5, 5}, {0.125, 125}, {0.05, 5}, {3.25, 25}, {-12.5, 5}, {2.0004, 0}, {7.9996, 0}, {0.1, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetDecimalsInt(c.value), c.expected) << c.value;
}

} // namespace
} // namespace qc
