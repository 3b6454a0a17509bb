// Parts of quenconnect-cli below the subcommands: which gauge a file goes
// with.
#include <gtest/gtest.h>

#include <QDir>

#include "cli/file_commands.h"

namespace qc::cli {
namespace {

TEST(CliParts, GaugeOfAFileIsItsFolderUnderTheMeasurementFolder)
{
    const QString data = QDir::cleanPath(QDir::tempPath() + QStringLiteral("/qc-data"));
    struct Case {
        QString path;
        QString given;
        QString gauge;
    };
    const Case cases[] = {
        {data + "/mes/4711/a.mes", {}, "4711"},
        {data + "/mes/4711/../4712/a.mes", {}, "4712"},
        {data + "/mes/4711/a.mes", "99", "99"},
        {data + "/mes/a.mes", {}, {}},
        {data + "/other/4711/a.mes", {}, {}},
        {data + "/mes/4711/sub/a.mes", {}, {}},
        {"/a.mes", {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GaugeOfFile(c.path, data, c.given), c.gauge) << c.path.toStdString();
}

} // namespace
} // namespace qc::cli
