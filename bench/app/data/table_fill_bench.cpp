// 5000 readings through FillMessdaten into the table, its statistics and
// the grid model, the statistics lines built once at the end as the window
// shows them; then every cell read as a view would. The floor is the record
// decode alone (into a bare table) in the same run, so the ratio is
// comparable between machines. Run by hand: build-release/bin/bench_table_fill
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

#include "data/measurement_data.h"
#include "shell/wait_clock.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 11; // the best run counts: the machine is shared
constexpr double kGoalMillis = 30;

double Millis(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QStringList Records()
{
    QStringList records;
    for (int i = 1; i <= qc::kMaxRows; ++i)
        records << QString::number(i % 10000).rightJustified(4, u' ') + QStringLiteral("  ") +
                       QString::number(20 + (i % 97) * 1.37, 'f', 2).rightJustified(10, u' ') +
                       QStringLiteral(" \u00B5m   FE  2024-12-05 10:15:30");
    return records;
}

qc::GaugeContext Gauge()
{
    qc::GaugeContext gauge;
    gauge.profile.ProfileClass = QStringLiteral("4");
    gauge.profile.ProfileProbe = QStringLiteral("2");
    gauge.profile.ProfileFlag6 = QStringLiteral("-");
    gauge.profile.ProfileFlag7 = QStringLiteral("2");
    return gauge;
}

const QLocale kGerman(QLocale::German, QLocale::Germany);

void Setup(qc::MeasurementData& data)
{
    data.locale = kGerman;
    data.gauge = Gauge();
    data.limits = {25, {}, 120, {}, 100, {}, true};
    data.ApplyContext();
    data.ResetStatistic();
}

// The decode alone: what no fill can do without.
double Floor(const QStringList& records, const QDateTime& now)
{
    auto table = std::make_unique<qc::MeasurementTable>();
    qc::TableState state;
    const qc::GaugeContext gauge = Gauge();
    const auto start = Clock::now();
    for (const QString& r : records)
        qc::FillMessdaten(r, gauge, *table, state, now, kGerman);
    return Millis(start);
}

double Fill(bool batched, const QStringList& records, const QDateTime& now, int* shownLines)
{
    qc::MeasurementData data;
    Setup(data);
    const auto start = Clock::now();
    if (batched)
        data.model.BeginBatch();
    for (const QString& r : records)
        data.FillMessdaten(r, now);
    if (batched)
        data.model.EndBatch();
    *shownLines = static_cast<int>(data.statistics.Lines().size()); // shown once, as the window does
    const double ms = Millis(start);
    if (data.model.rowCount() != qc::kMaxRows)
        std::fprintf(stderr, "unexpected row count %d\n", data.model.rowCount());
    return ms;
}

template <typename F>
double Best(F run)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i)
        times.push_back(run());
    return *std::min_element(times.begin(), times.end());
}

} // namespace

int main(int argc, char** argv)
{
    qc::PinLocalTimeZone(); // as the program does
    QCoreApplication app(argc, argv);
    const long baseline = PeakKilobytes();
    const QStringList records = Records();
    const QDateTime now = QDateTime::currentDateTime();

    // The three are measured in turns, so a busy moment of the machine
    // does not fall on one of them only.
    int lines = 0;
    double floor = 1e9, batched = 1e9, single = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        floor = std::min(floor, Floor(records, now));
        batched = std::min(batched, Fill(true, records, now, &lines));
        single = std::min(single, Fill(false, records, now, &lines));
    }

    qc::MeasurementData data;
    Setup(data);
    data.model.BeginBatch();
    for (const QString& r : records)
        data.FillMessdaten(r, now);
    data.model.EndBatch();
    const double redraw = Best([&] {
        const auto start = Clock::now();
        data.FillMSFlexOne(now);
        data.statistics.Lines();
        return Millis(start);
    });

    auto start = Clock::now();
    qsizetype characters = 0;
    int coloured = 0;
    for (int row = 0; row < data.model.rowCount(); ++row)
        for (int column = 0; column < qc::grid::kColumnCount; ++column) {
            const QModelIndex i = data.model.index(row, column);
            characters += data.model.data(i, Qt::DisplayRole).toString().size();
            coloured += data.model.data(i, Qt::BackgroundRole).isValid() ? 1 : 0;
        }
    const double cells = Millis(start);

    std::printf("readings                         %d (best of %d runs)\n", qc::kMaxRows, kRuns);
    std::printf("floor: record decode alone       %9.1f ms\n", floor);
    std::printf("FillMessdaten, batched grid      %9.1f ms  ratio to floor %5.2f  goal %.0f ms: %s\n", batched,
                batched / floor, kGoalMillis, batched <= kGoalMillis ? "met" : "MISSED");
    std::printf("FillMessdaten, row by row grid   %9.1f ms  ratio to floor %5.2f\n", single, single / floor);
    std::printf("batched / row by row             %9.2f      %s\n", batched / single,
                batched <= single ? "batched no slower" : "BATCHED SLOWER");
    std::printf("FillMSFlexOne (redraw + stats)   %9.1f ms  ratio to floor %5.2f\n", redraw, redraw / floor);
    std::printf("all cells read (text + colour)   %9.1f ms  (%lld characters, %d coloured)\n", cells,
                static_cast<long long>(characters), coloured);
    std::printf("statistics lines shown           %d\n", lines);
    std::printf("peak resident memory             %9ld kB  (%ld kB before the records)\n", PeakKilobytes(), baseline);
    std::printf("readings in the statistics       %d\n", data.statistics.StatCount);
    return 0;
}
