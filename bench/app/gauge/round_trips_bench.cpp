// Round trips of one "$" request on a simulated link whose gauge answers
// after a fixed latency: the gauge link's write and reply polling against
// the floor of one write and one read, done by hand in the same run (write,
// wait out the latency, read). Prints ATT operations and time per request
// and their ratios to the floor. Run by hand:
//   build-release/bin/bench_gauge_round_trips
#include <QCoreApplication>
#include <QElapsedTimer>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "gauge/gauge_link.h"
#include "gauge/vornik_qt_host.h"

namespace {

constexpr int kRequests = 20;
constexpr int kLatencyMillis = 50;
const char* const kGauge = "E8C04D000501";

int Configure(const char* line)
{
    void* module = ::dlopen(QUEN_GAUGESIM_MODULE, RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr)
        return -1;
    auto configure = reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(module, "quen_gaugesim_configure"));
    ::dlclose(module);
    return configure ? configure(kGauge, line) : -1;
}

} // namespace

int main(int argc, char* argv[])
{
    ::setenv("VORNIK220_RADIO", "sim", 1);
    ::setenv("VORNIK_SIM_MODULE", QUEN_GAUGESIM_MODULE, 1);
    QCoreApplication app(argc, argv);
    qc::VornikControl control;
    if (!control.isCreated()) {
        std::fprintf(stderr, "no control: %s\n", control.lastError().description.toLocal8Bit().constData());
        return 1;
    }
    qc::VornikQtHost host(control);
    qc::EventLoopClock clock;
    qc::GaugeLink link(control, clock);
    const qc::RequestResult up = link.Connect(QString::fromLatin1(kGauge), QStringLiteral("QV-FE 500"));
    if (!up.ok() || Configure(("reply_delay = " + std::to_string(kLatencyMillis)).c_str()) != 0) {
        std::fprintf(stderr, "no link: %s\n", up.Message(1).toLocal8Bit().constData());
        return 1;
    }

    // The link: write, then poll the reply.
    const long opsBefore = link.AttOperations();
    QElapsedTimer timer;
    timer.start();
    int answered = 0;
    for (int i = 0; i < kRequests; ++i)
        answered += link.Battery().ok() ? 1 : 0;
    const double linkMillis = double(timer.elapsed()) / kRequests;
    const double linkOps = double(link.AttOperations() - opsBefore) / kRequests;

    // The floor: one write and one read once the latency has passed, with
    // nobody polling on the write response.
    const qc::LinkState& s = link.State();
    control.setEventHandler(nullptr);
    int floorAnswered = 0;
    long floorOps = 0;
    timer.restart();
    for (int i = 0; i < kRequests; ++i) {
        control.writeValue(s.Ids.SvcMainId, s.Ids.ChrCommandId, QString(), QStringLiteral("$gcv!"));
        clock.Delay(std::chrono::milliseconds(kLatencyMillis));
        QString value;
        control.readValue(s.Ids.SvcMainId, s.Ids.ChrCommandId, QString(), value);
        floorOps += 2;
        floorAnswered += value.startsWith(QStringLiteral("$gcv?")) ? 1 : 0;
    }
    const double floorMillis = double(timer.elapsed()) / kRequests;
    control.setEventHandler(&link);
    const double floorPerRequest = double(floorOps) / kRequests;

    std::printf("gauge link \"$gcv!\" at %d ms latency: %d/%d answered, %.2f ATT operations and %.1f ms per request\n",
                kLatencyMillis, answered, kRequests, linkOps, linkMillis);
    std::printf("floor (one write, one read): %d/%d answered, %.2f ATT operations and %.1f ms per request\n",
                floorAnswered, kRequests, floorPerRequest, floorMillis);
    std::printf("ratio to floor: %.2f operations, %.2f time\n", linkOps / floorPerRequest, linkMillis / floorMillis);
    link.Disconnect();
    return answered == kRequests ? 0 : 1;
}
