// The program's memory downloads on the simulated gauges with a fixed
// latency added to every ATT operation (each write response and each value
// the control delivers): a class 5 file of 5000 "m" records in 32-byte
// blocks and a class 4 memory of 5000 readings. Prints the ATT operations
// per block (floor: one write and one read) and the wall time as a ratio
// of operations x latency, the latency measured in the same run. Run by
// hand: scripts/bench.sh
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <thread>

#include "data/measurement_data.h"
#include "gauge/gauge_link.h"
#include "gauge/memory_download.h"
#include "gauge/memory_listing.h"
#include "gauge/vornik_qt_host.h"

namespace {

using namespace qc;
using Clock = std::chrono::steady_clock;
constexpr std::chrono::microseconds kLatency{1000};

// Counts the ATT operations as their events arrive, adds the latency to
// each and hands the events on to the link.
class LatencyLink : public VornikEvents {
public:
    explicit LatencyLink(VornikEvents& inner)
        : inner_(inner)
    {
    }
    long operations = 0;

    void value(QString& s, QString& c, QString& d, QString& u, QString& desc, QString& v) override
    {
        Operation();
        inner_.value(s, c, d, u, desc, v);
    }
    void writeResponse(QString& s, QString& c, QString& d, QString& u, QString& desc) override
    {
        Operation();
        inner_.writeResponse(s, c, d, u, desc);
    }
    void connected(short& a, QString& b) override { inner_.connected(a, b); }
    void disconnected(short& a, QString& b) override { inner_.disconnected(a, b); }
    void discovered(short& a, QString& b, QString& c, QString& d, QString& e, QString& f) override
    {
        inner_.discovered(a, b, c, d, e, f);
    }
    void error(short& a, QString& b) override { inner_.error(a, b); }
    void subscribed(QString& a, QString& b, QString& c, QString& d) override { inner_.subscribed(a, b, c, d); }
    void unsubscribed(QString& a, QString& b, QString& c, QString& d) override { inner_.unsubscribed(a, b, c, d); }

private:
    void Operation()
    {
        ++operations;
        std::this_thread::sleep_for(kLatency);
    }
    VornikEvents& inner_;
};

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

bool ReplyAtOnce(const char* address)
{
    void* module = ::dlopen(QUEN_GAUGESIM_MODULE, RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr)
        return false;
    auto configure = reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(module, "quen_gaugesim_configure"));
    const bool done = configure != nullptr && configure(address, "reply_delay = 0") == 0;
    ::dlclose(module);
    return done;
}

struct Run {
    long operations = 0;
    double seconds = 0;
    double cpuSeconds = 0; // the process's own work, without the waits
    int rows = 0;
    int units = 0; // blocks or data reads
};

bool Download(VornikControl& control, const char* address, const char* name, bool files, const QString& entry, Run& run)
{
    EventLoopClock clock;
    GaugeLink link(control, clock);
    LatencyLink latency(link);
    if (!link.Connect(QLatin1String(address), QLatin1String(name)).ok() || !ReplyAtOnce(address))
        return false;
    control.setEventHandler(&latency);
    MeasurementData data;
    data.gauge.profile = DeviceProfile{files ? "5" : "4", "L", "E", "2", "+", "-", "2"};
    data.gauge.identity.GaugeUnit = QStringLiteral("\u00B5m");
    data.gauge.identity.GaugeProbeType = QStringLiteral("1");
    MemoryDownload download(link, data, 1);
    const long before = latency.operations;
    const Clock::time_point start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    const DownloadResult r = files ? download.Read_Datei(entry) : download.Read_Speicher(entry);
    run.seconds = Seconds(start);
    run.cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    run.operations = latency.operations - before;
    run.rows = r.rows;
    run.units = files ? int(r.blocks.size()) : r.requests - 3; // directory, selection, release
    control.setEventHandler(&link);
    link.Disconnect();
    return r.end == DownloadEnd::Complete;
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("VORNIK220_RADIO", "sim", 1);
    ::setenv("VORNIK_SIM_MODULE", QUEN_GAUGESIM_MODULE, 1);
    ::unsetenv("QUENCONNECT_GAUGESIM_DIR");
    QCoreApplication app(argc, argv);
    VornikControl control;
    if (!control.isCreated()) {
        std::fprintf(stderr, "no control: %s\n", control.lastError().description.toLocal8Bit().constData());
        return 1;
    }
    VornikQtHost host(control);

    // The latency as this machine sleeps it, measured now.
    constexpr int kSamples = 500;
    const Clock::time_point calibrate = Clock::now();
    for (int i = 0; i < kSamples; ++i)
        std::this_thread::sleep_for(kLatency);
    const double latency = Seconds(calibrate) / kSamples;

    struct Case {
        const char* label;
        const char* address;
        const char* name;
        bool files;
        const char* entry;
    };
    // The demo file m0006 holds 5000 "m" records, memory 3 of the class 4
    // gauge 5000 readings.
    const Case cases[] = {
        {"class 5 file, 5000 m records", "E8C04D000501", "QV-FE 500", true, "m0006"},
        {"class 4 memory, 5000 readings", "E8C04D000404", "PELLAX DUAL FE", false, "M    3(5000)"},
    };
    std::printf("latency per ATT operation: %.3f ms (asked %.3f ms)\n", latency * 1e3, kLatency.count() / 1e3);
    for (const Case& c : cases) {
        Run run;
        if (!Download(control, c.address, c.name, c.files, QLatin1String(c.entry), run)) {
            std::fprintf(stderr, "%s: download failed\n", c.label);
            return 1;
        }
        const double perUnit = double(run.operations) / std::max(1, run.units);
        const double floorSeconds = double(run.operations) * latency;
        std::printf("%s: %d rows, %ld ATT operations, %d %s, %.2f operations each (floor %d)\n", c.label, run.rows,
                    run.operations, run.units, c.files ? "blocks" : "data reads", perUnit, c.files ? 2 : 1);
        std::printf("%s: %.3f s against operations x latency %.3f s: ratio %.3f (goal <= 1.05); CPU %.3f s\n", c.label,
                    run.seconds, floorSeconds, run.seconds / floorSeconds, run.cpuSeconds);
    }
    return 0;
}
