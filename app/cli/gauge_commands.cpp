#include "cli/gauge_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <unistd.h>
#include <utility>

#include "cli/cli_texts.h"
#include "cli/gauge_seam.h"
#include "gauge/gauge_link.h"
#include "gauge/gauge_model.h"
#include "gauge/vornik_qt_host.h"
#include "output/csv_export.h"
#include "output/report_text.h"
#include "shell/demo_mode.h"

namespace qc::cli {

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kDefaultScan{5000};
// Engine codes (number - 20001) that say the computer has no usable radio.
constexpr int kErrorNumberBase = 20001;
constexpr int kNoAdapterCode = 613;
constexpr int kNoLowEnergyCode = 614;
const QString kClockFormat = QStringLiteral("yyyy-MM-dd/HH:mm:ss");
// The gauge's clock read back may be this far from the time sent (the
// read-back itself takes up to a second or two).
constexpr qint64 kClockTolerance = 10; // seconds

// Ctrl-C and SIGTERM: the handler only writes a byte, the event loop does
// the rest (Stop on the link, the control's waits interrupted).
int gSignalPipe[2] = {-1, -1};
std::atomic<VornikControl*> gControl{nullptr};

void OnSignal(int)
{
    if (VornikControl* c = gControl.load())
        c->interrupt();
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &byte, 1);
}

// The control with its host, in demo mode on the simulated gauges, and the
// way out of every wait.
class Radio {
public:
    Radio(Context& cli, const QString& executableDir)
        : cli_(cli)
    {
        if (cli.options.simulate) {
            EnterDemoMode(executableDir, cli.options.simulateFolder);
            const int l = cli.console.Language();
            cli.console.Message(cli.options.simulateFolder.isEmpty()
                                    ? CliText(l, Text::DemoBuiltIn)
                                    : CliText(l, Text::DemoFolder).arg(cli.options.simulateFolder));
        }
        control_ = std::make_unique<VornikControl>();
        if (!control_->isCreated())
            return;
        host_ = std::make_unique<VornikQtHost>(*control_);
        if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
            notifier_ = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
            QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { OnInterrupt(); });
            gControl = control_.get();
            std::signal(SIGINT, OnSignal);
            std::signal(SIGTERM, OnSignal);
        }
    }

    ~Radio()
    {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        gControl = nullptr;
        notifier_.reset();
        for (int& fd : gSignalPipe) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    }

    // The usage of a missing control is told; false then.
    bool Ready() const
    {
        if (control_->isCreated())
            return true;
        cli_.console.Message(CliText(cli_.console.Language(), Text::NoControl).arg(control_->lastError().description));
        return false;
    }

    VornikControl& Control() { return *control_; }
    bool Interrupted() const { return interrupted_; }
    void SetLink(GaugeLink* link) { link_ = link; }

    bool NoAdapter() const
    {
        const int code = control_->lastError().number - kErrorNumberBase;
        return code == kNoAdapterCode || code == kNoLowEnergyCode;
    }

private:
    void OnInterrupt()
    {
        char buffer[16];
        while (::read(gSignalPipe[0], buffer, sizeof buffer) > 0) { }
        interrupted_ = true;
        if (link_)
            link_->Stop();
    }

    Context& cli_;
    std::unique_ptr<VornikControl> control_;
    std::unique_ptr<VornikQtHost> host_;
    std::unique_ptr<QSocketNotifier> notifier_;
    GaugeLink* link_ = nullptr;
    bool interrupted_ = false;
};

struct Advertiser {
    QString name;
    short rssi = 0;
};

// Collects the advertisements while the scan runs.
class ScanCollector : public VornikEvents {
public:
    void advertisement(QString& serverId, QString& name, short& rssi, short&, QString&, QString&, QString&, short&,
                       QString&, bool&, bool&) override
    {
        Advertiser& a = found[serverId];
        if (!name.isEmpty())
            a.name = name;
        a.rssi = rssi;
    }
    std::map<QString, Advertiser> found; // by address
};

enum class ScanEnd { Done, NoAdapter, Failed, Interrupted };

// Scans until `enough` holds, the time is up or Ctrl-C.
ScanEnd Scan(Context& cli, Radio& radio, ScanCollector& collector, std::chrono::milliseconds duration,
             const std::function<bool()>& enough)
{
    VornikControl& control = radio.Control();
    control.setEventHandler(&collector);
    cli.console.Progress(CliText(cli.console.Language(), Text::Scanning));
    if (!control.startScanning(QString())) {
        const bool noAdapter = radio.NoAdapter();
        const QString reason = control.lastError().description;
        control.setEventHandler(nullptr);
        cli.console.Message(noAdapter ? CliText(cli.console.Language(), Text::NoAdapter)
                                      : CliText(cli.console.Language(), Text::ScanFailed).arg(reason));
        return noAdapter ? ScanEnd::NoAdapter : ScanEnd::Failed;
    }
    cli.session.Clock().PumpEventsUntil([&] { return radio.Interrupted() || enough(); }, duration);
    control.stopScanning();
    control.setEventHandler(nullptr);
    return radio.Interrupted() ? ScanEnd::Interrupted : ScanEnd::Done;
}

