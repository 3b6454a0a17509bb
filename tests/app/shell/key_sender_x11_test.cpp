// Runs under Xvfb: a receiver program of our own is started as the target
// and logs the keys it gets.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

#include "data/measurement_data.h"
#include "shell/key_sender.h"

// Last: Xlib defines macros (None, Bool) that other headers use as names.
extern "C" {
#include <X11/Xatom.h>
#include <X11/Xlib.h>
}

namespace qc {
namespace {

using namespace std::chrono_literals;

const QDateTime kNow(QDate(2024, 12, 5), QTime(10, 15, 30));

QString ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Polls until `done` or the deadline; true when done.
template <typename F>
bool WaitFor(F done, std::chrono::milliseconds deadline = 20s)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        QThread::msleep(50);
    }
    return done();
}

// Whether a process has ended. A started program is detached, so whoever
// adopts it reaps it, or not at all (a harness that adopts orphans and never
// waits for them): an unreaped one counts as ended.
bool Ended(qint64 pid)
{
    if (::kill(static_cast<pid_t>(pid), 0) != 0)
        return true;
    const QByteArray stat = [&] {
        QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const qsizetype close = stat.lastIndexOf(')');
    return close >= 0 && close + 2 < stat.size() && stat.at(close + 2) == 'Z';
}

QString Record(double value)
{
    return QStringLiteral("   1  ") + QString::number(value, 'f', 1).rightJustified(10, u' ') +
           QStringLiteral(" \u00B5m   FE ");
}

TEST(KeySenderX11, TypesOnlineReadingsIntoTheTarget)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("keys.log"));
    qputenv("QC_KEY_RECEIVER_LOG", log.toLocal8Bit());

    MeasurementData data;
    data.locale = QLocale(QLocale::German, QLocale::Germany);
    data.gauge.profile.ProfileClass = QStringLiteral("4");
    data.gauge.profile.ProfileKeys = QStringLiteral("E");
    data.gauge.profile.ProfileProbe = QStringLiteral("2");
    data.state.OnlineCounter = 1;
    data.keys.Enabled = true;
    data.keys.TargetApplication = QStringLiteral(QC_KEY_RECEIVER);
    data.keys.Options = QStringLiteral("1111");
    data.keys.EndOfLineKey = QStringLiteral("ENTER");

    KeySender sender;
    ASSERT_EQ(sender.StartTarget(data.keys), KeySender::Problem::Ok);
    EXPECT_TRUE(sender.TargetStarted);
    EXPECT_GT(sender.TargetTaskId, 0);
    EXPECT_EQ(sender.StartTarget(data.keys), KeySender::Problem::Ok); // once only
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(log + QStringLiteral(".ready")); }));

    data.SetTableMode(kOnlineSlot, kNow);
    EXPECT_EQ(sender.Send(data.FillMessdaten(Record(12.3), kNow).keyTexts), KeySender::Problem::Ok);
    data.keys.Options = QStringLiteral("0000");
    data.keys.EndOfLineKey.clear();
    EXPECT_EQ(sender.Send(data.FillMessdaten(Record(13.4), kNow).keyTexts), KeySender::Problem::Ok);
    data.keys.Options = QStringLiteral("1111");
    data.keys.EndOfLineKey = QStringLiteral("ENTER");
    data.SetTableMode(kMemorySlot, kNow);
    data.state.RowCounter = 1;
    const auto memoryRow = data.FillMessdaten(QStringLiteral("   7        55.0 \u00B5m   FE "), kNow);
    EXPECT_EQ(memoryRow.status, FillStatus::Added);
    EXPECT_TRUE(memoryRow.keyTexts.isEmpty());
    EXPECT_EQ(sender.Send(memoryRow.keyTexts), KeySender::Problem::Ok);
    EXPECT_EQ(sender.Send({QStringLiteral("#")}), KeySender::Problem::Ok); // marks the end

    const QString expected = QStringLiteral("      1 05.12.2024       12,3 \u00B5m FE{ENTER}       13,4#");
    EXPECT_TRUE(WaitFor([&] { return ReadAll(log).endsWith(u'#'); }));
    EXPECT_EQ(ReadAll(log), expected);
    EXPECT_EQ(data.table.ReadingCount(kOnlineSlot), 2);

    ::kill(static_cast<pid_t>(sender.TargetTaskId), SIGTERM);
    EXPECT_TRUE(WaitFor([&] { return sender.Send({QStringLiteral("1")}) == KeySender::Problem::TargetGone; }));
}

