// 64 KiB of text through code page 1251 (Cyrillic, converted with iconv's
// help), both ways, against the floor of the same bytes through the
// built-in Windows-1252 table in the same run. Run by hand:
//   build/bin/vornik_code_page_bench [rounds]
#include "code_page.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kSize = 64 * 1024;
constexpr int kDefaultRounds = 200;

// The best of `rounds` runs, in microseconds: the floor of the machine's
// noise rather than its average.
template <class F>
double bestMicros(int rounds, F&& convert)
{
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        if (!convert())
            return -1;
        best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return best;
}

void report(const char* what, double micros, double floor)
{
    std::printf("%-46s %9.1f us  %6.2f x floor\n", what, micros, micros / floor);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace vornik::surface;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRounds;
    // Every byte value, so the characters Windows-1251 lacks (those of
    // Windows-1252 above 0x7F) are in the text as well.
    std::string bytes(kSize, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    const std::string latin = FromEngine(bytes, kCodePage1252).text;
    const std::string cyrillic = FromEngine(bytes, 1251).text;

    const double floorTo = bestMicros(rounds, [&] { return ToEngine(latin, kCodePage1252).ok; });
    const double floorFrom = bestMicros(rounds, [&] { return FromEngine(bytes, kCodePage1252).ok; });
    std::printf("64 KiB, best of %d rounds\n", rounds);
    report("floor: UTF-8 -> bytes, CodePage 1252", floorTo, floorTo);
    report("floor: bytes -> UTF-8, CodePage 1252", floorFrom, floorFrom);
    report("UTF-8 -> bytes, CodePage 1251 (Cyrillic text)",
           bestMicros(rounds, [&] { return ToEngine(cyrillic, 1251).ok; }), floorTo);
    report("UTF-8 -> bytes, CodePage 1251 (mostly unmappable)",
           bestMicros(rounds, [&] { return ToEngine(latin, 1251).ok; }), floorTo);
    report("bytes -> UTF-8, CodePage 1251", bestMicros(rounds, [&] { return FromEngine(bytes, 1251).ok; }), floorFrom);
    return 0;
}
