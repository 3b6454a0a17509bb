// The key forwarding file (Tastatur_<n>.ini): a successful load saves and
// reads back to the same settings.
#include "settings_fuzz.h"

namespace {

// Saving puts a line end inside a value as a blank: one record stays one line.
QString OneLine(QString text) { return text.replace(u'\r', u' ').replace(u'\n', u' '); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::SettingsRun run;
    qc::fuzz::RunSettings(
        data, size, qc::settings_mode::KeysLoad, qc::settings_mode::KeysSave,
        [](const qc::SettingsStore& s) { return s.KeyForwardingPath(); }, run);
    if (!run.loaded)
        return 0;
    const qc::KeyForwardingSettings& a = run.first.keyForwarding;
    const qc::KeyForwardingSettings& b = run.second.keyForwarding;
    FUZZ_CHECK(!a.TargetApplication.contains(u';'));
    FUZZ_CHECK(a.Enabled == b.Enabled);
    FUZZ_CHECK(OneLine(a.TargetApplication) == b.TargetApplication);
    FUZZ_CHECK(OneLine(a.Options) == b.Options);
    FUZZ_CHECK(OneLine(a.EndOfLineKey) == b.EndOfLineKey);
    return 0;
}
