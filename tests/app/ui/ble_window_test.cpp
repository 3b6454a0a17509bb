// The connection window and the main window's connect flow, offscreen, on
// the simulated gauges: scan, connect and discovery, offline and reconnect,
// refused connections, and every wait ending with the user told.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <memory>

#include "../shell/scripted_prompt.h"
#include "../shell/shell_test_env.h"
#include "dialog_controls.h"
#include "gauge/gauge_connection.h"
#include "gauge/radio_choice.h"
#include "quen_gaugesim.h"
#include "shell/demo_mode.h"
#include "shell/texts.h"
#include "ui/BLE.h"
#include "ui/frmTransfer.h"

namespace qc {
namespace {

using namespace std::chrono_literals;
using test::Named;

// Runs ten times faster than the wall clock: each round processes the
// pending events, lets a millisecond pass for the simulated radio and
// counts ten. Deadlines of seconds end in a fraction of one, and waits are
// counted so a test can tell which deadline ended them.
class FastClock : public WaitClock {
public:
    QDateTime CurrentDateTime() const override
    {
        return QDateTime(QDate(2026, 12, 7), QTime(9, 30)).addMSecs(now.count());
    }
    bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) override
    {
        std::chrono::milliseconds waited{0};
        while (!done()) {
            if (waited >= deadline)
                return false;
            QCoreApplication::processEvents();
            QThread::usleep(1000);
            waited += kStep;
            now += kStep;
        }
        return true;
    }
    static constexpr std::chrono::milliseconds kStep{10};
    std::chrono::milliseconds now{0};
};

struct Gauge {
    const char* address;
    const char* name;
};
const Gauge kQV{"E8C04D000501", "QV-FE 500"};          // class 5, main service
const Gauge kGV4{"E8C04D000503", "GV-4 200"};          // class 5, alternative service
const Gauge kPellax{"E8C04D000404", "PELLAX DUAL FE"}; // class 4
const Gauge kGhost{"E8C04D0009FF", "FE ghost"};        // advertised once, never there

int Gaugesim(const char* function, const char* address, const char* line = nullptr)
{
    void* module = ::dlopen(QUEN_GAUGESIM_MODULE, RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr)
        return -1;
    void* symbol = ::dlsym(module, function);
    ::dlclose(module);
    if (symbol == nullptr)
        return -1;
    if (line == nullptr)
        return reinterpret_cast<int (*)(const char*)>(symbol)(address);
    return reinterpret_cast<int (*)(const char*, const char*)>(symbol)(address, line);
}

int Configure(const Gauge& gauge, const char* line) { return Gaugesim("quen_gaugesim_configure", gauge.address, line); }

class SimulatedRadio {
public:
    SimulatedRadio()
    {
        ::setenv("VORNIK220_RADIO", "sim", 1);
        ::setenv("VORNIK_SIM_MODULE", QUEN_GAUGESIM_MODULE, 1);
        ::unsetenv(QUEN_GAUGESIM_DIR_VARIABLE);
    }
};

class BleWindowTest : public ::testing::Test {
protected:
    test::ShellFolders folders;
    SimulatedRadio radio;
    FastClock clock;
    Session session{clock};
    frmTransfer window{session};
    test::ScriptedPrompt prompt;

    BleWindowTest()
    {
        window.SetPrompt(&prompt);
        window.Gauge(); // made now, so the log sink below is the one used
    }

    GaugeConnection& gauge() { return window.Gauge(); }
    BLE& ble() { return window.ConnectionWindow(); }
    QPushButton* mainConnect() { return Named<QPushButton>(window, QStringLiteral("cmdConnect")); }
    QLabel* mainStatus() { return Named<QLabel>(window, QStringLiteral("txtWait")); }
    QListWidget* devices() { return Named<QListWidget>(ble(), QStringLiteral("lstDevices")); }
    QLineEdit* bleStatus() { return Named<QLineEdit>(ble(), QStringLiteral("txtStatus")); }
    QPushButton* bleButton(const char* name) { return Named<QPushButton>(ble(), QString::fromLatin1(name)); }

