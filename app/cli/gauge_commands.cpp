#include "cli/gauge_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>

#include <algorithm>
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
#include "cli/file_commands.h"
#include "gauge/device_info.h"
#include "gauge/gauge_identification.h"
#include "gauge/gauge_link.h"
#include "gauge/memory_download.h"
#include "gauge/memory_listing.h"
#include "gauge/vornik_qt_host.h"
#include "output/csv_export.h"
#include "output/output_format.h"
#include "output/report_text.h"
#include "shell/app_identity.h"
#include "shell/branding.h"
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
    // Called on Ctrl-C besides stopping the link (a download's Stop).
    void SetOnStop(std::function<void()> onStop) { onStop_ = std::move(onStop); }

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
        if (onStop_)
            onStop_();
        if (link_)
            link_->Stop();
    }

    Context& cli_;
    std::unique_ptr<VornikControl> control_;
    std::unique_ptr<VornikQtHost> host_;
    std::unique_ptr<QSocketNotifier> notifier_;
    GaugeLink* link_ = nullptr;
    std::function<void()> onStop_;
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
        });
        cli_.console.Progress(CliText(Language(), Text::Connecting).arg(o.address));
        return Check(link_->Connect(o.address, name_));
    }

    // "$quen00!", model and profile from the advertised name, "$gpi!" for
    // gauges of memory files, the battery: as the window identifies.
    int Identify()
    {
        identification_ = qc::Identify(*link_, cli_.session.Gauge, name_);
        cli_.table.Data().gauge = cli_.session.Gauge;
        return Check(identification_.request);
    }

    const IdentificationResult& Identification() const { return identification_; }
    const QString& Name() const { return name_; }

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
    IdentificationResult identification_;
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

const QString kMemoryFilesClass = QStringLiteral("5");

bool HoldsMemoryFiles(const Context& cli)
{
    return cli.session.Gauge.profile.ProfileClass.trimmed() == kMemoryFilesClass;
}

QString BatteryName(BatteryLevel level)
{
    switch (level) {
    case BatteryLevel::Full:
        return QStringLiteral("full");
    case BatteryLevel::Medium:
        return QStringLiteral("medium");
    case BatteryLevel::Low:
        return QStringLiteral("low");
    case BatteryLevel::Hidden:
        return QStringLiteral("hidden");
    case BatteryLevel::Unchanged:
        break;
    }
    return {};
}

QString ProfileText(const DeviceProfile& p)
{
    return p.ProfileClass + p.ProfileLink + p.ProfileKeys + p.ProfileProbe + p.ProfileRule + p.ProfileFlag6 +
           p.ProfileFlag7;
}

// One memory of the listing: its name as the command line gives it (the
// number of a class 4 memory, the file name of a class 5 one) and its
// readings when the gauge says (-1 otherwise).
struct OfferedMemory {
    QString entry; // as the window's selector holds it
    QString name;
    int readings = -1;
};

std::vector<OfferedMemory> OfferedMemories(const MemoryListing& listing, bool files)
{
    std::vector<OfferedMemory> memories;
    for (const QString& entry : listing.Entries) {
        SelectorChoice choice;
        if (files)
            memories.push_back({entry, entry.trimmed(), -1});
        else if (ParseSelectorEntry(entry, choice))
            memories.push_back({entry, choice.Name.trimmed(), choice.Count});
    }
    return memories;
}

// A gauge found, connected and identified; kExitDone or the code it ended with.
int OpenAndIdentify(Context& cli, Radio& radio, GaugeConnection& gauge)
{
    if (!radio.Ready())
        return kExitNotFound;
    if (const int code = gauge.Open())
        return code;
    cli.console.Progress(CliText(cli.console.Language(), Text::Identifying));
    return gauge.Identify();
}

