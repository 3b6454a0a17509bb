// Settings-file readers under fuzzing: the fuzzer's bytes become the file,
// the store loads it in the chosen locale; a load that succeeds is saved and
// loaded again by a second store, which must read the same values.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fuzz_text.h"
#include "shell/settings_store.h"

namespace qc::fuzz {

inline const QString& SettingsFolder()
{
    // One folder for the whole run; in memory where there is such a folder,
    // since every save is flushed to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/qc-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/qc-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

struct SettingsRun {
    QLocale locale;
    SettingsStore first;
    SettingsStore second;
    bool loaded = false; // the first load succeeded
};

// Writes the input's bytes as `file(store)`, loads them with `load`; when
// that succeeds, saves with `save` (unless empty) and loads the saved file
// into `second`.
template <typename PathOf>
void RunSettings(const std::uint8_t* data, std::size_t size, QStringView load, QStringView save, PathOf file,
                 SettingsRun& run)
{
    Input in(data, size);
    run.locale = ChosenLocale(in.Byte());
    for (SettingsStore* s : {&run.first, &run.second}) {
        s->SetSettingsDir(SettingsFolder());
        s->SetLocale(run.locale);
        s->SetGaugeNumber(QStringLiteral("F1"));
    }
    const std::string_view bytes = in.Rest();
    {
        QFile out(file(run.first));
        FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(out.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()));
    }
    const auto failure = run.first.Voreinstellungen(load);
    run.loaded = !failure.has_value();
    if (failure)
        FUZZ_CHECK(!failure->Description.isEmpty());
    if (!run.loaded || save.isEmpty())
        return;
    FUZZ_CHECK(!run.first.Voreinstellungen(save).has_value());
    FUZZ_CHECK(!run.second.Voreinstellungen(load).has_value());
}

} // namespace qc::fuzz
