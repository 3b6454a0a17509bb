// A list of 32768 UUIDs (every one twice, so half are dropped as
// duplicates) through ParseUuidList, against the floor of parsing the same
// items one by one with ParseUuid in the same run. Run by hand:
//   build/bin/vornik_uuid_list_bench [uuids]
#include "uuid.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kDefaultCount = 32768;
constexpr int kRounds = 5;

template <class F>
double bestMillis(F&& run)
{
    double best = 1e300;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        if (!run())
            return -1;
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace vornik;
    const int count = argc > 1 ? std::max(2, std::atoi(argv[1])) : kDefaultCount;
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) {
        char text[40];
        std::snprintf(text, sizeof text, "%08X-0000-1000-8000-00805F9B34FB", static_cast<unsigned>(i / 2) * 2654435761u);
        items.emplace_back(text);
    }
    std::string list;
    for (const std::string& item : items)
        list += (list.empty() ? "" : ",") + item;

    const double floor = bestMillis([&] {
        Uuid uuid;
        for (const std::string& item : items)
            if (!ParseUuid(item, uuid).ok())
                return false;
        return true;
    });
    std::size_t kept = 0;
    const double parsed = bestMillis([&] {
        std::vector<Uuid> out;
        const bool ok = ParseUuidList(list, out).ok();
        kept = out.size();
        return ok;
    });
    std::printf("%d UUIDs (%zu distinct), best of %d rounds\n", count, kept, kRounds);
    std::printf("%-40s %9.2f ms\n", "floor: ParseUuid item by item", floor);
    std::printf("%-40s %9.2f ms  %6.2f x floor\n", "ParseUuidList with de-duplication", parsed, parsed / floor);
    return 0;
}
