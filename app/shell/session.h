#pragma once

#include <QString>
#include <QStringView>
#include <optional>

#include "data/gauge_profile.h"
#include "data/measurement_data.h"
#include "shell/folders.h"
#include "shell/settings_store.h"
#include "shell/status_text.h"
#include "shell/transfer_log.h"
#include "shell/wait_clock.h"

namespace qc {

// The table shown: a gauge memory or a measurement file, or the live
// readings. The table keeps them in slots 0 and 2.
enum class TableMode { Memory, Online };
int SlotOf(TableMode mode);
TableMode ModeOfSlot(int slot);

// What the program knows during one run, apart from any window: folders,
// log, the settings values of the current gauge, the gauge's identity and
// profile, the measurement table with its statistics, and the flags the
// windows share. The main window shows it; a command-line tool uses it
// without one.
class Session {
public:
    explicit Session(WaitClock& clock = SystemWaitClock());
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Start-up without windows: folders from the environment, the log of an
    // earlier run emptied, the manuals installed.
    void Start(const QString& executableDir);

    WaitClock& Clock() const { return *m_clock; }
    void SetClock(WaitClock& clock) { m_clock = &clock; }

    // Runs one settings operation; a failure is returned (its prefix is
    // already in the log).
    std::optional<SettingsFailure> Voreinstellungen(QStringView mode) { return Settings.Voreinstellungen(mode); }

    // Language of the user interface: 0 German, 1 English.
    int Language() const { return Settings.language; }
    void SetLanguage(int language);

    TableMode Mode() const { return ModeOfSlot(Table.state.TableMode); }
    void SetMode(TableMode mode) { Table.state.TableMode = SlotOf(mode); }

    AppFolders Folders;
    TransferLog Log;
    SettingsStore Settings;
    GaugeContext Gauge;
    MeasurementData Table;

    // The memory shown: caption the memory option gets back when its table
    // starts again (without count), the
    // count suffix " (<rows>)" of the last fill, the memory read last
    // (class "4") or the selected file's comment (class "5"), and the text
    // of the memory selector.
    QString MemoryOptionCaption;
    // What the memory option shows now, without its count (a memory
    // caption, or a measurement file's name).
    QString MemoryOptionText = QStringLiteral("FE-Speicher");
    QString CountSuffix = QStringLiteral(" (0)");
    int MemoryNumber = 0;
    QString MemoryFileComment;
    QString SelectedMemoryName;

    bool Connected = false;       // the gauge link is up
    bool GaugeIdentified = false; // identification answered
    bool MemoryShown = false;     // a memory is shown in the table

    // What the gauge link is doing, for the status bar (the main window's
    // RefreshStatus shows it).
    StatusState Status;

private:
    WaitClock* m_clock;
};

} // namespace qc
