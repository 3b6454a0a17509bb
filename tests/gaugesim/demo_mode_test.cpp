// The program's demo mode: the command line, the radio it chooses and the
// mark on its caption and connection text.
#include "shell/demo_mode.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdlib>

namespace qc {
namespace {

class DemoMode : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const char* name : {"VORNIK220_RADIO", "VORNIK_SIM_MODULE", "QUENCONNECT_GAUGESIM_DIR"})
            ::unsetenv(name);
    }
};

TEST_F(DemoMode, CommandLine)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    struct Case {
        QStringList arguments;
        bool requested;
        QString folder;
        bool error;
    };
    const Case cases[] = {
        {{}, false, {}, false},
        {{"--version"}, false, {}, false},
        {{"--simulate"}, true, {}, false},
        {{"--simulate", "--style", "fusion"}, true, {}, false},
        {{"--simulate", folder.path()}, true, folder.path(), false},
        {{"-style", "fusion", "--simulate", folder.path()}, true, folder.path(), false},
        {{"--simulate", folder.path() + "/missing"}, true, folder.path() + "/missing", true},
    };
    for (const Case& c : cases) {
        const DemoRequest request = ParseDemoRequest(c.arguments);
        EXPECT_EQ(request.requested, c.requested) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(request.folder, c.folder);
        EXPECT_EQ(!request.error.isEmpty(), c.error);
    }
}

TEST_F(DemoMode, EnteringSetsTheRadioBeforeTheControlIsCreated)
{
    EXPECT_FALSE(IsDemoMode());
    EXPECT_EQ(DemoMarked(QStringLiteral("Quen Connect V1.10")), QStringLiteral("Quen Connect V1.10"));
    EnterDemoMode(QStringLiteral("/opt/qc/bin"), QString());
    EXPECT_TRUE(IsDemoMode());
    EXPECT_STREQ(std::getenv("VORNIK220_RADIO"), "sim");
    EXPECT_STREQ(std::getenv("VORNIK_SIM_MODULE"), "/opt/qc/bin/libquen_gaugesim.so");
    EXPECT_EQ(std::getenv("QUENCONNECT_GAUGESIM_DIR"), nullptr);
    EXPECT_EQ(DemoMarked(QStringLiteral("Quen Connect V1.10")), QStringLiteral("Quen Connect V1.10 [DEMO]"));
    EXPECT_EQ(DemoMarked(QStringLiteral("Verbunden")), QStringLiteral("Verbunden [DEMO]"));

    QTemporaryDir folder;
    EnterDemoMode(QStringLiteral("/opt/qc/bin"), folder.path());
    EXPECT_EQ(QString::fromLocal8Bit(std::getenv("QUENCONNECT_GAUGESIM_DIR")), folder.path());
}

}  // namespace
}  // namespace qc
