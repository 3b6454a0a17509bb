// Saving and opening a measurement file of 5000 readings, beside writing
// and reading the same bytes with plain stdio in the same folder. Prints the
// times and their ratios. Run by hand: build/bin/bench_mes_file
#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unistd.h>

#include "data/measurement_file.h"
#include "data/record_text.h"
#include "data/units.h"
#include "output/report_text.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 20;

double Millis(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

qc::ReportInput Input(bool dateMode)
{
    qc::ReportInput in;
    in.locale = QLocale(QLocale::German, QLocale::Germany);
    in.profile.ProfileClass = QStringLiteral("4");
    in.profile.ProfileProbe = QStringLiteral("2");
    in.profile.ProfileFlag6 = dateMode ? QStringLiteral("-") : QString();
    in.unit = QStringLiteral("\u00B5m");
    in.statistics = {QStringLiteral("Speicher 1"), QStringLiteral(" "), QStringLiteral("Statistik:"),
                     QStringLiteral("Anzahl           5000")};
    for (int i = 1; i <= qc::kMaxRows; ++i) {
        qc::Reading r;
        r.Number = static_cast<qint16>(i);
        r.Value = qc::FormatValue(20 + (i % 97) * 1.37, in.unit, in.profile, in.locale).RoundedValue;
        r.Unit = in.unit;
        r.Material = i % 2 ? QStringLiteral("FE") : QStringLiteral("NF");
        r.DateTime = QDateTime(QDate(2024, 12, 5), QTime(8, 0)).addSecs(i * 7);
        r.TimeText = dateMode ? qc::LocaleTimeText(r.DateTime.time(), in.locale) : QStringLiteral("10:15:30");
        r.DateText = qc::LocaleDateText(r.DateTime.date(), in.locale);
        in.rows.push_back(r);
    }
    return in;
}

// The same bytes with stdio; `sync` adds the flush to disk the save does.
double StdioWrite(const char* path, const QByteArray& bytes, bool sync)
{
    const auto start = Clock::now();
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return -1;
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f);
    std::fflush(f);
    if (sync)
        fsync(fileno(f));
    std::fclose(f);
    return Millis(start);
}

double StdioRead(const char* path, size_t expected)
{
    const auto start = Clock::now();
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return -1;
    QByteArray buffer(static_cast<qsizetype>(expected), Qt::Uninitialized);
    const size_t got = std::fread(buffer.data(), 1, expected, f);
    std::fclose(f);
    if (got != expected)
        std::fprintf(stderr, "short read\n");
    return Millis(start);
}

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mes"));
    const QByteArray plainPath = QFile::encodeName(dir.filePath(QStringLiteral("plain.mes")));
    const qc::ReportInput input = Input(false);
    const qc::ReportInput dated = Input(true);
    const QString datedPath = dir.filePath(QStringLiteral("dated.mes"));
    if (qc::SaveMesFile(datedPath, qc::MesFileBytes(qc::BuildReportText(qc::report_mode::All, dated))))
        std::fprintf(stderr, "save failed\n");

    std::vector<double> report, save, open, openDated, plainWrite, plainWriteSync, plainRead;
    QByteArray bytes;
    int rowsRead = 0;
    for (int run = 0; run < kRuns; ++run) {
        auto start = Clock::now();
        bytes = qc::MesFileBytes(qc::BuildReportText(qc::report_mode::All, input));
        report.push_back(Millis(start));

        start = Clock::now();
        if (qc::SaveMesFile(path, bytes))
            std::fprintf(stderr, "save failed\n");
        save.push_back(Millis(start));

        start = Clock::now();
        const qc::MesReadResult read = qc::ReadMesFile(path, {false, input.locale});
        open.push_back(Millis(start));
        rowsRead = static_cast<int>(read.content.rows.size());

        start = Clock::now();
        const qc::MesReadResult readDated = qc::ReadMesFile(datedPath, {true, input.locale});
        openDated.push_back(Millis(start));
        if (readDated.content.rows.size() != static_cast<size_t>(qc::kMaxRows))
            std::fprintf(stderr, "date mode: %zu rows\n", readDated.content.rows.size());

        plainWrite.push_back(StdioWrite(plainPath.constData(), bytes, false));
        plainWriteSync.push_back(StdioWrite(plainPath.constData(), bytes, true));
        plainRead.push_back(StdioRead(plainPath.constData(), static_cast<size_t>(bytes.size())));
    }

    std::printf("readings                               %d (read back %d), %lld bytes, best of %d runs\n",
                qc::kMaxRows, rowsRead, static_cast<long long>(bytes.size()), kRuns);
    std::printf("report text + Windows-1252 bytes       %9.2f ms\n", Best(report));
    std::printf("save (temporary file, sync, rename)    %9.2f ms\n", Best(save));
    std::printf("stdio write + fsync, same bytes        %9.2f ms   save / this   = %6.2f\n", Best(plainWriteSync),
                Best(save) / Best(plainWriteSync));
    std::printf("stdio write, same bytes                %9.2f ms   save / this   = %6.2f\n", Best(plainWrite),
                Best(save) / Best(plainWrite));
    std::printf("open (read, decode, parse 5000 rows)   %9.2f ms\n", Best(open));
    std::printf("stdio read, same bytes                 %9.2f ms   open / this   = %6.2f\n", Best(plainRead),
                Best(open) / Best(plainRead));
    std::printf("open, date-time in every line          %9.2f ms\n", Best(openDated));
    return 0;
}