// The window search reads each window's process id while other programs
// open and close windows: a window gone meanwhile, or one naming no process
// or naming it in another form, gives no process, never a crash.
TEST(KeySenderX11, ProcessOfAWindowGoneOrMalformed)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    const auto makeWindow = [&] {
        return XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    };
    const unsigned long pid = 4242;
    const unsigned short shortPid = 4242;
    const char* text = "4242";
    struct Row {
        const char* what;
        std::function<void(Window)> set;
        qint64 expected;
    };
    const Row rows[] = {
        {"cardinal",
         [&](Window w) {
             XChangeProperty(display, w, pidAtom, XA_CARDINAL, 32, PropModeReplace,
                             reinterpret_cast<const unsigned char*>(&pid), 1);
         },
         4242},
        {"none", [](Window) {}, 0},
        {"empty", [&](Window w) { XChangeProperty(display, w, pidAtom, XA_CARDINAL, 32, PropModeReplace, nullptr, 0); },
         0},
        {"16 bit",
         [&](Window w) {
             XChangeProperty(display, w, pidAtom, XA_CARDINAL, 16, PropModeReplace,
                             reinterpret_cast<const unsigned char*>(&shortPid), 1);
         },
         0},
        {"string",
         [&](Window w) {
             XChangeProperty(display, w, pidAtom, XA_STRING, 8, PropModeReplace,
                             reinterpret_cast<const unsigned char*>(text), 4);
         },
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Window window = makeWindow();
        row.set(window);
        XSync(display, False);
        EXPECT_EQ(KeySender::PidOfWindow(display, window), row.expected);
        XDestroyWindow(display, window);
        XSync(display, False);
        EXPECT_EQ(KeySender::PidOfWindow(display, window), 0);
    }
    XCloseDisplay(display);
}

TEST(KeySenderX11, AProgramThatCannotStart)
{
    KeyForwardingSettings s;
    s.Enabled = true;
    s.TargetApplication = QStringLiteral("/nonexistent/program");
    KeySender sender;
    EXPECT_EQ(sender.StartTarget(s), KeySender::Problem::StartFailed);
    EXPECT_FALSE(sender.TargetStarted);
    EXPECT_EQ(sender.Send({QStringLiteral("1")}), KeySender::Problem::TargetGone);
}

// A target given by name is found in PATH; a launcher that starts the real
// program and ends is followed to the window that appeared.
TEST(KeySenderX11, ALauncherByNameHandsOverItsWindow)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("keys.log"));
    qputenv("QC_KEY_RECEIVER_LOG", log.toLocal8Bit());
    const QString launcher = dir.filePath(QStringLiteral("qc-test-launcher"));
    {
        QFile script(launcher);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n\"" QC_KEY_RECEIVER "\" &\necho $! > \"$0.pid\"\nexit 0\n");
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit() + ':' + path);
    EXPECT_EQ(KeySender::ResolveProgram(QStringLiteral("qc-test-launcher")), launcher);
    EXPECT_EQ(KeySender::ResolveProgram(QStringLiteral("no-such-program-here")), QString());

    KeyForwardingSettings settings;
    settings.Enabled = true;
    settings.TargetApplication = QStringLiteral("qc-test-launcher");
    KeySender sender;
    ASSERT_EQ(sender.StartTarget(settings), KeySender::Problem::Ok);
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(log + QStringLiteral(".ready")); }));
    ASSERT_TRUE(WaitFor([&] { return Ended(sender.TargetTaskId); })); // launcher ended
    EXPECT_EQ(sender.Send({QStringLiteral("42"), QStringLiteral("#")}), KeySender::Problem::Ok);
    EXPECT_TRUE(WaitFor([&] { return ReadAll(log).endsWith(u'#'); }));
    EXPECT_EQ(ReadAll(log), QStringLiteral("42#"));
    qputenv("PATH", path);
    QFile pid(launcher + QStringLiteral(".pid"));
    ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
    ::kill(static_cast<pid_t>(pid.readAll().trimmed().toLongLong()), SIGTERM);
}

bool KeysymOnTheKeyboard(unsigned long keysym)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const bool found = XKeysymToKeycode(display, keysym) != 0;
    XCloseDisplay(display);
    return found;
}

// "µ" is not on the keyboard: it is bound to a spare key for as long as the
// sender lives, so a target that reads its events late still sees it, and
// the keyboard is as before afterwards.
TEST(KeySenderX11, CharactersOffTheKeyboardStayBoundWhileSending)
{
    constexpr unsigned long kMicro = 0xB5;
    ASSERT_FALSE(KeysymOnTheKeyboard(kMicro));
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("keys.log"));
    qputenv("QC_KEY_RECEIVER_LOG", log.toLocal8Bit());
    KeyForwardingSettings settings;
    settings.Enabled = true;
    settings.TargetApplication = QStringLiteral(QC_KEY_RECEIVER);
    {
        KeySender sender;
        ASSERT_EQ(sender.StartTarget(settings), KeySender::Problem::Ok);
        ASSERT_TRUE(WaitFor([&] { return QFile::exists(log + QStringLiteral(".ready")); }));
        EXPECT_EQ(sender.Send({QStringLiteral("1 \u00B5m"), QStringLiteral("#")}), KeySender::Problem::Ok);
        EXPECT_TRUE(KeysymOnTheKeyboard(kMicro));
        EXPECT_TRUE(WaitFor([&] { return ReadAll(log).endsWith(u'#'); }));
        EXPECT_EQ(ReadAll(log), QStringLiteral("1 \u00B5m#"));
        ::kill(static_cast<pid_t>(sender.TargetTaskId), SIGTERM);
    }
    EXPECT_FALSE(KeysymOnTheKeyboard(kMicro));
}

} // namespace
} // namespace qc

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    // An X server may reset whenever its last client leaves and refuse
    // connections meanwhile; one connection held for the whole run keeps
    // each test's first connection from meeting such a reset.
    Display* keepAlive = XOpenDisplay(nullptr);
    const int result = RUN_ALL_TESTS();
    if (keepAlive != nullptr)
        XCloseDisplay(keepAlive);
    return result;
}
