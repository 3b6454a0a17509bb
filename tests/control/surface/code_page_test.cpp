#include "code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace vornik::surface {
namespace {

TEST(CodePage, Cp1252EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const Converted text = FromEngine(all, kCodePageAnsi);
    ASSERT_TRUE(text.ok);
    const Converted back = ToEngine(text.text, kCodePageAnsi);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.text, all);
}

struct ByteCase {
    unsigned char byte;
    const char* utf8;
};

TEST(CodePage, Cp1252MapsBytesToTheirCharacters)
{
    const ByteCase cases[] = {
        {0x00, "\0"},     {0x41, "A"},      {0x80, "\u20AC"}, {0x81, "\u0081"}, {0x8D, "\u008D"}, {0x8F, "\u008F"},
        {0x90, "\u0090"}, {0x9D, "\u009D"}, {0x9F, "\u0178"}, {0xB5, "\u00B5"}, {0xE4, "\u00E4"}, {0xFF, "\u00FF"},
    };
    for (const auto& c : cases) {
        const std::string byte(1, static_cast<char>(c.byte));
        const std::string utf8 = c.byte == 0 ? std::string(1, '\0') : std::string(c.utf8);
        EXPECT_EQ(FromEngine(byte, kCodePageAnsi).text, utf8) << int(c.byte);
        EXPECT_EQ(ToEngine(utf8, kCodePage1252).text, byte) << int(c.byte);
    }
}

TEST(CodePage, CharacterOutsideTheCodePageBecomesQuestionMark)
{
    EXPECT_EQ(ToEngine("a\u03A9b", kCodePageAnsi).text, "a?b");
    EXPECT_EQ(ToEngine("x\u00DF", 1251).text, "x?");
}

TEST(CodePage, InvalidUtf8IsRefused)
{
    for (const char* bad : {"\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF8\x88\x80\x80\x80", "ab\x80"}) {
        const Converted result = ToEngine(bad, kCodePageAnsi);
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_EQ(result.text, "The text is not valid UTF-8.");
    }
}

TEST(CodePage, Utf8PassesThroughAndBadBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(ToEngine("\u00B5m \u20AC", kCodePageUtf8).text, "\u00B5m \u20AC");
    EXPECT_EQ(FromEngine("a\xFF"
                         "b",
                         kCodePageUtf8)
                  .text,
              "a\uFFFD"
              "b");
    EXPECT_EQ(FromEngine(std::string("\0z", 2), kCodePageUtf8).text, std::string("\0z", 2));
}

struct IconvCase {
    int codePage;
    const char* utf8;
    const char* bytes;
};

TEST(CodePage, OtherCodePagesGoThroughIconv)
{
    const IconvCase cases[] = {
        {1251, "\u0416", "\xC6"},  {1250, "\u0159", "\xF8"},  {28591, "\u00E9", "\xE9"},
        {28592, "\u0141", "\xA3"}, {20127, "plain", "plain"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToEngine(c.utf8, c.codePage).text, c.bytes) << c.codePage;
        EXPECT_EQ(FromEngine(c.bytes, c.codePage).text, c.utf8) << c.codePage;
    }
    EXPECT_EQ(FromEngine("a\x80", 20127).text, "a\uFFFD");
}

TEST(CodePage, WideAndUnknownCodePagesAreNotSupported)
{
    for (const int codePage : {1200, 1201, 12000, 12345, -5}) {
        EXPECT_FALSE(IsSupportedCodePage(codePage)) << codePage;
        const Converted result = ToEngine("x", codePage);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.text, "Code page " + std::to_string(codePage) + " is not supported.");
    }
    for (const int codePage : {0, 1252, 65001, 1251, 28591, 850})
        EXPECT_TRUE(IsSupportedCodePage(codePage)) << codePage;
}

// Config names and values are ASCII: a code page that changes them would
// lock the host out of every later Config, "CodePage=0" included.
TEST(CodePage, OnlyCodePagesThatKeepPrintableAsciiAreSupported)
{
    for (const int codePage : {65000, 37, 500, 875, 1026, 1140})
        EXPECT_FALSE(IsSupportedCodePage(codePage)) << codePage;
    for (const int codePage : {1250, 1251, 1253, 1257, 28595, 20866, 20127, 437, 866, 932, 936, 54936, 51932})
        EXPECT_TRUE(IsSupportedCodePage(codePage)) << codePage;
}

// Table and iconv paths agree with a whole-string iconv conversion, over
// every byte and every character of a code page.
TEST(CodePage, SingleByteTablesMatchEveryByte)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const Converted text = FromEngine(all, 1251);
    ASSERT_TRUE(text.ok);
    // 0x98 is the one byte Windows-1251 leaves undefined.
    std::string expected = all;
    expected[0x98] = '?';
    EXPECT_EQ(ToEngine(text.text, 1251).text, expected);
    EXPECT_EQ(FromEngine("\x98", 1251).text, "\uFFFD");
}

TEST(CodePage, MultiByteCodePagesConvertWholeStrings)
{
    EXPECT_EQ(ToEngine("a\u65E5b", 932).text, "a\x93\xFA"
                                              "b");
    EXPECT_EQ(FromEngine("a\x93\xFA"
                         "b",
                         932)
                  .text,
              "a\u65E5b");
    EXPECT_EQ(ToEngine("\u0416x", 932).text, "\x84\x47x");
    EXPECT_EQ(ToEngine("\u00E9\u00E9", 20127).text, "??");
}

} // namespace
} // namespace vornik::surface
