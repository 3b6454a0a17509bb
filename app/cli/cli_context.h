// One run of quenconnect-cli: the options, the terminal, and the program's
// session with its table, driven without a window.
#pragma once

#include <QString>

#include "cli/cli_options.h"
#include "shell/prompt.h"
#include "shell/session.h"
#include "shell/table_controller.h"
#include "shell/table_view.h"

namespace qc::cli {

// Standard output takes the results, standard error the messages; progress
// only goes to a terminal.
class Console {
public:
    explicit Console(int language);
    int Language() const { return language_; }
    // As it is, UTF-8.
    void Out(const QString& text) const;
    void Message(const QString& text) const;
    void Progress(const QString& text) const;

private:
    int language_;
    bool progress_;
};

// The table controller's window: nothing is shown.
class HeadlessView : public TableView {
public:
    void BindModel(MeasurementGridModel&) override { }
    void ShowGrid() override { }
    void ScrollToRow(int) override { }
    void ShowStatistics(const QStringList&) override { }
    void ShowLogo(bool) override { }
    void ShowMaterialButton(const QString&, bool) override { }
    void ShowLimitsCaption(const QString&) override { }
    void ShowOptionCaption(TableMode, const QString&) override { }
    void ShowMemoryStatus(const QString&, bool) override { }
    void ShowTableChosen(TableMode) override { }
    void HideChart() override { }
    void ArrangeMemoryControls(MemoryControls) override { }
    void ShowMeasurementFile(const QString&) override { }
    void SetWorkingControlsEnabled(bool) override { }
    bool EditLimits(Limits&, const QString&) override { return false; }
    bool EditKeyForwarding(KeyForwardingSettings&) override { return false; }
};

// Message boxes become lines on standard error; questions are answered No,
// so nothing is ever deleted without a user.
class ConsolePrompt : public Prompt {
public:
    explicit ConsolePrompt(const Console& console)
        : console_(console)
    {
    }
    void Tell(const QString&, const QString& text, Icon) override { console_.Message(text); }
    bool AskYesNo(const QString&, const QString& text, Icon) override
    {
        console_.Message(text);
        return false;
    }

private:
    const Console& console_;
};

struct Context {
    Context(const Options& options, int language);

    // Folders from the environment (after --settings and --data), created
    // when missing; the log of the window is appended to, never emptied.
    void StartSession(const QString& executableDir);

    const Options& options;
    Console console;
    Session session;
    HeadlessView view;
    ConsolePrompt prompt{console};
    TableController table{session, view, prompt};
};

} // namespace qc::cli
