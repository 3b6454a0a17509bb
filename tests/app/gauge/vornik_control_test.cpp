// The program's typed wrapper and Qt host over the control, on the
// simulated radio with the demo peripheral.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "gauge/vornik_control.h"
#include "gauge/vornik_qt_host.h"

namespace qc {
namespace {

const QString kServer = QStringLiteral("00C0FFEE0001");
const QString kService = QStringLiteral("000600000000");
const QString kEcho = QStringLiteral("000600080000");
const QString kCounter = QStringLiteral("0006000B0000");

class Recorder : public VornikEvents {
public:
    void connected(short& status, QString& description) override { seen << QStringLiteral("Connected %1 %2").arg(status).arg(description); }
    void writeResponse(QString&, QString& characteristicId, QString&, QString&, QString&) override
    {
        seen << QStringLiteral("WriteResponse ") + characteristicId;
        if (onWriteResponse)
            onWriteResponse();
    }
    void value(QString&, QString& characteristicId, QString&, QString&, QString&, QString& value) override
    {
        seen << QStringLiteral("Value %1 %2").arg(characteristicId, value);
        if (onValue)
            onValue();
    }
    QStringList seen;
    std::function<void()> onWriteResponse;
    std::function<void()> onValue;
};

class VornikControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ::setenv("XDG_DATA_HOME", home.path().toUtf8().constData(), 1);
        ::setenv("XDG_DATA_DIRS", (home.path() + "/system").toUtf8().constData(), 1);
        ::setenv("VORNIK220_RADIO", "sim", 1);
        ::setenv("VORNIK_SIM_MODULE", VORNIK_DEMO_MODULE, 1);
    }
    QTemporaryDir home;
};

TEST_F(VornikControlTest, CreatesTheControlBesideTheProgram)
{
    VornikControl control;
    ASSERT_TRUE(control.isCreated()) << control.lastError().description.toStdString();
    EXPECT_TRUE(control.modulePath().endsWith(QStringLiteral("/libvornik220.so.2"))) << control.modulePath().toStdString();
    QString reply;
    ASSERT_TRUE(control.config(QStringLiteral("LogLevel"), &reply));
    EXPECT_EQ(reply, QStringLiteral("1"));
    EXPECT_TRUE(control.config(QStringLiteral("AutoDiscoverCharacteristics = true")));
}

TEST_F(VornikControlTest, UnknownProgIdIsNotCreated)
{
    VornikControl control(QStringLiteral("Quen.Nothing"));
    EXPECT_FALSE(control.isCreated());
    EXPECT_EQ(control.lastError().description, QStringLiteral("Invalid class string."));
    EXPECT_FALSE(control.connect(kServer));
}

TEST_F(VornikControlTest, FailuresCarryNumberAndDescription)
{
    VornikControl control;
    ASSERT_TRUE(control.isCreated());
    QString value;
    EXPECT_FALSE(control.readValue(kService, kEcho, QString(), value));
    EXPECT_EQ(control.lastError().number, 20606);
    EXPECT_EQ(control.lastError().description,
              QStringLiteral("You must be connected to a server to perform the requested action."));
    EXPECT_EQ(control.lastError().source, QStringLiteral("CorvelBLE.Vornik.1"));
}

TEST_F(VornikControlTest, WriteResponseHandlerReadsTheReply)
{
    VornikControl control;
    Recorder recorder;
    control.setEventHandler(&recorder);
    ASSERT_TRUE(control.connect(kServer)) << control.lastError().description.toStdString();
    ASSERT_TRUE(control.discover(QString(), QString(), true, QString()));
    QString reply;
    recorder.onWriteResponse = [&] { control.readValue(kService, kEcho, QString(), reply); };
    ASSERT_TRUE(control.writeValue(kService, kEcho, QString(), QStringLiteral("$quen00!")));
    EXPECT_EQ(reply, QStringLiteral("$quen00!"));
    EXPECT_EQ(recorder.seen.mid(1), (QStringList{QStringLiteral("WriteResponse 000600080000"),
                                                 QStringLiteral("Value 000600080000 $quen00!")}));
    EXPECT_TRUE(recorder.seen.front().startsWith(QStringLiteral("Connected 0 ")));
}

