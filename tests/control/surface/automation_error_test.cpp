#include "automation_error.h"

#include "vornik220.h"

#include <gtest/gtest.h>

namespace vornik::surface {
namespace {

struct CodeCase {
    int code;
    std::uint32_t hresult;
    std::int32_t number;
};

TEST(AutomationError, HresultAndNumberFromEngineCode)
{
    const CodeCase cases[] = {
        {-1, 0x800A4E20, 20000},    {202, 0x800A4EEB, 20203},   {601, 0x800A507A, 20602},
        {605, 0x800A507E, 20606},   {704, 0x800A50E1, 20705},   {955, 0x800A51DC, 20956},
        {10000, 0x800A7531, 30001}, {10001, 0x800A61AA, 25002}, {200, 0x800A0007, 7},
    };
    for (const auto& c : cases) {
        const std::int32_t hr = HresultForEngineCode(c.code);
        EXPECT_EQ(static_cast<std::uint32_t>(hr), c.hresult) << c.code;
        EXPECT_EQ(ErrorNumber(hr), c.number) << c.code;
    }
}

TEST(AutomationError, DescriptionIsTheLastErrorTextOrAFixedText)
{
    EXPECT_EQ(EngineError(605, "You must be connected to a server to perform the requested action.", 44004).description,
              "You must be connected to a server to perform the requested action.");
    EXPECT_EQ(EngineError(605, "", 44004).description, "No description available.");
    const AutomationError memory = EngineError(200, "whatever the engine said", 24003);
    EXPECT_EQ(memory.description, "Out of memory.");
    EXPECT_EQ(memory.hresult, VORNIK_CTL_E_OUTOFMEMORY);
    EXPECT_EQ(memory.helpContext, 24003);
}

TEST(AutomationError, NumbersOfOtherFacilitiesAreTheHresult)
{
    EXPECT_EQ(ErrorNumber(VORNIK_E_INVALIDARG), VORNIK_E_INVALIDARG);
    EXPECT_EQ(ErrorNumber(VORNIK_CTL_E_SETNOTSUPPORTED), 383);
    EXPECT_EQ(ErrorNumber(VORNIK_CTL_E_INVALIDPROPERTYARRAYINDEX), 381);
}

} // namespace
} // namespace vornik::surface
