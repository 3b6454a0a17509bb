#include <gtest/gtest.h>

#include <QFontInfo>
#include <algorithm>
#include <cmath>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "output/report_print.h"

namespace qc {
namespace {

QString PdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000)) {
        p.kill();
        return QStringLiteral("<pdftotext did not finish>");
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Word {
    double x;
    double y;
    QString text;
};

// The words of a PDF with their positions, as pdftotext finds them.
std::vector<Word> PdfWords(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    std::vector<Word> words;
    if (!p.waitForFinished(60000)) {
        p.kill();
        return words;
    }
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)});
    }
    return words;
}

// Columns of the words of a line: "ab  c" -> {0, 4}.
std::vector<int> WordColumns(const QString& line)
{
    std::vector<int> columns;
    for (int i = 0; i < line.size(); ++i)
        if (line[i] != u' ' && (i == 0 || line[i - 1] == u' '))
            columns.push_back(i);
    return columns;
}

QStringList NonEmptyLines(const QString& text)
{
    QStringList lines;
    for (const QString& l : text.split(u'\n'))
        if (!l.trimmed().isEmpty() && !l.startsWith(u'\f'))
            lines << l.trimmed();
        else if (l.startsWith(u'\f') && !l.mid(1).trimmed().isEmpty())
            lines << l.mid(1).trimmed();
    return lines;
}

TEST(ReportPrint, PrintsEveryLineInTheFixedPitchFont)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const QString report = QStringLiteral("Statistik:\r\nAnzahl              2\r\n\r\n"
                                          "10:15:30          1        12,3 \u00B5m   FE\r\n"
                                          "10:15:31          2         150 \u00B5m   NF\r\n");
    std::optional<PrintedReport> printed;
    {
        QPdfWriter writer(pdf);
        printed = PaintReport(report, writer);
    }
    ASSERT_TRUE(printed);
    EXPECT_EQ(printed->pages, 1);
    EXPECT_EQ(printed->lines, 5);
    const QStringList expected = {QStringLiteral("Statistik:"), QStringLiteral("Anzahl              2"),
                                  QStringLiteral("10:15:30          1        12,3 \u00B5m   FE"),
                                  QStringLiteral("10:15:31          2         150 \u00B5m   NF")};
    const QStringList lines = NonEmptyLines(PdfText(pdf));
    ASSERT_EQ(lines.size(), expected.size()) << lines.join(u'|').toStdString();
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].simplified(), expected[i].simplified());

    // Fixed pitch from the top left: every word starts at its column times
    // one character width, on its line (the empty line keeps its place).
    std::vector<Word> words = PdfWords(pdf);
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
        return a.y < b.y - 0.5 || (std::abs(a.y - b.y) <= 0.5 && a.x < b.x);
    });
    const QStringList printedLines = report.split(QStringLiteral("\r\n"));
    std::vector<std::pair<int, int>> columns; // (line, column) of each word
    for (int i = 0; i < printedLines.size(); ++i)
        for (int c : WordColumns(printedLines[i]))
            columns.push_back({i, c});
    ASSERT_EQ(words.size(), columns.size());
    const double width = (words[2].x - words[1].x) / (columns[2].second - columns[1].second); // "Anzahl" .. "2"
    const double step = words[1].y - words[0].y;
    EXPECT_GT(width, 4.0); // 10 pt fixed pitch: about 6 points a character
    EXPECT_LT(width, 8.0);
    EXPECT_GT(step, 9.0);
    EXPECT_LT(step, 16.0);
    for (size_t k = 0; k < words.size(); ++k) {
        EXPECT_NEAR(words[k].x - words[0].x, columns[k].second * width, 0.6) << words[k].text.toStdString();
        EXPECT_NEAR(words[k].y - words[0].y, columns[k].first * step, 0.6) << words[k].text.toStdString();
    }
    EXPECT_LT(words[0].x, 40.0) << "the report starts at the top left";
    EXPECT_LT(words[0].y, 60.0);

    const QFont font = ReportPrintFont();
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
    EXPECT_EQ(font.pointSize(), 10);
    EXPECT_FALSE(font.bold());
    EXPECT_FALSE(font.italic());
}

TEST(ReportPrint, LongReportsGoOnToNewPages)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
    QString report;
    for (int i = 1; i <= 5000; ++i)
        report += QStringLiteral("10:15:30      %1        12,3 \u00B5m   FE\r\n").arg(i, 5);
    std::optional<PrintedReport> printed;
    {
        QPdfWriter writer(pdf);
        printed = PaintReport(report, writer);
    }
    ASSERT_TRUE(printed);
    EXPECT_EQ(printed->lines, 5000);
    EXPECT_GT(printed->pages, 50);
    const QStringList lines = NonEmptyLines(PdfText(pdf));
    ASSERT_EQ(lines.size(), 5000);
    EXPECT_EQ(lines.front().simplified(), QStringLiteral("10:15:30 1 12,3 \u00B5m FE"));
    EXPECT_EQ(lines.back().simplified(), QStringLiteral("10:15:30 5000 12,3 \u00B5m FE"));
}

TEST(ReportPrint, ADeviceThatCannotStartIsReported)
{
    QPdfWriter writer(QStringLiteral("/nonexistent-folder/x/report.pdf"));
    QString error;
    EXPECT_FALSE(PaintReport(QStringLiteral("a\r\n"), writer, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace qc
