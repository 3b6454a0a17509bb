// Parts of quenconnect-cli below the subcommands: which gauge a file goes
// with, the records of a live value, the identification fields.
#include <gtest/gtest.h>

#include <QDir>

#include "cli/file_commands.h"
#include "cli/gauge_seam.h"

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

TEST(CliParts, ADualProbeValueCarriesTwoRecords)
{
    const QString first = QStringLiteral("   1        12.3 ym   DFE 2024-12-05 10:15:30\r\n");
    const QString second = QStringLiteral("   1        13.1 ym   DNF 2024-12-05 10:15:30\r\n");
    EXPECT_EQ(LiveRecords(first + second), (QStringList{first, second}));
    EXPECT_EQ(LiveRecords(first), QStringList{first});
    EXPECT_EQ(LiveRecords(QStringLiteral("DNF")), QStringList{QStringLiteral("DNF")}); // no line end: as it came
    EXPECT_EQ(LiveRecords(QString()), QStringList{QString()});
}

TEST(CliParts, IdentificationFieldsModelAndUnit)
{
    using K = LinkHandover::Kind;
    const std::vector<LinkHandover> fields = {
        {K::GaugeField, u'S', QStringLiteral("5101")},   {K::GaugeField, u'T', QStringLiteral("1")},
        {K::GaugeField, u'U', QStringLiteral("metric")}, {K::ProbeField, u'T', QStringLiteral("F5")},
        {K::ProbeField, u'S', QStringLiteral("77")},     {K::Directory, QChar(), QStringLiteral("4")},
    };
    GaugeContext gauge;
    ApplyIdentification(fields, QStringLiteral("QV-FE 500"), gauge);
    EXPECT_EQ(gauge.identity.GaugeNumber, QStringLiteral("5101"));
    EXPECT_EQ(gauge.identity.ProbeType, QStringLiteral("F5"));
    EXPECT_EQ(gauge.identity.ProbeNumber, QStringLiteral("77"));
    EXPECT_EQ(gauge.identity.GaugeUnit, QStringLiteral("\u00B5m"));
    EXPECT_EQ(gauge.identity.ModelCode, QStringLiteral("QV"));
    EXPECT_EQ(gauge.profile.ProfileClass, QStringLiteral("5"));

    GaugeContext unknown;
    ApplyIdentification({}, QStringLiteral("Headset"), unknown);
    EXPECT_TRUE(unknown.identity.ModelCode.isEmpty());
    EXPECT_TRUE(unknown.profile.ProfileClass.isEmpty());
}

} // namespace
} // namespace qc::cli
