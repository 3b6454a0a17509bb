// The language file (Language_<n>.ini): only German or English ever comes
// out, and it saves and reads back the same.
#include "settings_fuzz.h"
#include "shell/texts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::SettingsRun run;
    qc::fuzz::RunSettings(
        data, size, qc::settings_mode::LanguageLoad, qc::settings_mode::LanguageSave,
        [](const qc::SettingsStore& s) { return s.LanguagePath(); }, run);
    FUZZ_CHECK(run.first.language == qc::kGerman || run.first.language == qc::kEnglish);
    if (run.loaded)
        FUZZ_CHECK(run.first.language == run.second.language);
    return 0;
}