int ExitOfScan(ScanEnd end)
{
    switch (end) {
    case ScanEnd::Done:
        return kExitDone;
    case ScanEnd::Interrupted:
        return kExitInterrupted;
    default:
        return kExitNotFound;
    }
}

int ExitOf(const RequestResult& r, Radio& radio)
{
    switch (r.end) {
    case RequestEnd::Done:
        return kExitDone;
    case RequestEnd::NotReady:
        return kExitNotFound;
    case RequestEnd::Stopped:
        return kExitInterrupted;
    case RequestEnd::ControlError:
        return radio.NoAdapter() ? kExitNotFound : kExitNoAnswer;
    default:
        return radio.Interrupted() ? kExitInterrupted : kExitNoAnswer;
    }
}

std::chrono::milliseconds RequestDeadline(const Options& o) { return o.timeout.value_or(kDefaultScan); }

// One gauge, found by a short scan (which also gives its name) and
// connected; identification as far as this build has it.
class GaugeConnection {
public:
    GaugeConnection(Context& cli, Radio& radio)
        : cli_(cli)
        , radio_(radio)
    {
    }

    ~GaugeConnection()
    {
        if (link_) {
            link_->Disconnect();
            radio_.SetLink(nullptr);
        }
    }

    // kExitDone, or the code the failure ends the program with (told).
    int Open()
    {
        const Options& o = cli_.options;
        ScanCollector collector;
        const ScanEnd end =
            Scan(cli_, radio_, collector, RequestDeadline(o), [&] { return collector.found.count(o.address) > 0; });
        if (end != ScanEnd::Done)
            return ExitOfScan(end);
        const auto it = collector.found.find(o.address);
        if (it == collector.found.end()) {
            Tell(CliText(Language(), Text::GaugeNotFound).arg(o.address));
            return kExitNotFound;
        }
        name_ = it->second.name;
        link_ = std::make_unique<GaugeLink>(radio_.Control(), cli_.session.Clock());
        radio_.SetLink(link_.get());
        if (o.timeout) {
            const std::chrono::milliseconds t = *o.timeout;
            link_->SetDeadlines({t, t, t, t});
        }
        link_->SetLogSink([this](const QString& line) { cli_.session.Log.WriteLog(line); });
        link_->SetHandoverSink([this](const LinkHandover& h) {
            if (h.kind == LinkHandover::Kind::LiveReading)
                live_ << LiveRecords(h.Text);
            else
                handovers_.push_back(h);
        });
        cli_.console.Progress(CliText(Language(), Text::Connecting).arg(o.address));
        return Check(link_->Connect(o.address, name_));
    }

    // "$quen00!" and, for gauges of memory files, "$gpi!".
    int Identify()
    {
        if (const int code = Check(link_->Identify()))
            return code;
        ApplyIdentification(handovers_, name_, cli_.session.Gauge);
        if (cli_.session.Gauge.profile.ProfileClass.trimmed() == u"5")
            if (const int code = Check(link_->ProbeInfo()))
                return code;
        ApplyIdentification(handovers_, name_, cli_.session.Gauge);
        return kExitDone;
    }

    // The result told when it failed; its exit code.
    int Check(const RequestResult& r)
    {
        if (!r.ok())
            Tell(r.Message(Language()));
        return ExitOf(r, radio_);
    }

    GaugeLink& Link() { return *link_; }
    QStringList TakeLive() { return std::exchange(live_, {}); }
    bool LivePending() const { return !live_.isEmpty(); }

private:
    int Language() const { return cli_.console.Language(); }
    void Tell(const QString& text) const { cli_.console.Message(text); }

    Context& cli_;
    Radio& radio_;
    QString name_;
    std::unique_ptr<GaugeLink> link_;
    std::vector<LinkHandover> handovers_;
    QStringList live_;
};

QString LiveLine(const Reading& row, const DeviceProfile& profile, bool json)
{
    if (!json)
        return ReadingLine(row, profile, QLocale::system()) + u'\n';
    const QStringList f = CsvFields(row, profile);
    QJsonObject o;
    o[QStringLiteral("number")] = row.Number;
    o[QStringLiteral("date")] = f[1];
    o[QStringLiteral("time")] = f[2];
    o[QStringLiteral("value")] = f[3].isEmpty() ? QJsonValue() : QJsonValue(f[3].toDouble());
    o[QStringLiteral("unit")] = f[4];
    o[QStringLiteral("material")] = f[5];
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) + u'\n';
}

} // namespace