TEST_F(VornikControlTest, NotificationsReachAnIdleProgram)
{
    VornikControl control;
    Recorder recorder;
    control.setEventHandler(&recorder);
    VornikQtHost host(control);
    ASSERT_TRUE(control.connect(kServer));
    ASSERT_TRUE(control.discover(QString(), QString(), true, QString()));
    ASSERT_TRUE(control.subscribe(kService, kCounter));
    QEventLoop idle;
    recorder.onValue = [&] { idle.quit(); };
    QTimer::singleShot(10000, &idle, &QEventLoop::quit);  // the test's way out
    idle.exec();
    ASSERT_FALSE(recorder.seen.isEmpty());
    EXPECT_TRUE(recorder.seen.last().startsWith(QStringLiteral("Value 0006000B0000 Count "))) << recorder.seen.last().toStdString();
}

TEST_F(VornikControlTest, ProgramEventsFlowWhileTheControlWaits)
{
    VornikControl control;
    VornikQtHost host(control);
    ASSERT_TRUE(control.connect(kServer));
    ASSERT_TRUE(control.discover(QString(), QString(), true, QString()));
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    QString value;
    ASSERT_TRUE(control.readValue(kService, kEcho, QString(), value));
    EXPECT_EQ(value, QStringLiteral("echo"));
    EXPECT_TRUE(timerRan);  // run by the pump hook inside the read
}

TEST_F(VornikControlTest, ValueBytesInsideTheValueEventAndServerName)
{
    VornikControl control;
    Recorder recorder;
    control.setEventHandler(&recorder);
    ASSERT_TRUE(control.connect(kServer));
    ASSERT_TRUE(control.discover(QString(), QString(), true, QString()));
    QByteArray bytes;
    recorder.onValue = [&] { control.valueBytes(bytes); };
    ASSERT_TRUE(control.writeValue(kService, kEcho, QString(), QString::fromUtf8("A\u00B5")));
    QString value;
    ASSERT_TRUE(control.readValue(kService, kEcho, QString(), value));
    EXPECT_EQ(bytes, QByteArray("A\xB5"));
    QString name;
    ASSERT_TRUE(control.serverName(name));
    EXPECT_EQ(name, QStringLiteral("Vornik Demo"));
}

// A Disconnect click handled by the pump hook while a read waits: the read
// fails with 605 instead of answering for a link that is gone.
TEST_F(VornikControlTest, DisconnectFromThePumpHookEndsTheWaitingRead)
{
    VornikControl control;
    Recorder recorder;
    control.setEventHandler(&recorder);
    VornikQtHost host(control);
    ASSERT_TRUE(control.connect(kServer));
    ASSERT_TRUE(control.discover(QString(), QString(), true, QString()));
    recorder.seen.clear();
    QTimer::singleShot(0, [&] { EXPECT_TRUE(control.disconnect()); });
    QString value;
    EXPECT_FALSE(control.readValue(kService, kEcho, QString(), value));
    EXPECT_EQ(control.lastError().number, 20606);
    EXPECT_FALSE(recorder.seen.join(QLatin1Char('|')).contains(QStringLiteral("Value ")));
}

// Another thread ends a wait that nothing else would end.
TEST_F(VornikControlTest, InterruptEndsAWaitFromAnotherThread)
{
    VornikControl control;
    ASSERT_TRUE(control.connect(QStringLiteral("00C0FFEE0002")));  // never answers a discovery
    std::atomic<bool> returned{false};
    std::thread interrupter([&] {
        while (!returned) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            control.interrupt();
        }
    });
    EXPECT_FALSE(control.discover(QString(), QString(), false, QString()));
    returned = true;
    interrupter.join();
    EXPECT_EQ(control.lastError().number, 20302);
    EXPECT_EQ(control.lastError().description, QStringLiteral("Interrupted."));
}

} // namespace
} // namespace qc
