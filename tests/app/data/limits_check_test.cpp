#include <gtest/gtest.h>

#include "data/limits_check.h"

namespace qc {
namespace {

const QLocale kPoint(QLocale::English, QLocale::UnitedStates);
const QLocale kComma(QLocale::German, QLocale::Germany);

TEST(LimitEntry, ValidationOnFocusLoss)
{
    struct Case {
        const char* box;
        const QLocale& locale;
        LimitEntry::Kind kind;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {"", kPoint, LimitEntry::Empty, 0, ""},
        {" ", kPoint, LimitEntry::Empty, 0, " "},
        {"12.5", kPoint, LimitEntry::Number, 12.5, "12.5"},
        {"12,5", kComma, LimitEntry::Number, 12.5, "12,5"},
        {"12,5", kPoint, LimitEntry::NotNumeric, 0, "12,5"},
        {"abc", kPoint, LimitEntry::NotNumeric, 0, "abc"},
        {"-40", kPoint, LimitEntry::Negative, 40, "40"},
        {"-2,5", kComma, LimitEntry::Negative, 2.5, "2,5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        const LimitEntry e = ValidateLimitEntry(QString::fromLatin1(c.box), c.locale);
        EXPECT_EQ(e.kind, c.kind);
        EXPECT_DOUBLE_EQ(e.value, c.value);
        EXPECT_EQ(e.text, QString::fromLatin1(c.text));
    }
}

std::vector<int> Keys(const std::vector<LimitMessage>& messages)
{
    std::vector<int> keys;
    for (const auto& m : messages)
        keys.push_back(m.key);
    return keys;
}

TEST(LimitsConsistency, MessagesInOrder)
{
    struct Case {
        const char* name;
        Limits limits;
        bool rule;
        std::vector<int> keys;
        double minAfter;
    };
    const Case cases[] = {
        {"all fine", {10, {}, 300, {}, 150, {}, false}, false, {}, 10},
        {"no target for 80/20", {10, {}, 5, {}, 0, {}, true}, true, {57}, 10},
        {"target outside", {10, {}, 300, {}, 350, {}, false}, false, {36}, 10},
        {"min above max", {400, {}, 300, {}, 0, {}, false}, false, {35}, 400},
        {"target and min above max", {400, {}, 300, {}, 350, {}, false}, false, {36, 35}, 400},
        {"max not set", {10, {}, 0, {}, 0, {}, false}, false, {}, 10},
        {"80/20 adjusts min", {50, {}, 300, {}, 125, {}, true}, true, {60}, 100},
        {"80/20 min already right", {100, {}, 300, {}, 125, {}, true}, true, {}, 100},
        {"80/20 adjusted above max", {50, {}, 90, {}, 125, {}, true}, true, {60, 35}, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Limits l = c.limits;
        EXPECT_EQ(Keys(CheckLimits(l, c.rule, kPoint)), c.keys);
        EXPECT_DOUBLE_EQ(l.MinLimit, c.minAfter);
    }
}

TEST(LimitsConsistency, AdjustmentMessageText)
{
    Limits l{50, QStringLiteral("50"), 0, {}, 125, QStringLiteral("125"), true};
    const auto messages = CheckLimits(l, true, kComma);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(l.MinLimitText, QStringLiteral("100"));
    EXPECT_EQ(LimitMessageText(messages[0], QStringLiteral("Min Limit  an 80/20 Regel angepasst von "),
                               QStringLiteral("nach"), kComma),
              QStringLiteral("Min Limit  an 80/20 Regel angepasst von 50 nach 100"));

    Limits odd{0, {}, 0, {}, 12.5, {}, true};
    const auto m2 = CheckLimits(odd, true, kComma);
    EXPECT_EQ(LimitMessageText(m2[0], QStringLiteral("from "), QStringLiteral("to"), kComma),
              QStringLiteral("from 0 to 10"));
    EXPECT_EQ(LimitText(12.5, kComma), QStringLiteral("12,5"));
    EXPECT_EQ(LimitText(1250.5, kPoint), QStringLiteral("1250.5"));
}

TEST(LimitsCaption, Patterns)
{
    struct Case {
        Limits limits;
        const char* model;
        const QLocale& locale;
        const char* caption;
    };
    const Case cases[] = {
        {{0, {}, 0, {}, 0, {}, false}, "QV", kPoint, "Grenzwerte"},
        {{10, {}, 250, {}, 120, {}, false}, "QV", kPoint, ">     10\r\n<    250\r\n=    120"},
        {{12.5, {}, 300, {}, 150, {}, false}, "QV", kPoint, ">   12.5\r\n<  300.0\r\n=  150.0"},
        {{12.5, {}, 300, {}, 150, {}, false}, "QV", kComma, ">   12,5\r\n<  300,0\r\n=  150,0"},
        {{1.25, {}, 2, {}, 0, {}, false}, "ZP", kPoint, ">  1.250\r\n<  2.000\r\n=  0.000"},
        {{0, {}, 12345, {}, 0, {}, false}, "QV", kComma, ">      0\r\n<  12345\r\n=      0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShowLimitsCaption(c.limits, QString::fromLatin1(c.model), QStringLiteral("Grenzwerte"), c.locale),
                  QString::fromLatin1(c.caption));
}

// What the user types in the limits dialog: a plain number in the locale's
// form or with "."; a group separator is "not numeric", never a thousandfold value.
TEST(ValidateLimitEntry, GroupSeparatorsAreNotNumbers)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct {
        const char* Text;
        QLocale Locale;
        LimitEntry::Kind Kind;
        double Value;
    } cases[] = {
        {"1.005", german, LimitEntry::Number, 1.005},                                                  // was 1005
        {"1,005", german, LimitEntry::Number, 1.005},   {"0,125", english, LimitEntry::NotNumeric, 0}, // was 125
        {"1.000,5", german, LimitEntry::NotNumeric, 0}, {"-2,5", german, LimitEntry::Negative, 2.5},
        {"nan", english, LimitEntry::NotNumeric, 0},
    };
    for (const auto& c : cases) {
        const LimitEntry entry = ValidateLimitEntry(QString::fromLatin1(c.Text), c.Locale);
        EXPECT_EQ(entry.kind, c.Kind) << c.Text;
        EXPECT_DOUBLE_EQ(entry.value, c.Value) << c.Text;
    }
}

} // namespace
} // namespace qc