int RunScan(Context& cli, const QString& executableDir)
{
    Radio radio(cli, executableDir);
    if (!radio.Ready())
        return kExitNotFound;
    ScanCollector collector;
    const ScanEnd end = Scan(cli, radio, collector, cli.options.duration.value_or(kDefaultScan), [] { return false; });
    if (end != ScanEnd::Done)
        return ExitOfScan(end);
    QJsonArray list;
    QString text;
    for (const auto& [address, a] : collector.found) {
        const std::optional<GaugeModel> model = DetectModel(a.name);
        if (!model)
            continue; // not a gauge
        QJsonObject o;
        o[QStringLiteral("address")] = address;
        o[QStringLiteral("name")] = a.name;
        o[QStringLiteral("rssi")] = a.rssi;
        o[QStringLiteral("model")] = model->ModelCode;
        list.append(o);
        text += QStringLiteral("%1  %2  %3  %4\n")
                    .arg(address, -12)
                    .arg(a.name, -26)
                    .arg(static_cast<int>(a.rssi), 4)
                    .arg(model->ModelCode);
    }
    cli.console.Out(cli.options.json ? QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)) : text);
    if (list.isEmpty()) {
        cli.console.Message(CliText(cli.console.Language(), Text::NoGaugesFound));
        return kExitNotFound;
    }
    return kExitDone;
}

int RunLive(Context& cli, const QString& executableDir)
{
    Radio radio(cli, executableDir);
    if (!radio.Ready())
        return kExitNotFound;
    GaugeConnection gauge(cli, radio);
    if (const int code = gauge.Open())
        return code;
    if (const int code = gauge.Identify())
        return code;
    cli.session.SetMode(TableMode::Online);
    cli.table.optOnline_Click();
    if (const int code = gauge.Check(gauge.Link().Subscribe()))
        return code;
    cli.console.Progress(CliText(cli.console.Language(), Text::WaitingForReadings));

    const Options& o = cli.options;
    const int wanted = o.count.value_or(0);
    int taken = 0;
    const auto until = std::chrono::steady_clock::now() + o.duration.value_or(std::chrono::hours(24 * 365));
    MeasurementData& data = cli.table.Data();
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if ((wanted > 0 && taken >= wanted) || left <= 0ms || radio.Interrupted() || !gauge.Link().IsConnected())
            break;
        cli.session.Clock().PumpEventsUntil(
            [&] { return gauge.LivePending() || radio.Interrupted() || !gauge.Link().IsConnected(); }, left);
        for (const QString& record : gauge.TakeLive()) {
            // The window stops taking live readings at a full table; here
            // every reading has been printed, so the table starts again and
            // the numbers go on.
            if (data.ReadingCount() >= kMaxRows) {
                const int next = data.state.NextOnlineNumber;
                data.DeleteTable(cli.session.Clock().CurrentDateTime());
                data.state.NextOnlineNumber = next;
            }
            const int before = data.ReadingCount();
            cli.table.FillMessdaten(record);
            for (int row = before + 1; row <= data.ReadingCount() && (wanted == 0 || taken < wanted); ++row, ++taken)
                cli.console.Out(LiveLine(data.table.Row(data.state.TableMode, row), data.gauge.profile, o.json));
        }
    }
    const bool lost = !gauge.Link().IsConnected();
    if (!lost && !radio.Interrupted())
        gauge.Link().Unsubscribe();
    if (wanted > 0 && taken >= wanted)
        return kExitDone;
    if (lost) {
        const RequestResult r{RequestEnd::LinkLost, QStringLiteral("live"), {}};
        return gauge.Check(r);
    }
    if (radio.Interrupted())
        return wanted > 0 ? kExitInterrupted : kExitDone;
    if (wanted > 0) {
        cli.console.Message(
            CliText(cli.console.Language(), Text::FewerReadings).arg(QString::number(taken), QString::number(wanted)));
        return kExitNoAnswer;
    }
    return kExitDone;
}

int RunSetTime(Context& cli, const QString& executableDir)
{
    Radio radio(cli, executableDir);
    if (!radio.Ready())
        return kExitNotFound;
    GaugeConnection gauge(cli, radio);
    if (const int code = gauge.Open())
        return code;
    const QDateTime sent = cli.session.Clock().CurrentDateTime();
    if (const int code = gauge.Check(gauge.Link().SetGaugeClock(sent)))
        return code;
    if (const int code = gauge.Check(gauge.Link().GaugeClock()))
        return code;
    // The gauge answers "$slt" without saying whether it took the time: the
    // clock read back says it.
    const QString shown = gauge.Link().State().ReplyText.trimmed();
    const QDateTime back = QDateTime::fromString(shown, kClockFormat);
    const int l = cli.console.Language();
    if (!back.isValid() || std::abs(sent.secsTo(back)) > kClockTolerance) {
        cli.console.Message(CliText(l, Text::ClockNotTaken).arg(sent.toString(kClockFormat), shown));
        return kExitNoAnswer;
    }
    cli.console.Out(CliText(l, Text::ClockSet).arg(shown) + u'\n');
    return kExitDone;
}

} // namespace qc::cli