// The memory listing of either class; told and its exit code when it failed.
// `empty` takes "Speicher leer" / "memory empty" when there is none.
int ListMemories(Context& cli, GaugeConnection& gauge, std::vector<OfferedMemory>& memories, QString& empty)
{
    const bool files = HoldsMemoryFiles(cli);
    const int language = cli.console.Language();
    const MemoryListing listing =
        files ? SpeicherInfoDatei(gauge.Link(), language) : SpeicherInfoLesen(gauge.Link(), language);
    if (const int code = gauge.Check(listing.request))
        return code;
    memories = OfferedMemories(listing, files);
    empty = memories.empty() ? listing.Empty : QString();
    return kExitDone;
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
        const ModelDetection model = DetectModel(a.name);
        if (!model.Matched)
            continue; // not a gauge
        QJsonObject o;
        o[QStringLiteral("address")] = address;
        o[QStringLiteral("name")] = a.name;
        o[QStringLiteral("rssi")] = a.rssi;
        o[QStringLiteral("model")] = model.ModelCode;
        list.append(o);
        text += QStringLiteral("%1  %2  %3  %4\n")
                    .arg(address, -12)
                    .arg(a.name, -26)
                    .arg(static_cast<int>(a.rssi), 4)
                    .arg(model.ModelCode);
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
    GaugeConnection gauge(cli, radio);
    if (const int code = OpenAndIdentify(cli, radio, gauge))
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

int RunInfo(Context& cli, const QString& executableDir)
{
    Radio radio(cli, executableDir);
    GaugeConnection gauge(cli, radio);
    if (const int code = OpenAndIdentify(cli, radio, gauge))
        return code;
    if (const int code = gauge.Check(gauge.Link().GaugeClock()))
        return code;
    const QString clock = gauge.Link().State().ReplyText.trimmed();
    const GaugeContext& g = cli.session.Gauge;
    const GaugeIdentity& id = g.identity;
    const IdentificationResult& ident = gauge.Identification();
    const int l = cli.console.Language();
    const DeviceInfoFields fields = DeviceInformation(g, QString::fromLatin1(kProgramVersion), l);
    const QString battery = ident.batteryVolts > 0 ? QString::number(ident.batteryVolts, 'f', 2) : QString();
    if (cli.options.json) {
        QJsonObject o;
        o[QStringLiteral("address")] = cli.options.address;
        o[QStringLiteral("name")] = gauge.Name();
        o[QStringLiteral("model")] = id.ModelCode;
        o[QStringLiteral("modelGroup")] = id.ModelGroup;
        o[QStringLiteral("brandMark")] = id.BrandMark;
        o[QStringLiteral("gaugeNumber")] = id.GaugeNumber;
        o[QStringLiteral("gaugeSoftware")] = id.GaugeSoftware;
        o[QStringLiteral("gaugeHardware")] = id.GaugeHardware;
        o[QStringLiteral("probeType")] = id.ProbeType;
        o[QStringLiteral("probeNumber")] = id.ProbeNumber;
        o[QStringLiteral("probeVersion")] = id.ProbeVersion;
        o[QStringLiteral("unit")] = id.GaugeUnit;
        o[QStringLiteral("profile")] = ProfileText(g.profile);
        o[QStringLiteral("class")] = g.profile.ProfileClass;
        o[QStringLiteral("batteryVolts")] = ident.batteryVolts > 0 ? QJsonValue(ident.batteryVolts) : QJsonValue();
        const QString level = BatteryName(ident.battery);
        o[QStringLiteral("battery")] = level.isEmpty() ? QJsonValue() : QJsonValue(level);
        o[QStringLiteral("clock")] = clock;
        cli.console.Out(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
        return kExitDone;
    }
    const auto line = [](const QString& label, const QString& value) {
        return QStringLiteral("%1 %2\n").arg(label + u':', -24).arg(value);
    };
    QString text = line(CliText(l, Text::InfoAddress), cli.options.address) +
                   line(CliText(l, Text::InfoName), gauge.Name()) + line(CliText(l, Text::InfoModel), id.ModelCode) +
                   line(fields.DeviceLabel, fields.Device) + line(fields.DeviceSoftwareLabel, fields.DeviceSoftware) +
                   line(fields.ProbeTypeLabel, fields.ProbeType) + line(fields.ProbeVersionLabel, fields.ProbeVersion) +
                   line(CliText(l, Text::InfoUnit), id.GaugeUnit) +
                   line(CliText(l, Text::InfoProfile), ProfileText(g.profile)) +
                   line(CliText(l, Text::InfoBattery), battery.isEmpty() ? QString() : battery + QStringLiteral(" V")) +
                   line(CliText(l, Text::InfoClock), clock);
    cli.console.Out(text);
    return kExitDone;
}

int RunMemories(Context& cli, const QString& executableDir)
{
    Radio radio(cli, executableDir);
    GaugeConnection gauge(cli, radio);
    if (const int code = OpenAndIdentify(cli, radio, gauge))
        return code;
    std::vector<OfferedMemory> memories;
    QString empty;
    if (const int code = ListMemories(cli, gauge, memories, empty))
        return code;
    if (cli.options.json) {
        QJsonArray list;
        for (const OfferedMemory& m : memories) {
            QJsonObject o;
            o[QStringLiteral("name")] = m.name;
            o[QStringLiteral("readings")] = m.readings >= 0 ? QJsonValue(m.readings) : QJsonValue();
            list.append(o);
        }
        cli.console.Out(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)));
        return kExitDone;
    }
    QString text = empty.isEmpty() ? QString() : empty + u'\n';
    for (const OfferedMemory& m : memories)
        text += m.readings >= 0 ? QStringLiteral("%1  %2\n").arg(m.name, -20).arg(m.readings) : m.name + u'\n';
    cli.console.Out(text);
    return kExitDone;
}

