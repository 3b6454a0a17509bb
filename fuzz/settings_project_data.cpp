// The project data file (Projektdaten._<n>.ini): texts cut to their length,
// and a successful load saves and reads back to the same texts and date.
#include "settings_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::SettingsRun run;
    qc::fuzz::RunSettings(
        data, size, qc::settings_mode::ProjectDataLoad, qc::settings_mode::ProjectDataSave,
        [](const qc::SettingsStore& s) { return s.ProjectDataPath(); }, run);
    const qc::ProjectData& a = run.first.projectData;
    for (const QString& text : a.Texts)
        FUZZ_CHECK(text.size() <= qc::kProjectTextLength);
    if (!run.loaded)
        return 0;
    const qc::ProjectData& b = run.second.projectData;
    FUZZ_CHECK(a.Date == b.Date);
    for (int i = 0; i < qc::kProjectFields; ++i)
        FUZZ_CHECK(QString(a.Texts[i]).replace(u'\r', u' ').trimmed() == b.Texts[i] || b.Texts[i] == a.Texts[i]);
    return 0;
}
