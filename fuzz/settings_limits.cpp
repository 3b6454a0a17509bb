// The limits file (Limit_<n>.ini): whatever it holds, a successful load
// saves and reads back to the same limits.
#include "settings_fuzz.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::SettingsRun run;
    qc::fuzz::RunSettings(
        data, size, qc::settings_mode::LimitsLoad, qc::settings_mode::LimitsSave,
        [](const qc::SettingsStore& s) { return s.LimitsPath(); }, run);
    if (!run.loaded)
        return 0;
    const qc::Limits& a = run.first.limits;
    const qc::Limits& b = run.second.limits;
    FUZZ_CHECK(std::isfinite(a.MinLimit) && std::isfinite(a.MaxLimit) && std::isfinite(a.TargetValue));
    FUZZ_CHECK(a.MinLimit == b.MinLimit && a.MaxLimit == b.MaxLimit && a.TargetValue == b.TargetValue);
    FUZZ_CHECK(a.Rule8020 == b.Rule8020);
    // A file without a limits line sets no texts; otherwise they read back.
    if (!a.MinLimitText.isEmpty())
        FUZZ_CHECK(a.MinLimitText == b.MinLimitText && a.MaxLimitText == b.MaxLimitText &&
                   a.TargetText == b.TargetText);
    return 0;
}
