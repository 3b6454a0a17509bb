#include <gtest/gtest.h>

#include <QString>
#include <cmath>

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
        {u"12.5", u'.', 12.5},     {u"  12.5mm", u'.', 12.5}, {u"abc", u'.', 0.0},
        {u"", u'.', 0.0},          {u"-.5", u'.', -0.5},      {u"+7;", u'.', 7.0},
        {u"12,5", u',', 12.5},     {u"12,5", u'.', 12.0},     {u"12.5", u',', 12.0},
        {u"2e3x", u'.', 2000.0},   {u"2e", u'.', 2.0},        {u"-", u'.', 0.0},
        {u"1e999", u'.', 0.0},     {u"\t 3", u'.', 3.0},      {u"0012", u'.', 12.0},
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
        {2.5, 0, 2.0},   {3.5, 0, 4.0},    {-2.5, 0, -2.0}, {0.125, 2, 0.12},
        {0.375, 2, 0.38}, {12.345, 1, 12.3}, {-0.04, 1, 0.0}, {1.5, 7, 1.5},
        {9.996, 2, 10.0}, {7.0, -1, 7.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(RoundHalfEven(c.value, c.decimals), c.expected) << c.value << " @" << c.decimals;
    EXPECT_FALSE(std::signbit(RoundHalfEven(-0.04, 1))) << "no negative zero";
}

} // namespace
} // namespace qc