    // An advertisement as the control raises it.
    void Advertise(const QString& address, const QString& name, short rssi = -60)
    {
        QString id = address, n = name, uuids, data, solicited, manufacturer;
        short tx = 0, company = 0;
        bool connectable = true, response = false;
        gauge().Events().advertisement(id, n, rssi, tx, uuids, data, solicited, company, manufacturer, connectable,
                                       response);
    }

    void Choose(const QString& address)
    {
        for (int i = 0; i < devices()->count(); ++i)
            if (devices()->item(i)->text().contains(address)) {
                devices()->setCurrentRow(i);
                return;
            }
        ADD_FAILURE() << "not listed: " << address.toStdString();
    }

    // Connects through the connection window as a user does it.
    void ConnectInWindow(const Gauge& g, const QString& advertisedName = {})
    {
        ble().show();
        Advertise(QString::fromLatin1(g.address),
                  advertisedName.isEmpty() ? QString::fromLatin1(g.name) : advertisedName);
        Choose(QString::fromLatin1(g.address));
        bleButton("cmdVerbinden")->click();
    }

    // Lines of the run's log file that begin with `prefix`.
    QStringList LogLines(const QString& prefix) const
    {
        QFile file(session.Log.Path());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (QString::fromLatin1(line).startsWith(prefix))
                lines << QString::fromLatin1(line).trimmed();
        return lines;
    }
    void ClearLog() const { session.Log.DeleteLog(); }
};

// ---- Device list -------------------------------------------------------

TEST(DeviceList, NamesTheListShows)
{
    struct Row {
        const char* name;
        bool listed;
    };
    const Row rows[] = {
        {"UNKNOWN", true}, {"Phone", false},  {".x", true}, {"QV-FE 500", true}, {"VORTAN 300", true},
        {"Bodun", true},   {"bodun", false},  {"Fe", true}, {"fe", false},       {"GV-4 200", true},
        {"PELLAX", true},  {"pellax", false}, {"", false},  {"Zinto", false},    {"x.y", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ListedDeviceName(QString::fromUtf8(row.name)), row.listed) << row.name;
}

TEST(DeviceList, EntryText)
{
    const DeviceEntry entry{QStringLiteral("E8C04D000404"), QStringLiteral("PELLAX DUAL FE"), -71};
    EXPECT_EQ(entry.Text(), QStringLiteral("MAC: E8C04D000404 Name: PELLAX DUAL FE       RSSI: -71"));
}

// Every built-in gauge passes the filter: the scan lists all ten, each once,
// however often they advertise; advertisers outside the filter are left out.
TEST_F(BleWindowTest, ScanListsEachGaugeOnce)
{
    ble().show();
    bleButton("cmdScan")->click();
    EXPECT_EQ(bleButton("cmdScan")->text(), QStringLiteral("Stop"));
    EXPECT_EQ(bleStatus()->text(), QStringLiteral("Scanning ..."));
    ASSERT_TRUE(clock.PumpEventsUntil([&] { return devices()->count() >= 10; }, 10s)) << devices()->count();
    clock.PumpEventsUntil([] { return false; }, 1s); // several more rounds of advertising
    Advertise(QStringLiteral("A1B2C3D4E5F6"), QStringLiteral("Phone"));
    Advertise(QStringLiteral("A1B2C3D4E5F7"), QStringLiteral("UNKNOWN"));
    Advertise(QString::fromLatin1(kQV.address), QStringLiteral("QV-FE 500 again"));
    bleButton("cmdScan")->click();
    EXPECT_EQ(bleButton("cmdScan")->text(), QStringLiteral("Scan"));
    EXPECT_FALSE(gauge().Scanning());

    QStringList addresses;
    for (int i = 0; i < devices()->count(); ++i)
        addresses << devices()->item(i)->text().mid(5, 12);
    EXPECT_EQ(addresses.size(), 11) << addresses.join(u' ').toStdString();
    EXPECT_EQ(addresses.removeDuplicates(), 0);
    EXPECT_TRUE(addresses.contains(QStringLiteral("A1B2C3D4E5F7")));
    EXPECT_FALSE(addresses.contains(QStringLiteral("A1B2C3D4E5F6")));
    for (const Gauge& g : {kQV, kGV4, kPellax})
        EXPECT_TRUE(addresses.contains(QString::fromLatin1(g.address))) << g.name;
    EXPECT_EQ(LogLines(QStringLiteral("Bluetooth SCAN1")).size(), 1);
    EXPECT_EQ(LogLines(QStringLiteral("StartScan")).size(), 2); // "StartScan" and "StartScan Ende"
}

// Connecting discovers the main or the alternative service and both paths;
// the address and name come from the entry's data, whatever the name's
// length.
TEST_F(BleWindowTest, ConnectSetsBothPathsForEitherMainService)
{
    struct Row {
        Gauge gauge;
        const char* advertised;
        bool alternative;
    };
    const Row rows[] = {
        {kQV, "QV-FE 500", false},
        {kGV4, "GV-4 200", true},
        {kPellax, "FE", false},
        {kPellax, "PELLAX DUAL FE with a longer name", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.advertised);
        ConnectInWindow(row.gauge, QString::fromUtf8(row.advertised));
        const LinkState& state = gauge().Link().State();
        EXPECT_TRUE(state.CommandPathReady);
        EXPECT_TRUE(state.MemoryPathReady);
        EXPECT_EQ(state.Ids.SvcAltId.isEmpty(), !row.alternative);
        if (row.alternative) {
            EXPECT_EQ(state.Ids.SvcMainId, state.Ids.SvcAltId);
        }
        EXPECT_EQ(gauge().DeviceAddress, QString::fromLatin1(row.gauge.address));
        EXPECT_EQ(gauge().DeviceName, QString::fromUtf8(row.advertised));
        EXPECT_TRUE(gauge().IsConnected());
        EXPECT_FALSE(ble().isVisible()); // the window hides once connected
        EXPECT_EQ(bleStatus()->text(), QStringLiteral("Verbunden") + QString::fromLatin1(row.gauge.address));
        EXPECT_EQ(mainConnect()->text(), QStringLiteral("Trennen"));
        EXPECT_EQ(mainStatus()->text(), QStringLiteral("Verbunden [DEMO]"));
        EXPECT_FALSE(bleButton("cmdScan")->isEnabled());

        // Main window: "Trennen" disconnects and forgets the gauge.
        mainConnect()->click();
        EXPECT_FALSE(gauge().IsConnected());
        EXPECT_TRUE(gauge().DeviceAddress.isEmpty());
        EXPECT_EQ(mainConnect()->text(), QStringLiteral("Verbinden"));
        EXPECT_EQ(devices()->count(), 0);
        EXPECT_FALSE(state.CommandPathReady);
    }
    EXPECT_TRUE(prompt.told.isEmpty()) << prompt.told.join(u'|').toStdString();
}

TEST_F(BleWindowTest, ConnectWithNothingChosenAsksForAGauge)
{
    ble().show();
    bleButton("cmdVerbinden")->click();
    ASSERT_EQ(prompt.told.size(), 1);
    EXPECT_EQ(prompt.told[0], QStringLiteral("Bluetooth Gerät zum Verbinden auswählen\r\n"));
    EXPECT_FALSE(gauge().IsConnected());
}

// A click into the list locks the connect button (for a second, by a timer).
TEST_F(BleWindowTest, ListClickLocksTheConnectButton)
{
    ble().show();
    Advertise(QString::fromLatin1(kPellax.address), QString::fromLatin1(kPellax.name));
    for (int click = 0; click < 3; ++click) {
        emit devices()->itemClicked(devices()->item(0));
        EXPECT_FALSE(bleButton("cmdVerbinden")->isEnabled());
    }
}

// The main window's connect flow: the connection window modally, closed by
// the connection itself or by the user without one.
TEST_F(BleWindowTest, MainConnectFlowThroughTheWindow)
{
    int ready = 0;
    window.SetGaugeReadyHandler([&](bool reconnected) {
        EXPECT_FALSE(reconnected);
        ++ready;
    });
    // Closed without a connection: the flow ends, nothing connected.
    QTimer::singleShot(0, &window, [&] { ble().reject(); });
    mainConnect()->click();
    EXPECT_EQ(ready, 0);
    EXPECT_EQ(mainStatus()->text(), QStringLiteral("Nicht Verbunden [DEMO]"));
    EXPECT_EQ(mainConnect()->text(), QStringLiteral("Verbinden"));

    QTimer::singleShot(0, &window, [&] { ConnectInWindow(kPellax); });
    mainConnect()->click();
    EXPECT_EQ(ready, 1);
    EXPECT_TRUE(gauge().IsConnected());
    EXPECT_EQ(mainStatus()->text(), QStringLiteral("Verbunden [DEMO]"));
    EXPECT_EQ(mainConnect()->text(), QStringLiteral("Trennen"));
    EXPECT_TRUE(Named<QPushButton>(window, QStringLiteral("cmdOpen"))->isEnabled());
}

// "Offline" with status 0 leaves the main button at "Wiederverbinden" (in
// both languages); any other disconnection at "Verbinden".
TEST_F(BleWindowTest, DisconnectedEventSetsTheMainButton)
{
    struct Row {
        short code;
        const char* description;
        int language;
        const char* caption;
    };
    const Row rows[] = {
        {0, "Offline", kGerman, "Wiederverbinden"},
        {0, "Offline", kEnglish, "ReConnect"},
        {5, "Offline", kGerman, "Verbinden"},
        {0, "Closed", kEnglish, "Connect"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        session.SetLanguage(row.language);
        window.ApplyTexts();
        ConnectInWindow(kPellax);
        ASSERT_TRUE(gauge().IsConnected());
        short code = row.code;
        QString description = QString::fromLatin1(row.description);
        gauge().Events().disconnected(code, description);
        EXPECT_EQ(mainConnect()->text(), QString::fromUtf8(row.caption));
        EXPECT_TRUE(mainConnect()->isVisible() || !window.isVisible());
        EXPECT_EQ(bleStatus()->text(), QStringLiteral("Disconnected ") + QString::number(row.code) + description);
        EXPECT_EQ(bleButton("cmdReconnect")->text(), QStringLiteral("Reconnect ") + QString::fromLatin1(kPellax.name));
        window.ApplyTexts(); // a language change keeps the caption
        EXPECT_EQ(mainConnect()->text(), QString::fromUtf8(row.caption));
        gauge().BLEDisconnect();
        gauge().WentOffline = false;
    }
}

// The gauge drops in the middle of a request: the request ends, the user is
// told, the main button offers reconnecting, and reconnecting works.
TEST_F(BleWindowTest, LinkLossThenReConnectWorks)
{
    window.show();
    ConnectInWindow(kPellax);
    ASSERT_TRUE(gauge().IsConnected());
    ASSERT_EQ(Configure(kPellax, "reply_delay = 0"), QUEN_GAUGESIM_OK);
    ASSERT_EQ(Configure(kPellax, "fault = link-loss 1 0"), QUEN_GAUGESIM_OK);
    const RequestResult lost = window.RunGaugeRequest([](GaugeLink& link) { return link.Battery(); });
    EXPECT_FALSE(lost.ok());
    EXPECT_FALSE(gauge().Link().RequestOutstanding());
    ASSERT_EQ(prompt.told.size(), 1);
    EXPECT_EQ(prompt.told[0], lost.Message(kGerman));
    clock.PumpEventsUntil([&] { return gauge().WentOffline; }, 5s);
    EXPECT_EQ(mainConnect()->text(), QStringLiteral("Wiederverbinden"));
    EXPECT_EQ(mainStatus()->text(),
              QStringLiteral("Gerät außerhalb der Bluetooth Reichweite oder ausgeschaltet [DEMO]"));

    bool reconnected = false;
    window.SetGaugeReadyHandler([&](bool again) { reconnected = again; });
    mainConnect()->click();
    EXPECT_TRUE(reconnected);
    EXPECT_TRUE(gauge().IsConnected());
    EXPECT_FALSE(gauge().WentOffline);
    EXPECT_EQ(mainConnect()->text(), QStringLiteral("Trennen"));
    EXPECT_TRUE(mainConnect()->isVisible());
    EXPECT_EQ(LogLines(QStringLiteral("REconnect")).size(), 3);
    EXPECT_TRUE(window.RunGaugeRequest([](GaugeLink& link) { return link.Battery(); }).ok());
}

// A Connected event with anything but "OK" skips discovery, asks to try
// again and reconnects by itself once, never in a loop; the user keeps a
// connect button. Both languages.
TEST_F(BleWindowTest, RefusedConnectionAsksToTryAgainAndReconnectsOnce)
{
    struct Row {
        int language;
        const char* tryAgain;
        const char* caption;
    };
    const Row rows[] = {{kGerman, "Bitte wiederholen", "Verbinden"}, {kEnglish, "Please try again", "Connect"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tryAgain);
        session.SetLanguage(row.language);
        window.ApplyTexts();
        ClearLog();
        QStringList statuses;
        const QMetaObject::Connection watch =
            QObject::connect(&gauge(), &GaugeConnection::statusChanged, [&](const QString& text) { statuses << text; });
        ConnectInWindow(kGhost);
        QObject::disconnect(watch);
        EXPECT_FALSE(gauge().IsConnected());
        EXPECT_EQ(bleStatus()->text(), QString::fromUtf8(row.tryAgain));
        EXPECT_TRUE(statuses.contains(QString::fromUtf8(row.tryAgain)));
        EXPECT_EQ(LogLines(QStringLiteral("REconnect")).size(), 3);
        EXPECT_EQ(LogLines(QStringLiteral("REconnect1")).size(), 1);
        EXPECT_TRUE(bleButton("cmdReconnect")->isVisibleTo(&ble()));
        EXPECT_EQ(bleButton("cmdReconnect")->text(), QStringLiteral("Reconnect FE ghost"));
        EXPECT_EQ(mainConnect()->text(), QString::fromUtf8(row.caption));
        EXPECT_TRUE(mainConnect()->isVisibleTo(&window));
        EXPECT_TRUE(bleButton("cmdVerbinden")->isEnabled());
        EXPECT_FALSE(gauge().Busy());
        gauge().BLEDisconnect();
    }
}

// Every request under every fault ends within its deadline with the user
// told; the event loop runs during the wait and nothing stays outstanding.
TEST_F(BleWindowTest, EveryFaultEndsWithTheUserTold)
{
    enum class Raise { Nothing, ControlError, StopButton };
    struct Row {
        const char* fault;
        Raise raise;
        RequestEnd end;
    };
    const Row rows[] = {
        {"fault = silent", Raise::Nothing, RequestEnd::NoReply},
        {"fault = late 60000", Raise::Nothing, RequestEnd::NoReply},
        {"fault = garbage", Raise::Nothing, RequestEnd::NoReply},
        {"fault = silent", Raise::StopButton, RequestEnd::Stopped},
        {"fault = silent", Raise::ControlError, RequestEnd::ControlError},
    };
    using Request = RequestResult (GaugeLink::*)();
    const std::pair<const char*, Request> requests[] = {
        {"$quen00!", &GaugeLink::Identify}, {"$gcv!", &GaugeLink::Battery}, {"$glt!", &GaugeLink::GaugeClock}};
    window.show();
    for (const Row& row : rows)
        for (const auto& [command, request] : requests) {
            SCOPED_TRACE(std::string(row.fault) + " " + command);
            if (!gauge().IsConnected())
                ConnectInWindow(kQV);
            ASSERT_TRUE(gauge().IsConnected());
            ASSERT_EQ(Configure(kQV, "reply_delay = 0"), QUEN_GAUGESIM_OK);
            ASSERT_EQ(Configure(kQV, "fault = none"), QUEN_GAUGESIM_OK);
            ASSERT_EQ(Configure(kQV, row.fault), QUEN_GAUGESIM_OK);
            prompt.told.clear();
            int ticks = 0;
            QTimer ticker;
            QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
            ticker.start(0);
            if (row.raise == Raise::StopButton)
                QTimer::singleShot(2, &window, [&] { Named<QPushButton>(window, QStringLiteral("cmdStop"))->click(); });
            if (row.raise == Raise::ControlError)
                QTimer::singleShot(2, &window, [&] {
                    short code = 42;
                    QString text = QStringLiteral("Scan aborted.");
                    gauge().Events().error(code, text);
                });
            const auto before = clock.now;
            const RequestResult r =
                window.RunGaugeRequest([request = request](GaugeLink& link) { return (link.*request)(); });
            const auto waited = clock.now - before;
            ticker.stop();
            EXPECT_EQ(r.end, row.end) << r.Message(1).toStdString();
            EXPECT_GT(ticks, 0); // the event loop ran during the wait
            EXPECT_LE(waited, gauge().Link().Deadlines().command + 1s);
            EXPECT_FALSE(gauge().Link().RequestOutstanding());
            EXPECT_NE(gauge().Link().State().ReplyState, kReplyOutstanding);
            ASSERT_FALSE(prompt.told.isEmpty());
            EXPECT_EQ(prompt.told[0], r.Message(kGerman));
            EXPECT_TRUE(prompt.told[0].contains(QString::fromLatin1(command))) << prompt.told[0].toStdString();
            if (row.raise == Raise::ControlError) {
                // The error's box, then the disconnect.
                EXPECT_TRUE(clock.PumpEventsUntil([&] { return prompt.told.size() >= 2; }, 2s));
                EXPECT_EQ(prompt.told.value(1), QStringLiteral("Vornik Error42 Scan aborted."));
                EXPECT_TRUE(clock.PumpEventsUntil([&] { return !gauge().IsConnected(); }, 2s));
                EXPECT_EQ(mainConnect()->text(), QStringLiteral("Verbinden"));
            }
            EXPECT_TRUE(Named<QPushButton>(window, QStringLiteral("cmdOpen"))->isEnabled());
        }
}

// A gauge whose main service is outside the services asked for (its
// advertised name hides the model): discovery never completes. Connect and
// the automatic reconnect each end at the discovery deadline, the radio
// link is closed, and connecting again with the model's name works.
TEST_F(BleWindowTest, DiscoveryNeverCompleteEndsAndConnectWorksAgain)
{
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(0);
    const auto before = clock.now;
    ConnectInWindow(kGV4, QStringLiteral("FE gauge"));
    const auto waited = clock.now - before;
    ticker.stop();
    const LinkDeadlines& d = gauge().Link().Deadlines();
    EXPECT_GE(waited, d.discovery);
    EXPECT_LE(waited, 2 * (d.connect + d.discovery) + 2s);
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(gauge().IsConnected());
    EXPECT_FALSE(gauge().Busy());
    EXPECT_EQ(bleStatus()->text(), QStringLiteral("Bitte wiederholen"));
    EXPECT_EQ(mainConnect()->text(), QStringLiteral("Verbinden"));
    EXPECT_EQ(LogLines(QStringLiteral("REconnect1")).size(), 1);

    gauge().BLEDisconnect();
    ConnectInWindow(kGV4);
    EXPECT_TRUE(gauge().IsConnected());
    EXPECT_TRUE(gauge().Link().State().MemoryPathReady);
}

// A connect in progress ends when the connection window is closed.
TEST_F(BleWindowTest, ClosingTheWindowEndsAConnect)
{
    ble().show();
    Advertise(QString::fromLatin1(kGhost.address), QString::fromLatin1(kGhost.name));
    Choose(QString::fromLatin1(kGhost.address));
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (++ticks == 1)
            ble().reject();
    });
    ticker.start(0);
    bleButton("cmdVerbinden")->click();
    ticker.stop();
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(gauge().IsConnected());
    EXPECT_FALSE(gauge().Busy());
    EXPECT_FALSE(ble().isVisible());
}

// The radio at start: without an adapter the demo, marked; with the
// simulated radio named, it stays.
TEST(RadioChoice, DemoWithoutAnAdapter)
{
    const char* saved = std::getenv("VORNIK220_RADIO");
    const std::string keep = saved ? saved : "";
    ::setenv("VORNIK220_RADIO", "none", 1);
    QString why;
    EXPECT_FALSE(AdapterPresent(&why));
    EXPECT_EQ(why, QStringLiteral("No Bluetooth adapter found."));
    const QString notice = ChooseRadio(false, QCoreApplication::applicationDirPath(), QString());
    EXPECT_TRUE(notice.startsWith(QStringLiteral("No Bluetooth adapter found. Demo mode"))) << notice.toStdString();
    EXPECT_TRUE(IsDemoMode());
    EXPECT_EQ(DemoMarked(QStringLiteral("Verbunden")), QStringLiteral("Verbunden [DEMO]"));
    ::setenv("VORNIK_SIM_MODULE", QUEN_GAUGESIM_MODULE, 1);
    EXPECT_TRUE(AdapterPresent());
    if (saved)
        ::setenv("VORNIK220_RADIO", keep.c_str(), 1);
    else
        ::unsetenv("VORNIK220_RADIO");
}

} // namespace
} // namespace qc
