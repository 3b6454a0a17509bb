// The main window's gauge commands on the simulated gauges: identification
// with brand, profile and battery, the memory selector, reading with
// progress and Stop, live readings, and the set-time and device
// information dialogs.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QThread>
#include <QTimer>

#include <dlfcn.h>

#include <cstdlib>
#include <memory>

#include "../gauge/instant_clock.h"
#include "dialog_controls.h"
#include "gauge/gauge_link.h"
#include "gauge/vornik_qt_host.h"
#include "main_window_fixture.h"
#include "quen_gaugesim.h"
#include "ui/frmInfo.h"
#include "ui/frmTime.h"

namespace qc {
namespace {

using namespace std::chrono_literals;
using test::Gauge;
using test::InstantClock;
using test::kGV4;
using test::kPellax;
using test::kQV;

class MemoryWindowTest : public ::testing::Test {
protected:
    test::ShellFolders folders;
    InstantClock clock;
    Session session{clock};
    std::unique_ptr<frmTransfer> window;
    test::ScriptedPrompt prompt;
    std::unique_ptr<VornikControl> control;
    std::unique_ptr<VornikQtHost> host;
    std::unique_ptr<GaugeLink> link;
    const char* address = "";

    void SetUp() override
    {
        ::setenv("VORNIK220_RADIO", "sim", 1);
        ::setenv("VORNIK_SIM_MODULE", QUEN_GAUGESIM_MODULE, 1);
        ::unsetenv(QUEN_GAUGESIM_DIR_VARIABLE);
        session.Start(QCoreApplication::applicationDirPath());
        window = std::make_unique<frmTransfer>(session);
        window->SetPrompt(&prompt);
        control = std::make_unique<VornikControl>();
        ASSERT_TRUE(control->isCreated()) << control->lastError().description.toStdString();
        host = std::make_unique<VornikQtHost>(*control);
        link = std::make_unique<GaugeLink>(*control, clock);
    }

    int Sim(const char* function, const char* line = nullptr)
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

    void Connect(const Gauge& gauge)
    {
        address = gauge.address;
        const RequestResult r = link->Connect(QLatin1String(gauge.address), QLatin1String(gauge.name));
        ASSERT_TRUE(r.ok()) << r.Message(1).toStdString();
        ASSERT_EQ(Sim("quen_gaugesim_configure", "reply_delay = 0"), QUEN_GAUGESIM_OK);
        window->SetGaugeLink(link.get());
        ASSERT_TRUE(window->Initialisierung(QLatin1String(gauge.name)));
        ASSERT_TRUE(link->Subscribe().ok());
        window->SpeicherInfo();
    }

    MainWindowControls ui() const { return test::Controls(*window); }

