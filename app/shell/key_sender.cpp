#include "shell/key_sender.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <csignal>
#include <cstdlib>

#include "data/key_forwarding.h"

extern "C" {
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <xdo.h>
}

namespace qc {

namespace {

constexpr useconds_t kKeyDelayMicros = 12000; // xdo's own default between keys
const char* const kReturnKey = "Return";

// A window that vanishes between search and typing raises an X error; the
// default handler would end the program.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

bool ProcessRunning(qint64 pid)
{
    if (pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0)
        return false;
    // A finished child that nobody reaped yet still answers kill(0).
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close < 0 || close + 2 >= line.size() || line.at(close + 2) != 'Z';
}

// Whether a window manager runs that activates windows on request.
bool CanActivateWindows(Display* display)
{
    const Atom supported = XInternAtom(display, "_NET_SUPPORTED", True);
    const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", True);
    if (supported == 0 || active == 0)
        return false;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), supported, 0, 4096, False, XA_ATOM, &type, &format,
                           &count, &after, &data) != Success ||
        !data)
        return false;
    const Atom* atoms = reinterpret_cast<const Atom*>(data);
    const bool found = format == 32 && std::find(atoms, atoms + count, active) != atoms + count;
    XFree(data);
    return found;
}

} // namespace

KeySender::KeySender() = default;

KeySender::~KeySender()
{
    if (xdo_) {
        ReleaseBoundKeys();
        xdo_free(xdo_);
    }
}

namespace {

// The keysym X11 gives a character: Latin-1 keysyms equal their code
// point, every other character is 0x1000000 + code point.
KeySym KeysymOf(char32_t c) { return c >= 0x20 && c <= 0xFF ? KeySym(c) : KeySym(0x1000000 + c); }

// Keycodes with no symbol at all, lowest first; one is always left to xdo
// for characters we could not bind.
std::vector<unsigned char> SpareKeycodes(Display* display)
{
    int low = 0, high = 0, perKeycode = 0;
    XDisplayKeycodes(display, &low, &high);
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(low), high - low + 1, &perKeycode);
    std::vector<unsigned char> spare;
    if (!map)
        return spare;
    for (int code = low; code <= high; ++code) {
        const KeySym* syms = map + (code - low) * perKeycode;
        if (std::all_of(syms, syms + perKeycode, [](KeySym k) { return k == NoSymbol; }))
            spare.push_back(static_cast<unsigned char>(code));
    }
    XFree(map);
    if (!spare.empty())
        spare.pop_back();
    return spare;
}

} // namespace

void KeySender::BindMissingKeys(const QStringList& texts)
{
    Display* display = xdo_->xdpy;
    std::vector<KeySym> missing;
    for (const QString& text : texts) {
        for (char32_t c : text.toUcs4()) {
            if (c < 0x20)
                continue;
            const KeySym sym = KeysymOf(c);
            if (XKeysymToKeycode(display, sym) == 0 && std::find(missing.begin(), missing.end(), sym) == missing.end())
                missing.push_back(sym);
        }
    }
    if (missing.empty())
        return;
    const std::vector<unsigned char> spare = SpareKeycodes(display);
    const size_t count = std::min(missing.size(), spare.size());
    for (size_t i = 0; i < count; ++i) {
        KeySym both[2] = {missing[i], missing[i]}; // the same with and without Shift
        XChangeKeyboardMapping(display, spare[i], 2, both, 1);
        boundKeycodes_.push_back(spare[i]);
    }
    if (count == 0)
        return;
    XSync(display, False);
    // xdo reads the keyboard map once, when it is made.
    xdo_free(xdo_);
    xdo_ = xdo_new(nullptr);
    if (xdo_)
        xdo_->quiet = 1;
}

void KeySender::ReleaseBoundKeys()
{
    if (boundKeycodes_.empty())
        return;
    for (unsigned char code : boundKeycodes_) {
        KeySym none[2] = {NoSymbol, NoSymbol};
        XChangeKeyboardMapping(xdo_->xdpy, code, 2, none, 1);
    }
    XSync(xdo_->xdpy, False);
    boundKeycodes_.clear();
}

