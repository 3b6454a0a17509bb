#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <optional>

#include "data/numbers.h"

namespace qc {
namespace {

struct LeadingCase {
    const char16_t* text;
    char16_t separator;
    double expected;
};

TEST(LeadingNumber, ReadsTheLongestNumericPrefix)
{
    const LeadingCase cases[] = {
        {u"12.5", u'.', 12.5}, {u"  12.5mm", u'.', 12.5}, {u"abc", u'.', 0.0},   {u"", u'.', 0.0},
        {u"-.5", u'.', -0.5},  {u"+7;", u'.', 7.0},       {u"12,5", u',', 12.5}, {u"12,5", u'.', 12.0},
        {u"12.5", u',', 12.0}, {u"2e3x", u'.', 2000.0},   {u"2e", u'.', 2.0},    {u"-", u'.', 0.0},
        {u"1e999", u'.', 0.0}, {u"\t 3", u'.', 3.0},      {u"0012", u'.', 12.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(QStringView(c.text), QChar(c.separator)), c.expected)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenDigit)
{
    const struct {
        double value;
        int decimals;
        double expected;
    } cases[] = {
        {2.5, 0, 2.0},     {3.5, 0, 4.0},   {-2.5, 0, -2.0}, {0.125, 2, 0.12}, {0.375, 2, 0.38},
        {12.345, 1, 12.3}, {-0.04, 1, 0.0}, {1.5, 7, 1.5},   {9.996, 2, 10.0}, {7.0, -1, 7.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(RoundHalfEven(c.value, c.decimals), c.expected) << c.value << " @" << c.decimals;
    EXPECT_FALSE(std::signbit(RoundHalfEven(-0.04, 1))) << "no negative zero";
}

} // namespace
} // namespace qc

namespace qc {
namespace {

// Settings numbers and limit entries: a plain number in the locale's form
// or with ".", never a group separator. Each row in both locales.
TEST(ParsePlainNumber, AcceptsPlainNumbersOnlyInBothLocales)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    struct Case {
        const char16_t* text;
        std::optional<double> english;
        std::optional<double> german;
    };
    const Case cases[] = {
        {u"12.5", 12.5, 12.5},
        {u"12,5", std::nullopt, 12.5},
        {u"0,125", std::nullopt, 0.125}, // was 125 under English
        {u"1.000", 1.0, 1.0},            // was 1000 under German
        {u"1.005", 1.005, 1.005},        // typed in the limits dialog: was 1005
        {u"1,000", std::nullopt, 1.0},
        {u"1.000,5", std::nullopt, std::nullopt},
        {u"1,000.5", std::nullopt, std::nullopt},
        {u"1 000", std::nullopt, std::nullopt},
        {u" -7 ", -7.0, -7.0},
        {u"+3", 3.0, 3.0},
        {u".5", 0.5, 0.5},
        {u"2e3", 2000.0, 2000.0},
        {u"2e", std::nullopt, std::nullopt},
        {u"", std::nullopt, std::nullopt},
        {u"-", std::nullopt, std::nullopt},
        {u"12abc", std::nullopt, std::nullopt},
        {u"nan", std::nullopt, std::nullopt},
        {u"inf", std::nullopt, std::nullopt},
        {u"1e999", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(ParsePlainNumber(text, english), c.english) << "en " << text.toStdString();
        EXPECT_EQ(ParsePlainNumber(text, german), c.german) << "de " << text.toStdString();
    }
}

TEST(ParsePlainNumber, AMegabyteOfDigitsIsOneNumberOrNone)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_FALSE(ParsePlainNumber(QString(1 << 20, u'9'), german).has_value()); // too large: not finite
    EXPECT_FALSE(ParsePlainNumber(QString(1 << 20, u'.'), german).has_value());
    EXPECT_EQ(ParsePlainNumber(QStringLiteral("0,") + QString(1 << 20, u'5'), german).value_or(0) > 0.5, true);
}

} // namespace
} // namespace qc
