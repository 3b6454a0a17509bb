// What a host relies on before it reads an event's arguments: only an
// argument list of the table's count and types passes, for every event.
#include "vornik_events.h"

#include <gtest/gtest.h>

#include <vector>

namespace vornik {
namespace {

std::vector<vornik_variant> ArgumentsOf(const EventInfo& event)
{
    std::vector<vornik_variant> args(static_cast<std::size_t>(event.params.size()));
    for (std::int32_t i = 0; i < event.params.size(); ++i)
        args[static_cast<std::size_t>(i)].type = VariantTypeOf(event.params[i].type);
    return args;
}

TEST(EventTable, EveryEventRefusesEveryMalformedArgumentList)
{
    const std::int32_t otherTypes[] = {VORNIK_VT_EMPTY, VORNIK_VT_I2,   VORNIK_VT_I4,
                                       VORNIK_VT_STR,   VORNIK_VT_BOOL, VORNIK_VT_BYTES};
    for (const EventInfo& event : kEvents) {
        ASSERT_EQ(FindEventInfo(event.dispid), &event) << event.name;
        std::vector<vornik_variant> args = ArgumentsOf(event);
        const auto count = static_cast<std::int32_t>(args.size());
        EXPECT_TRUE(EventArgsMatch(event, args.data(), count)) << event.name;
        EXPECT_FALSE(EventArgsMatch(event, args.data(), count - 1)) << event.name << ": one short";
        EXPECT_FALSE(EventArgsMatch(event, nullptr, count)) << event.name << ": no arguments";
        args.push_back(vornik_variant{});
        EXPECT_FALSE(EventArgsMatch(event, args.data(), count + 1)) << event.name << ": one more";
        args.pop_back();
        for (std::size_t i = 0; i < args.size(); ++i)
            for (const std::int32_t type : otherTypes) {
                std::vector<vornik_variant> wrong = args;
                if (type == wrong[i].type)
                    continue;
                wrong[i].type = type;
                EXPECT_FALSE(EventArgsMatch(event, wrong.data(), count))
                    << event.name << ": argument " << i << " of type " << type;
            }
    }
    EXPECT_EQ(FindEventInfo(0), nullptr);
    EXPECT_EQ(FindEventInfo(VORNIK_EVENT_WriteResponse + 1), nullptr);
}

} // namespace
} // namespace vornik
