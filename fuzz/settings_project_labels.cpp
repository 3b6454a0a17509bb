// The project field labels (Projekt.ini), read only: six labels at most,
// each line cut to its length, the caption a field of the line.
#include "settings_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::SettingsRun run;
    qc::fuzz::RunSettings(
        data, size, qc::settings_mode::ProjectLabelsLoad, {},
        [](const qc::SettingsStore& s) { return s.ProjectLabelsPath(); }, run);
    const qc::ProjectLabels& labels = run.first.projectLabels;
    for (int i = 0; i < qc::kProjectFields; ++i) {
        FUZZ_CHECK(labels.Lines[i].size() <= qc::kProjectLabelLength);
        FUZZ_CHECK(!labels.Captions[i].contains(u';'));
        FUZZ_CHECK(!labels.Captions[i].contains(u'\n'));
    }
    return 0;
}
