#include "sig_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vornik {
namespace {

struct NameCase {
    SigKind kind;
    std::uint16_t uuid;
    const char* name;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << std::hex << c.uuid;
}

class SigNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(SigNames, LooksUpByFullUuid)
{
    const NameCase& c = GetParam();
    EXPECT_EQ(SigName(c.kind, Uuid::FromShort(c.uuid)), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SigNames,
    ::testing::Values(NameCase{SigKind::Service, 0x1800, "Generic Access"},
                      NameCase{SigKind::Service, 0x180A, "Device Information"},
                      NameCase{SigKind::Service, 0x180F, "Battery Service"},
                      NameCase{SigKind::Service, 0x1828, "Mesh Proxy Service"},
                      NameCase{SigKind::Service, 0x1817, ""},  // not in the table
                      NameCase{SigKind::Service, 0x180B, ""},
                      NameCase{SigKind::Service, 0x2A00, ""},  // a characteristic, not a service
                      NameCase{SigKind::Characteristic, 0x2A00, "Device Name"},
                      NameCase{SigKind::Characteristic, 0x2A05, "Service Changed"},
                      NameCase{SigKind::Characteristic, 0x2ADA, "Fitness Machine Status"},
                      NameCase{SigKind::Characteristic, 0x2A2D, ""},
                      NameCase{SigKind::Descriptor, 0x2900, "Characteristic Extended Properties"},
                      NameCase{SigKind::Descriptor, 0x2902, "Client Characteristic Configuration"},
                      NameCase{SigKind::Descriptor, 0x290E, "Time Trigger Setting"},
                      NameCase{SigKind::Descriptor, 0x290F, ""}));

TEST(SigNamesTable, HasTheRowCountsOfEachTable)
{
    EXPECT_EQ(SigTableSize(SigKind::Service), 38);
    EXPECT_EQ(SigTableSize(SigKind::Characteristic), 214);
    EXPECT_EQ(SigTableSize(SigKind::Descriptor), 15);
}

TEST(SigNamesTable, KeysCompareCaseSensitively)
{
    EXPECT_EQ(SigName(SigKind::Service, std::string("0000180a-0000-1000-8000-00805f9b34fb")), "");
}

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SigNamesTable, RepositoryCopyMatchesTheSharedList)
{
    const std::filesystem::path shared = VORNIK_SHARED_SIG_TSV;
    if (!std::filesystem::exists(shared))
        GTEST_SKIP() << "no shared list beside the checkout";
    EXPECT_EQ(ReadAll(VORNIK_SIG_TSV), ReadAll(shared));
}

}  // namespace
}  // namespace vornik
