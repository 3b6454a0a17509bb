#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "output/report_docx.h"

namespace qc {
namespace {

// Runs the independent reader; its output is returned for the failure text.
bool ReadBack(const QString& docxPath, const QString& expectedText, QString* output)
{
    QTemporaryDir dir;
    const QString expectedPath = dir.filePath(QStringLiteral("expected.txt"));
    QFile f(expectedPath);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(expectedText.toUtf8());
    f.close();
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(QC_SYSTEM_PYTHON), {QStringLiteral(QC_DOCX_READBACK), docxPath, expectedPath});
    const bool finished = p.waitForFinished(60000);
    *output = QString::fromUtf8(p.readAll());
    if (!finished)
        p.kill();
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

struct DocCase {
    const char* name;
    QString report;
    QString expectedLines; // the paragraphs, joined with "\n"
};

class ReportDocx : public testing::TestWithParam<DocCase> {};

TEST_P(ReportDocx, ReadsBackWithTextAndFont)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Report.docx"));
    ASSERT_FALSE(WriteReportDocx(path, GetParam().report));
    QString output;
    EXPECT_TRUE(ReadBack(path, GetParam().expectedLines, &output)) << output.toStdString();
}

QString LongReport()
{
    QString text;
    for (int i = 1; i <= 5000; ++i)
        text += QStringLiteral("10:15:30      %1        12,3 \u00B5m   FE\r\n").arg(i, 5);
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Output, ReportDocx,
    testing::Values(
        DocCase{"ReportLines",
                QStringLiteral("#  05.12.2024 09:30\r\n#  Objekt Br\u00FCcke <7> & \"8\"\r\n\r\nStatistik:\r\n"
                               "Anzahl              2\r\n\r\n10:15:30          1        12,3 \u00B5m   FE\r\n"),
                QStringLiteral("#  05.12.2024 09:30\n#  Objekt Br\u00FCcke <7> & \"8\"\n\nStatistik:\n"
                               "Anzahl              2\n\n10:15:30          1        12,3 \u00B5m   FE")},
        // Characters XML cannot carry are left out; everything else stays.
        DocCase{"ControlCharacters", QStringLiteral("a\x01" "b\x1F" "c \u20AC \U0001F600\r\n  lead and trail  \r\n"),
                QStringLiteral("abc \u20AC \U0001F600\n  lead and trail  ")},
        DocCase{"TabsAndLoneLineEnds", QStringLiteral("a\tb\rc\nd\r\n"), QStringLiteral("a\tb\nc\nd")},
        DocCase{"Empty", QString(), QString()},
        DocCase{"FiveThousandLines", LongReport(), LongReport().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).chopped(1)}),
    [](const testing::TestParamInfo<DocCase>& info) { return info.param.name; });

TEST(ReportDocxXml, OneParagraphPerLineWithTheFontAndBlanksKept)
{
    const QByteArray xml = ReportDocumentXml(QStringLiteral("  a  b\r\n\r\n"));
    EXPECT_EQ(xml.count("<w:p>"), 2);
    EXPECT_TRUE(xml.contains("<w:t xml:space=\"preserve\">  a  b</w:t>"));
    EXPECT_TRUE(xml.contains("w:ascii=\"Lucida Console\""));
    EXPECT_TRUE(xml.contains("<w:sz w:val=\"20\"/>"));
}

TEST(ReportDocxFailures, NamesTheReason)
{
    QTemporaryDir dir;
    const auto missingFolder = WriteReportDocx(dir.filePath(QStringLiteral("fehlt/r.docx")), QStringLiteral("x"));
    ASSERT_TRUE(missingFolder);
    EXPECT_FALSE(missingFolder->isEmpty());
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("r.docx"))));
    const auto onFolder = WriteReportDocx(dir.filePath(QStringLiteral("r.docx")), QStringLiteral("x"));
    ASSERT_TRUE(onFolder);
    EXPECT_TRUE(onFolder->contains(QStringLiteral("folder")));
}

TEST(ReportDocxNames, ExportFolderAndNewNames)
{
    EXPECT_EQ(ExportFolder(QStringLiteral("/d"), QStringLiteral("12/34")), QStringLiteral("/d/export/~12_002F34"));
    EXPECT_EQ(ExportFolder(QStringLiteral("/d"), QStringLiteral("12_34")), QStringLiteral("/d/export/12_34"));
    EXPECT_EQ(ExportFolder(QStringLiteral("/d"), QString()), QStringLiteral("/d/export"));
    QTemporaryDir dir;
    const QDateTime now(QDate(2024, 12, 5), QTime(10, 15, 30));
    const QString first = NewReportDocxPath(dir.path(), now);
    EXPECT_EQ(first, dir.filePath(QStringLiteral("Report_20241205_101530.docx")));
    ASSERT_FALSE(WriteReportDocx(first, QStringLiteral("x")));
    EXPECT_EQ(NewReportDocxPath(dir.path(), now), dir.filePath(QStringLiteral("Report_20241205_101530_2.docx")));
}

} // namespace
} // namespace qc
