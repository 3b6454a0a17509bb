#include "shell/session.h"

#include "shell/manual_files.h"
#include "shell/texts.h"

namespace qc {

int SlotOf(TableMode mode) { return mode == TableMode::Online ? kOnlineSlot : kMemorySlot; }

TableMode ModeOfSlot(int slot) { return slot == kOnlineSlot ? TableMode::Online : TableMode::Memory; }

Session::Session(WaitClock& clock)
    : Settings(QString(), QLocale::system())
    , m_clock(&clock)
{
}

void Session::Start(const QString& executableDir)
{
    Folders.ProgramDir = ProgramDirFor(executableDir);
    Folders.SettingsDir = SettingsDirFromEnvironment();
    Folders.DataDir = DataDirFromEnvironment();
    EnsureDirectory(Folders.SettingsDir);
    EnsureDirectory(Folders.DataDir);
    Log.SetPath(TransferLog::PathIn(Folders.SettingsDir));
    Settings.SetSettingsDir(Folders.SettingsDir);
    Settings.SetLog(&Log);
    InstallManuals(Folders.ProgramDir, Folders.SettingsDir);
    Log.DeleteLog();
    SetLanguage(Language()); // a stored value above 1 means English
    Connected = false;
    GaugeIdentified = false;
    MemoryShown = false;
}

void Session::SetLanguage(int language) { Settings.language = ClampLanguage(language); }

} // namespace qc
