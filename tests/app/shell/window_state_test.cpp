// The status bar's wording, the saved window position and the --help text.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>

#include "shell/demo_mode.h"
#include "shell/folders.h"
#include "shell/status_text.h"
#include "shell/texts.h"
#include "shell/usage.h"
#include "shell/window_geometry.h"

namespace qc {
namespace {

StatusState S(Activity activity, const QString& gauge = {}, int done = 0, int total = 0, bool demo = false)
{
    StatusState state;
    state.activity = activity;
    state.Gauge = gauge;
    state.Done = done;
    state.Total = total;
    state.Demo = demo;
    return state;
}

struct StatusRow {
    int Language;
    StatusState State;
    const char16_t* Expected;
};

const StatusRow kStatusRows[] = {
    {0, S(Activity::Idle), u"Kein Messgerät verbunden"},
    {1, S(Activity::Idle), u"No gauge connected"},
    {0, S(Activity::Scanning), u"Suche Messgeräte …"},
    {1, S(Activity::Scanning), u"Scanning for gauges …"},
    {0, S(Activity::Connecting, QStringLiteral("QV 1234")), u"Verbinde mit QV 1234 …"},
    {1, S(Activity::Connecting, QStringLiteral("QV 1234")), u"Connecting to QV 1234 …"},
    {0, S(Activity::Connected, QStringLiteral("QV 1234")), u"Verbunden mit QV 1234"},
    {1, S(Activity::Connected, QStringLiteral("QV 1234")), u"Connected to QV 1234"},
    {0, S(Activity::Connected, QStringLiteral("  ")), u"Verbunden mit dem Messgerät"},
    {1, S(Activity::Connected), u"Connected to the gauge"},
    {0, S(Activity::Reading, QStringLiteral("ZP 7"), 12, 250), u"Lese Messwert 12 von 250 aus ZP 7 …"},
    {1, S(Activity::Reading, QStringLiteral("ZP 7"), 12, 250), u"Reading value 12 of 250 from ZP 7 …"},
    {0, S(Activity::Reading, QStringLiteral("ZP 7"), 3, 0), u"Lese Messwert 3 aus ZP 7 …"},
    {1, S(Activity::Reading, QStringLiteral("ZP 7"), 3, -1), u"Reading value 3 from ZP 7 …"},
    // A count past the total or below zero never shows.
    {1, S(Activity::Reading, QStringLiteral("ZP 7"), 300, 250), u"Reading value 250 of 250 from ZP 7 …"},
    {0, S(Activity::Reading, QStringLiteral("ZP 7"), -4, 250), u"Lese Messwert 0 von 250 aus ZP 7 …"},
    {1, S(Activity::Reading, QStringLiteral("ZP 7"), -4, 0), u"Reading value 0 from ZP 7 …"},
    {0, S(Activity::Idle, {}, 0, 0, true), u"Kein Messgerät verbunden – Demo-Modus (simulierte Messgeräte)"},
    {1, S(Activity::Connected, QStringLiteral("QV 1"), 0, 0, true),
     u"Connected to QV 1 – demo mode (simulated gauges)"},
    // A damaged language value reads as the nearer language.
    {-3, S(Activity::Scanning), u"Suche Messgeräte …"},
    {9, S(Activity::Scanning), u"Scanning for gauges …"},
};

class StatusTextRows : public ::testing::TestWithParam<StatusRow> { };

TEST_P(StatusTextRows, SaysWhatTheProgramDoes)
{
    const StatusRow& row = GetParam();
    EXPECT_EQ(StatusText(row.Language, row.State), QString::fromUtf16(row.Expected));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, StatusTextRows, ::testing::ValuesIn(kStatusRows));

// A gauge name is shown as it is, whatever it holds (placeholders, markup,
// an ampersand); counts at the ends of the range never go past the total.
TEST(StatusText, GaugeNamesAndCountsSweep)
{
    const QString names[] = {QStringLiteral("%1 %2 %3"), QStringLiteral("<b>&amp;</b>"), QStringLiteral("%%1"),
                             QStringLiteral("Gerät ✓ €")};
    const int counts[] = {INT_MIN, -1, 0, 1, 4999, 5000, INT_MAX};
    for (int language : {kGerman, kEnglish}) {
        for (const QString& name : names) {
            for (Activity activity : {Activity::Connecting, Activity::Connected})
                EXPECT_EQ(StatusText(language, S(activity, name)).count(name), 1) << language;
            for (int done : counts) {
                for (int total : counts) {
                    const QString text = StatusText(language, S(Activity::Reading, name, done, total));
                    ASSERT_EQ(text.count(name), 1) << language << " " << done << " " << total;
                    const QString shown = text.left(text.indexOf(name));
                    EXPECT_FALSE(shown.contains(u'-')) << shown.toStdString();
                    if (total > 0 && done > total) {
                        EXPECT_TRUE(shown.contains(QString::number(total) +
                                                   (language ? QStringLiteral(" from") : QStringLiteral(" aus"))))
                            << shown.toStdString();
                    }
                }
            }
        }
    }
}

TEST(StatusText, MegabyteGaugeNameIsShownWhole)
{
    const QString name(1 << 20, u'Q');
    for (int language : {kGerman, kEnglish}) {
        for (Activity activity : {Activity::Connecting, Activity::Connected, Activity::Reading}) {
            const QString text = StatusText(language, S(activity, name, INT_MAX, 5));
            EXPECT_TRUE(text.contains(name));
            EXPECT_EQ(text.size() - name.size(),
                      StatusText(language, S(activity, QStringLiteral("Q"), INT_MAX, 5)).size() - 1);
        }
    }
}

class WindowGeometryFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString File() const { return WindowStateFile(dir.path()); }
    void Write(const QByteArray& bytes)
    {
        QFile file(File());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(WindowGeometryFile, SavedGeometryComesBackByteForByte)
{
    QByteArray geometry;
    for (int i = 0; i < 256; ++i)
        geometry.append(char(i));
    ASSERT_TRUE(SaveWindowGeometry(dir.path(), geometry));
    EXPECT_EQ(LoadWindowGeometry(dir.path()), geometry);
    EXPECT_TRUE(SaveWindowGeometry(dir.path(), QByteArray("second")));
    EXPECT_EQ(LoadWindowGeometry(dir.path()), QByteArray("second"));
}

TEST_F(WindowGeometryFile, NothingSavedOrNoFolderGivesNothing)
{
    EXPECT_EQ(LoadWindowGeometry(dir.path()), std::nullopt);
    EXPECT_EQ(LoadWindowGeometry(QString()), std::nullopt);
    const QString gone = dir.path() + QStringLiteral("/gone");
    EXPECT_FALSE(SaveWindowGeometry(gone, QByteArray("x")));
    EXPECT_FALSE(QDir(gone).exists()) << "saving must not create the settings folder";
    EXPECT_FALSE(SaveWindowGeometry(QString(), QByteArray("x")));
}

// Whatever a damaged file holds, reading it ends and gives bytes or nothing;
// the window then decides whether they are a geometry.
TEST_F(WindowGeometryFile, DamagedFilesSweep)
{
    const QByteArray damaged[] = {
        QByteArray(),
        QByteArray("[MainWindow]\nGeometry=\n"),
        QByteArray("[MainWindow]\nGeometry=@ByteArray(\n"),
        QByteArray("[MainWindow]\nGeometry=@Variant(\\0\\0\\0\\x7f)\n"),
        QByteArray("\x00\xff\xfe\x01[[[", 8),
        QByteArray(1 << 20, '['),
        "[MainWindow]\nGeometry=@ByteArray(" + QByteArray(1 << 20, 'A') + ")\n",
    };
    for (const QByteArray& bytes : damaged) {
        Write(bytes);
        const auto loaded = LoadWindowGeometry(dir.path());
        if (loaded) {
            EXPECT_FALSE(loaded->isEmpty());
        }
    }
}

TEST(Usage, NamesEveryOptionTheProgramTakes)
{
    const QString text = UsageText();
    for (const QString& word :
         {QString::fromLatin1(kSimulateOption), QStringLiteral("--version"), QStringLiteral("--help"),
          QStringLiteral("-h,"), QString::fromLatin1(kSettingsDirVariable), QString::fromLatin1(kDataDirVariable)})
        EXPECT_TRUE(text.contains(word)) << word.toStdString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Usage: quenconnect")));
    EXPECT_TRUE(text.endsWith(u'\n'));
}

} // namespace
} // namespace qc
