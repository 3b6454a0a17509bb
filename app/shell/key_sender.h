#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "data/key_forwarding_settings.h"

struct xdo;
struct _XDisplay;

namespace qc {

// Types online readings into the target program: starts it (no shell; its
// pid is the task id; a bare name is looked up in PATH) and sends each text
// as keystrokes to its window on the X11 display. A program that hands its
// window to another process (a launcher, a program already running) is
// found by the window that appeared after the start. "({ENTER})" is the
// Return key; everything else is typed literally.
//
// Characters the keyboard map lacks are bound to spare keycodes before the
// text is typed and stay bound while the sender lives. Typing them through a
// keycode that is remapped for each key and reverted right after would lose
// them whenever the target reads its events after the revert (a busy
// machine is enough).
class KeySender {
public:
    enum class Problem {
        Ok,
        NoDisplay,   // no X11 display to type on
        StartFailed, // the target program could not be started
        TargetGone,  // the target program is no longer running
        NoWindow,    // the target program has no window to type into
    };

    KeySender();
    ~KeySender();
    KeySender(const KeySender&) = delete;
    KeySender& operator=(const KeySender&) = delete;

    // Starts the target once per path: only when a path is set, forwarding
    // is on and it has not been started yet.
    Problem StartTarget(const KeyForwardingSettings& settings);

    // Activates the target's window and types the texts in order.
    Problem Send(const QStringList& texts);

    qint64 TargetTaskId = 0;
    bool TargetStarted = false;

    // The program a target path names: the path itself when it holds a "/",
    // otherwise the executable of that name in PATH; empty when none.
    static QString ResolveProgram(const QString& target);

    // The process id a window names (_NET_WM_PID); 0 when it names none or
    // is gone meanwhile (X errors must be ignored by the caller's handler).
    static qint64 PidOfWindow(_XDisplay* display, unsigned long window);

private:
    bool OpenDisplay();
    std::vector<unsigned long> VisibleWindows() const;
    unsigned long WindowOfTask() const;
    unsigned long WindowAppearedSinceStart() const;

    void BindMissingKeys(const QStringList& texts);
    void ReleaseBoundKeys();

    xdo* xdo_ = nullptr;
    std::vector<unsigned long> windowsBeforeStart_;
    // Keycodes we gave characters the keyboard map lacks (such as "µ"),
    // kept until the sender ends.
    std::vector<unsigned char> boundKeycodes_;
};

} // namespace qc