    void Choose(const QString& entry)
    {
        QComboBox* box = ui().cmbSpeicher;
        const int index = box->findText(entry, Qt::MatchContains);
        ASSERT_GE(index, 0) << entry.toStdString();
        box->setCurrentIndex(index);
    }
};

TEST_F(MemoryWindowTest, ClassFiveGaugeIdentifiedListedAndRead)
{
    Connect(kQV);
    const MainWindowControls c = ui();
    EXPECT_EQ(session.Gauge.profile.ProfileClass, "5");
    EXPECT_EQ(c.BattIcon->text(), "K"); // 4.02 V on a class 5 gauge
    EXPECT_TRUE(c.mnuSetTime->isEnabled());
    EXPECT_TRUE(c.mnuTastaturevent->isVisible());
    QStringList entries;
    for (int i = 0; i < c.cmbSpeicher->count(); ++i)
        entries << c.cmbSpeicher->itemText(i).trimmed();
    EXPECT_TRUE(entries.contains("m0001"));
    EXPECT_FALSE(entries.contains("se0001"));
    Choose("m0001");
    std::vector<QString> progress;
    QObject::connect(c.txtSpeicher, &QLineEdit::textChanged, [&](const QString& t) { progress.push_back(t); });
    c.cmdLesen->click();
    EXPECT_FALSE(window->DownloadRunning());
    EXPECT_EQ(session.Table.ReadingCount(), 297); // every 97th record is flagged not valid
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::find(progress.begin(), progress.end(), QStringLiteral("300 / 300")) != progress.end());
    EXPECT_TRUE(c.cmdLesen->isEnabled());
    EXPECT_TRUE(prompt.told.isEmpty()) << prompt.told.join(" | ").toStdString();
    EXPECT_TRUE(link->State().IsSubscribed);
    EXPECT_GT(c.lstStat->count(), 0);
}

// Stop while the memory is read: the Stop button is usable while the
// working controls are blocked; the rows so far stay, the controls come
// back and the next read works.
TEST_F(MemoryWindowTest, StopButtonCancelsTheRead)
{
    for (const auto& [gauge, entry, rows] :
         {std::tuple{kQV, "m0006", 4949}, std::tuple{kPellax, "    3(5000)", 5000}}) {
        Connect(gauge);
        Choose(QLatin1String(entry));
        const MainWindowControls c = ui();
        bool blocked = false;
        int changes = 0;
        auto conn = QObject::connect(c.txtSpeicher, &QLineEdit::textChanged, [&] {
            if (++changes == 20) {
                blocked = !c.cmdLesen->isEnabled() && c.cmdStop->isVisibleTo(window.get()) && c.cmdStop->isEnabled();
                QTimer::singleShot(0, c.cmdStop, &QPushButton::click);
            }
        });
        c.cmdLesen->click();
        QObject::disconnect(conn);
        EXPECT_TRUE(blocked) << gauge.name;
        const int kept = session.Table.ReadingCount();
        EXPECT_GT(kept, 0) << gauge.name;
        EXPECT_LT(kept, rows) << gauge.name;
        EXPECT_TRUE(c.cmdLesen->isEnabled());
        EXPECT_FALSE(c.cmdStop->isVisibleTo(window.get()));
        EXPECT_TRUE(link->State().IsSubscribed);
        c.cmdLesen->click();
        EXPECT_EQ(session.Table.ReadingCount(), rows) << gauge.name;
        link->Disconnect();
    }
}

TEST_F(MemoryWindowTest, ClassFourGaugeAndLiveReadings)
{
    Connect(kPellax);
    const MainWindowControls c = ui();
    EXPECT_EQ(session.Gauge.profile.ProfileClass, "4");
    EXPECT_EQ(c.BattIcon->text(), "J"); // 1.45 V on a class 4 gauge
    ASSERT_GT(c.cmbSpeicher->count(), 0);
    EXPECT_EQ(c.cmbSpeicher->itemText(0), "S    1 (250)"); // German: the memory letter "S"
    c.cmbSpeicher->setCurrentIndex(0);
    c.cmdLesen->click();
    EXPECT_GT(session.Table.ReadingCount(), 0);
    EXPECT_TRUE(link->State().IsSubscribed);
    // A live reading of the dual probe: two rows in the online table.
    ASSERT_EQ(Sim("quen_gaugesim_take_reading"), QUEN_GAUGESIM_OK);
    EventLoopClock().PumpEventsUntil([&] { return session.Table.table.ReadingCount(kOnlineSlot) == 2; }, 5s);
    EXPECT_EQ(session.Table.table.ReadingCount(kOnlineSlot), 2);
    EXPECT_EQ(session.Mode(), TableMode::Online);
    EXPECT_TRUE(c.txtSpeicher->text().endsWith(" \u00B5m")) << c.txtSpeicher->text().toStdString();
}

TEST_F(MemoryWindowTest, NothingChosenIsTold)
{
    Connect(kPellax);
    const MainWindowControls c = ui();
    c.cmbSpeicher->clear();
    c.cmbSpeicher->addItem("memory empty");
    c.cmdLesen->click();
    ASSERT_EQ(prompt.told.size(), 1);
    EXPECT_EQ(prompt.told[0], "Keine Speicher vorhanden\r\n");
    EXPECT_EQ(session.Mode(), TableMode::Online);
    EXPECT_TRUE(c.cmdLesen->isEnabled());
}

TEST_F(MemoryWindowTest, DeviceInformationWindow)
{
    for (const Gauge& gauge : {kQV, kPellax}) {
        Connect(gauge);
        frmInfo info(session.Gauge, 1, window.get());
        info.show();
        const auto text = [&info](const char* name) { return test::Named<QLabel>(info, name)->text(); };
        EXPECT_EQ(text("lblGeraet"), "Device / SNR");
        EXPECT_EQ(text("lblSondentyp"), "Probetype / SNR");
        EXPECT_EQ(text("txtPC"), "Quen Connect V1.10");
        if (gauge.address == kQV.address) {
            EXPECT_EQ(text("txtGeraet"), "QV-FE 500 / 5101");
            EXPECT_EQ(text("txtSondentyp"), "F5 / 240117");
        } else {
            EXPECT_EQ(text("txtGeraet"), "PELLAX DUAL / 4711");
            EXPECT_EQ(text("txtSoftware"), "2.14/0.98");
        }
        link->Disconnect();
    }
}

// The clock loop reads the gauge clock until Esc, the update button or
// closing ends it; live readings are subscribed again afterwards.
TEST_F(MemoryWindowTest, SetTimeDialogLoopEnds)
{
    Connect(kQV);
    enum class End { Escape, Close, Update };
    for (End end : {End::Escape, End::Close, End::Update}) {
        ASSERT_TRUE(link->State().IsSubscribed);
        frmTime dialog(*link, 1, window.get());
        bool ended = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (dialog.ReadsShown() < 3 || ended)
                return;
            ended = true;
            if (end == End::Escape) {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(&dialog, &esc);
            } else if (end == End::Close) {
                dialog.close();
            } else {
                test::Named<QPushButton>(dialog, "cmdUpdate")->click();
            }
        });
        poll.start(0);
        dialog.show();
        EXPECT_TRUE(clock.PumpEventsUntil([&] { return ended && !dialog.LoopRunning(); }, 60s));
        poll.stop();
        EXPECT_FALSE(link->State().IsSubscribed && end == End::Escape); // Esc ends the loop, the dialog stays
        EXPECT_TRUE(test::Named<QLineEdit>(dialog, "txtDatumZeit")->text().startsWith("20"));
        if (end == End::Escape)
            dialog.close();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(link->State().IsSubscribed);
        if (end == End::Update) {
            EXPECT_EQ(test::Named<QLabel>(dialog, "lblErgebnis")->text(), "Date/Time set done");
            ASSERT_TRUE(link->GaugeClock().ok());
            EXPECT_TRUE(link->State().ReplyText.startsWith("2026-12-06/23:01"))
                << link->State().ReplyText.toStdString();
        }
    }
}

} // namespace
} // namespace qc
