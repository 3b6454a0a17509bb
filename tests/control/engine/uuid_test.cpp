#include "uuid.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "errors.h"

namespace vornik {
namespace {

constexpr const char* kCccd = "00002902-0000-1000-8000-00805F9B34FB";
constexpr const char* kBadLength = "UUIDs hexadecimal strings must represent either 16-, 32-, or 128-bit values.";

struct ParseCase {
    const char* input;
    int code;
    const char* formatted;  // expected output form when code is 0
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << '"' << c.input << '"';
}

class UuidParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(UuidParse, GivesFormOrError)
{
    const ParseCase& c = GetParam();
    Uuid uuid;
    Status status = ParseUuid(c.input, uuid);
    EXPECT_EQ(status.code, c.code) << c.input;
    if (c.code == 0)
        EXPECT_EQ(FormatUuid(uuid), c.formatted) << c.input;
    else
        EXPECT_EQ(status.text, kBadLength) << c.input;
}

INSTANTIATE_TEST_SUITE_P(
    Table, UuidParse,
    ::testing::Values(
        // The four spellings of the CCCD.
        ParseCase{"2902", 0, kCccd}, ParseCase{"0x2902", 0, kCccd}, ParseCase{"00002902", 0, kCccd},
        ParseCase{"00002902-0000-1000-8000-00805F9B34FB", 0, kCccd},
        ParseCase{"180a", 0, "0000180A-0000-1000-8000-00805F9B34FB"},
        ParseCase{"  0X180A  ", 0, "0000180A-0000-1000-8000-00805F9B34FB"},
        ParseCase{"12345678", 0, "12345678-0000-1000-8000-00805F9B34FB"},
        ParseCase{"6e400001-b5a3-f393-e0a9-e50e24dcca9e", 0, "6E400001-B5A3-F393-E0A9-E50E24DCCA9E"},
        ParseCase{"12345", 600, nullptr},
        ParseCase{"{00002902-0000-1000-8000-00805F9B34FB}", 600, nullptr},
        ParseCase{"", 600, nullptr},
        // Right length, but not hexadecimal: an error, never a made-up digit.
        ParseCase{"29G2", 600, nullptr}, ParseCase{"2 02", 600, nullptr},
        ParseCase{"0000290Z-0000-1000-8000-00805F9B34FB", 600, nullptr}));

TEST(UuidList, SkipsEmptyItemsAndDuplicates)
{
    std::vector<Uuid> list;
    ASSERT_TRUE(ParseUuidList("2902,,2902,2901", list).ok());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(JoinUuids(list), "00002902-0000-1000-8000-00805F9B34FB,00002901-0000-1000-8000-00805F9B34FB");
}

// Large lists keep the first-seen order, whatever form each item has.
TEST(UuidList, ThousandsOfItemsKeepTheFirstSeenOrder)
{
    std::string text;
    for (int round = 0; round < 3; ++round)
        for (int i = 4999; i >= 0; --i) {
            char item[16];
            std::snprintf(item, sizeof item, round == 1 ? "0x%04x" : "%04X", i);
            text += std::string(item) + ",";
        }
    std::vector<Uuid> list;
    ASSERT_TRUE(ParseUuidList(text, list).ok());
    ASSERT_EQ(list.size(), 5000u);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(list[static_cast<std::size_t>(i)], Uuid::FromShort(static_cast<std::uint16_t>(4999 - i))) << i;
}

TEST(UuidList, EmptyTextIsEmptyList)
{
    std::vector<Uuid> list{Uuid::FromShort(1)};
    ASSERT_TRUE(ParseUuidList("", list).ok());
    EXPECT_TRUE(list.empty());
}

TEST(UuidList, FirstBadItemFailsTheWholeList)
{
    std::vector<Uuid> list{Uuid::FromShort(0x180A)};
    Status status = ParseUuidList("2902,12345,xyz", list);
    EXPECT_EQ(status.code, 600);
    EXPECT_EQ(status.text, kBadLength);
    EXPECT_EQ(list.size(), 1u);  // untouched
}

TEST(UuidFormat, ShortFormsSitOnTheBaseUuid)
{
    EXPECT_EQ(FormatUuid(Uuid::FromShort(0x2A00)), "00002A00-0000-1000-8000-00805F9B34FB");
    EXPECT_EQ(FormatUuid(Uuid::FromShort32(0xDEADBEEF)), "DEADBEEF-0000-1000-8000-00805F9B34FB");
}

}  // namespace
}  // namespace vornik