bool KeySender::OpenDisplay()
{
    if (xdo_)
        return true;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return false;
    XSetErrorHandler(IgnoreXError);
    xdo_ = xdo_new(nullptr);
    if (xdo_)
        xdo_->quiet = 1;
    return xdo_ != nullptr;
}

QString KeySender::ResolveProgram(const QString& target)
{
    const QString program = target.trimmed();
    if (program.isEmpty())
        return {};
    if (program.contains(u'/'))
        return QFileInfo(program).isExecutable() && QFileInfo(program).isFile() ? program : QString();
    return QStandardPaths::findExecutable(program);
}

KeySender::Problem KeySender::StartTarget(const KeyForwardingSettings& settings)
{
    if (settings.TargetApplication.trimmed().isEmpty() || !settings.Enabled || TargetStarted)
        return Problem::Ok;
    const QString program = ResolveProgram(settings.TargetApplication);
    windowsBeforeStart_ = OpenDisplay() ? VisibleWindows() : std::vector<unsigned long>();
    qint64 pid = 0;
    if (program.isEmpty() || !QProcess::startDetached(program, {}, QString(), &pid))
        return Problem::StartFailed;
    TargetTaskId = pid;
    TargetStarted = true;
    return Problem::Ok;
}

std::vector<unsigned long> KeySender::VisibleWindows() const
{
    xdo_search_t search{};
    search.searchmask = SEARCH_ONLYVISIBLE;
    search.only_visible = 1;
    search.max_depth = -1;
    search.require = xdo_search::SEARCH_ALL;
    Window* windows = nullptr;
    unsigned int count = 0;
    xdo_search_windows(xdo_, &search, &windows, &count);
    std::vector<unsigned long> found(windows, windows + count);
    XFree(windows);
    std::sort(found.begin(), found.end());
    return found;
}

// Read here rather than through xdo: its lookup reads an unset count when
// the window vanishes meanwhile, and crashes.
qint64 KeySender::PidOfWindow(Display* display, unsigned long window)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None)
        return 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data);
    qint64 pid = 0;
    if (status == Success && data != nullptr && type == XA_CARDINAL && format == 32 && count > 0)
        pid = static_cast<qint64>(*reinterpret_cast<unsigned long*>(data));
    if (data != nullptr)
        XFree(data);
    return pid;
}

unsigned long KeySender::WindowOfTask() const
{
    for (unsigned long window : VisibleWindows()) {
        if (PidOfWindow(xdo_->xdpy, window) == TargetTaskId)
            return window;
    }
    return 0;
}

// The newest visible window that was not there before the start and is not
// one of ours: where a launcher's program or a running instance shows up.
unsigned long KeySender::WindowAppearedSinceStart() const
{
    const qint64 own = QCoreApplication::applicationPid();
    unsigned long found = 0;
    for (unsigned long window : VisibleWindows()) {
        if (std::binary_search(windowsBeforeStart_.begin(), windowsBeforeStart_.end(), window))
            continue;
        if (PidOfWindow(xdo_->xdpy, window) == own)
            continue;
        found = window;
    }
    return found;
}

KeySender::Problem KeySender::Send(const QStringList& texts)
{
    if (texts.isEmpty())
        return Problem::Ok;
    if (!OpenDisplay())
        return Problem::NoDisplay;
    if (!TargetStarted)
        return Problem::TargetGone;
    const bool running = ProcessRunning(TargetTaskId);
    Window window = running ? WindowOfTask() : 0;
    if (window == 0)
        window = WindowAppearedSinceStart();
    if (window == 0)
        return running ? Problem::NoWindow : Problem::TargetGone;
    // Without a window manager activation is refused; the input focus is
    // then set directly, which is what typing needs.
    if (CanActivateWindows(xdo_->xdpy))
        xdo_activate_window(xdo_, window);
    xdo_focus_window(xdo_, window);
    BindMissingKeys(texts);
    if (!xdo_)
        return Problem::NoDisplay;
    for (const QString& text : texts) {
        if (text == kEnterKeyText)
            xdo_send_keysequence_window(xdo_, CURRENTWINDOW, kReturnKey, kKeyDelayMicros);
        else
            xdo_enter_text_window(xdo_, CURRENTWINDOW, text.toUtf8().constData(), kKeyDelayMicros);
    }
    XSync(xdo_->xdpy, False);
    return Problem::Ok;
}

} // namespace qc
