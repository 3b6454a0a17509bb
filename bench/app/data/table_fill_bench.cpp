// 5000 readings through FillMessdaten into the table, its statistics and
// the grid model; then every cell read as a view would. Prints the times
// and the peak resident memory. Run by hand: build/bin/bench_table_fill
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

#include "data/measurement_data.h"

namespace {

using Clock = std::chrono::steady_clock;

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

void Setup(qc::MeasurementData& data)
{
    data.locale = QLocale(QLocale::German, QLocale::Germany);
    data.gauge.profile.ProfileClass = QStringLiteral("4");
    data.gauge.profile.ProfileProbe = QStringLiteral("2");
    data.gauge.profile.ProfileFlag6 = QStringLiteral("-");
    data.gauge.profile.ProfileFlag7 = QStringLiteral("2");
    data.limits = {25, {}, 120, {}, 100, {}, true};
    data.ApplyContext();
    data.ResetStatistic();
}

double Fill(bool batched, const QStringList& records, const QDateTime& now)
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
    const double ms = Millis(start);
    if (data.model.rowCount() != qc::kMaxRows)
        std::fprintf(stderr, "unexpected row count %d\n", data.model.rowCount());
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const long baseline = PeakKilobytes();
    const QStringList records = Records();
    const QDateTime now = QDateTime::currentDateTime();

    const double batched = Fill(true, records, now);
    const double single = Fill(false, records, now);

    qc::MeasurementData data;
    Setup(data);
    data.model.BeginBatch();
    for (const QString& r : records)
        data.FillMessdaten(r, now);
    data.model.EndBatch();
    auto start = Clock::now();
    data.FillMSFlexOne(now);
    const double redraw = Millis(start);

    start = Clock::now();
    qsizetype characters = 0;
    int coloured = 0;
    for (int row = 0; row < data.model.rowCount(); ++row)
        for (int column = 0; column < qc::grid::kColumnCount; ++column) {
            const QModelIndex i = data.model.index(row, column);
            characters += data.model.data(i, Qt::DisplayRole).toString().size();
            coloured += data.model.data(i, Qt::BackgroundRole).isValid() ? 1 : 0;
        }
    const double cells = Millis(start);

    std::printf("readings                         %d\n", qc::kMaxRows);
    std::printf("FillMessdaten, batched grid      %9.1f ms\n", batched);
    std::printf("FillMessdaten, row by row grid   %9.1f ms\n", single);
    std::printf("FillMSFlexOne (redraw + stats)   %9.1f ms\n", redraw);
    std::printf("all cells read (text + colour)   %9.1f ms  (%lld characters, %d coloured)\n", cells,
                static_cast<long long>(characters), coloured);
    std::printf("peak resident memory             %9ld kB  (%ld kB before the records)\n", PeakKilobytes(), baseline);
    std::printf("readings in the statistics       %d\n", data.statistics.StatCount);
    return 0;
}
