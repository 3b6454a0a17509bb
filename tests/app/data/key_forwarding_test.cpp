#include <gtest/gtest.h>

#include "data/key_forwarding.h"
#include "data/measurement_table.h"

namespace qc {
namespace {

const ForwardedReading kReading{QStringLiteral("     12"), QStringLiteral("05.12.2024"), QStringLiteral("       12.3"),
                                QStringLiteral("\u00B5m"), QStringLiteral("FE")};

KeyForwardingSettings Settings(const char* options, const char* lineEnd, bool enabled = true)
{
    KeyForwardingSettings s;
    s.Enabled = enabled;
    s.TargetApplication = QStringLiteral("/usr/bin/target");
    s.Options = QString::fromLatin1(options);
    s.EndOfLineKey = QString::fromLatin1(lineEnd);
    return s;
}

TEST(KeyForwarding, TextsOfOneReadingInOrder)
{
    EXPECT_EQ(KeyForwardingTexts(Settings("1111", "ENTER"), kOnlineSlot, kReading),
              (QStringList{QStringLiteral("     12"), QStringLiteral(" 05.12.2024"), QStringLiteral("       12.3"),
                           QStringLiteral(" \u00B5m"), QStringLiteral(" FE"), QStringLiteral("({ENTER})")}));
    EXPECT_EQ(KeyForwardingTexts(Settings("0000", ""), kOnlineSlot, kReading), QStringList{QStringLiteral("       12.3")});
    EXPECT_EQ(KeyForwardingTexts(Settings("0010", "KEINS"), kOnlineSlot, kReading),
              (QStringList{QStringLiteral("       12.3"), QStringLiteral(" \u00B5m")}));
    // A short options string switches the missing positions off.
    EXPECT_EQ(KeyForwardingTexts(Settings("1", ""), kOnlineSlot, kReading),
              (QStringList{QStringLiteral("     12"), QStringLiteral("       12.3")}));
}

TEST(KeyForwarding, NothingInTheMemoryTableOrWhenOff)
{
    EXPECT_TRUE(KeyForwardingTexts(Settings("1111", "ENTER"), kMemorySlot, kReading).isEmpty());
    EXPECT_TRUE(KeyForwardingTexts(Settings("1111", "ENTER", false), kOnlineSlot, kReading).isEmpty());
}

} // namespace
} // namespace qc