int RunRead(Context& cli, const QString& executableDir)
{
    const Options& o = cli.options;
    const int l = cli.console.Language();
    // A wrong extension is told before the gauge is asked anything.
    if (!o.output.isEmpty() && !OutputFormatOf(o.output)) {
        cli.console.Message(UsageText(l, UsageProblem::UnknownFormat, o.output));
        return kExitUsage;
    }
    Radio radio(cli, executableDir);
    GaugeConnection gauge(cli, radio);
    if (const int code = OpenAndIdentify(cli, radio, gauge))
        return code;
    std::vector<OfferedMemory> memories;
    QString empty;
    if (const int code = ListMemories(cli, gauge, memories, empty))
        return code;
    const auto chosen = std::find_if(memories.begin(), memories.end(),
                                     [&](const OfferedMemory& m) { return m.name == o.memory.trimmed(); });
    if (chosen == memories.end()) {
        QStringList names;
        for (const OfferedMemory& m : memories)
            names << m.name;
        if (names.isEmpty())
            names << empty;
        cli.console.Message(CliText(l, Text::MemoryNotOffered).arg(o.memory, names.join(QStringLiteral(", "))));
        return kExitUsage;
    }
    const QString gaugeNumber = o.gauge.isEmpty() ? cli.session.Gauge.identity.GaugeNumber.trimmed() : o.gauge;
    LoadGaugeSettings(cli, gaugeNumber);

    // As the window reads a memory: the session's table takes the gauge,
    // the download fills it, the memory option shows it.
    MeasurementData& data = cli.table.Data();
    data.gauge = cli.session.Gauge;
    const bool files = HoldsMemoryFiles(cli);
    MemoryDownload download(gauge.Link(), data, l);
    download.SetLog([&cli](const QString& line) { cli.session.Log.WriteLog(line); });
    if (files) {
        QStringList offered;
        for (const OfferedMemory& m : memories)
            offered << m.entry;
        download.SetOfferedFiles(offered);
    }
    download.SetProgress([&cli, l](int received, int expected) {
        cli.console.Progress(CliText(l, Text::ReadProgress).arg(received).arg(expected));
    });
    radio.SetOnStop([&download] { download.Stop(); });
    cli.console.Progress(CliText(l, Text::ReadingMemory).arg(chosen->name));
    cli.table.BeginFill();
    const DownloadResult result = files ? download.Read_Datei(chosen->entry) : download.Read_Speicher(chosen->entry);
    cli.table.EndFill();
    radio.SetOnStop({});
    for (const QString& message : result.messages)
        cli.console.Message(message);
    if (result.end == DownloadEnd::Empty && result.messages.isEmpty() && !result.memoryText.isEmpty())
        cli.console.Message(result.memoryText);
    switch (result.end) {
    case DownloadEnd::Complete:
    case DownloadEnd::Empty:
        break;
    case DownloadEnd::Stopped:
        cli.console.Message(CliText(l, Text::Interrupted));
        return kExitInterrupted;
    case DownloadEnd::Failed:
        if (radio.Interrupted()) {
            cli.console.Message(CliText(l, Text::Interrupted));
            return kExitInterrupted;
        }
        // The failed request's words are among the messages told above.
        return result.request.ok() ? kExitNoAnswer : ExitOf(result.request, radio);
    case DownloadEnd::NotChosen:
    case DownloadEnd::Refused:
        return kExitNoAnswer;
    }
    if (!result.caption.isEmpty()) {
        cli.session.MemoryOptionText = result.caption;
        cli.session.MemoryFileComment = result.fileComment;
        cli.session.MemoryShown = true;
    }
    cli.table.FillMSFlexOne();
    cli.table.RefreshMemoryOption();
    return ExportShownTable(cli, o.output, result.caption.isEmpty() ? chosen->name : result.caption);
}

} // namespace qc::cli
