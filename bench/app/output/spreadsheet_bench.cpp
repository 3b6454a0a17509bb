// The workbook of a 5000-reading memory with its chart, beside openpyxl
// writing the same cells (no chart) in the same run. Prints the times and
// their ratio. Run by hand: build/bench/bench_spreadsheet
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "output/spreadsheet_export.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 10;

double Millis(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

qc::SpreadsheetInput Input()
{
    qc::SpreadsheetInput in;
    in.reportHeader = QStringLiteral("#  05.12.2024 09:30\r\n#  Objekt Br\u00FCcke 7\r\n\r\n");
    in.memoryName = QStringLiteral("1");
    in.blocks.push_back({QString(), qc::kMaxRows, 20, 152.9, 86.4, 38.2, true, QStringLiteral("Ja")});
    in.limits = {30, QStringLiteral("30"), 140, QStringLiteral("140"), 80, QStringLiteral("80"), false};
    in.unit = QStringLiteral("\u00B5m");
    in.profile.ProfileClass = QStringLiteral("4");
    in.profile.ProfileProbe = QStringLiteral("2");
    in.profile.ProfileFlag7 = QStringLiteral("2");
    in.locale = QLocale(QLocale::German, QLocale::Germany);
    in.headerTexts = {QStringLiteral("Datum Zeit"), QStringLiteral("Nr."), QStringLiteral("Messwert"),
                      QStringLiteral("Messeinheit")};
    for (int i = 1; i <= qc::kMaxRows; ++i) {
        qc::Reading r;
        r.Number = static_cast<qint16>(i);
        r.Value = 20 + (i % 97) * 1.37;
        r.Unit = in.unit;
        r.Material = i % 2 ? QStringLiteral("FE") : QStringLiteral("NF");
        r.DateText = QStringLiteral("05.12.2024");
        r.TimeText = QTime(8, 0).addSecs(i * 7).toString(QStringLiteral("HH:mm:ss"));
        in.rows.push_back(r);
    }
    in.chartTitle = QStringLiteral("Speicher 1");
    in.withChart = true;
    return in;
}

QString FormatText(qc::CellFormat f, const QString& code)
{
    const bool two = code == u"2";
    switch (f) {
    case qc::CellFormat::Count:
        return qc::xlsx::kCountFormat;
    case qc::CellFormat::Statistic:
    case qc::CellFormat::Value:
        return two ? qc::xlsx::kTwoDecimals : QString();
    case qc::CellFormat::Font:
        break;
    }
    return {};
}

bool WriteCells(const QString& path, const qc::SpreadsheetInput& in)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&f);
    for (const qc::SheetCell& c : qc::PlanDataSheet(in).cells) {
        const bool number = std::holds_alternative<double>(c.value);
        out << c.row << '\t' << c.column << '\t' << (number ? "n" : "s") << '\t'
            << FormatText(c.format, in.profile.ProfileFlag7) << '\t'
            << (number ? QString::number(std::get<double>(c.value), 'g', 17) : std::get<QString>(c.value)) << '\n';
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const qc::SpreadsheetInput input = Input();
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const QString path = dir.filePath(QStringLiteral("book%1.xlsx").arg(run));
        const auto start = Clock::now();
        if (const auto error = qc::WriteSpreadsheet(path, input)) {
            std::fprintf(stderr, "write failed: %s\n", qPrintable(*error));
            return 1;
        }
        times.push_back(Millis(start));
    }
    const double ours = *std::min_element(times.begin(), times.end());

    const QString cells = dir.filePath(QStringLiteral("cells.tsv"));
    if (!WriteCells(cells, input)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(cells));
        return 1;
    }
    QProcess python;
    python.start(QStringLiteral(QC_SYSTEM_PYTHON),
                 {QStringLiteral(QC_OPENPYXL_CELLS), cells, dir.filePath(QStringLiteral("openpyxl.xlsx")),
                  QString::number(kRuns)});
    if (!python.waitForFinished(600000) || python.exitCode() != 0) {
        std::fprintf(stderr, "openpyxl failed: %s\n", python.readAllStandardError().constData());
        return 1;
    }
    const double theirs = python.readAllStandardOutput().trimmed().toDouble();
    std::printf("readings                                   %d, best of %d runs\n", qc::kMaxRows, kRuns);
    std::printf("workbook with chart (libxlsxwriter)        %9.2f ms\n", ours);
    std::printf("same cells, no chart (openpyxl)            %9.2f ms\n", theirs);
    std::printf("openpyxl / ours                            %9.2f\n", theirs / ours);
    return 0;
}
