#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

#include "shell/settings_store.h"
#include "shell/transfer_log.h"

namespace qc {
namespace {

const QLocale kDot(QLocale::C);
const QLocale kComma(QLocale::German, QLocale::Germany);

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TransferLog log{dir.path() + QStringLiteral("/log.txt")};
    SettingsStore store{dir.path(), kDot};

    SettingsStoreTest()
    {
        store.SetLog(&log);
        store.SetGaugeNumber(QStringLiteral("1234"));
    }

    QString PathOf(const char* name) const { return dir.path() + u'/' + QString::fromLatin1(name); }

    void Write(const char* name, const QByteArray& bytes) const
    {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray Read(const char* name) const
    {
        QFile file(PathOf(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static void ExpectOkFor(SettingsStore& other, QStringView mode)
    {
        const auto failure = other.Voreinstellungen(mode);
        EXPECT_FALSE(failure.has_value()) << mode.toString().toStdString();
    }

    void ExpectOk(QStringView mode)
    {
        const auto failure = store.Voreinstellungen(mode);
        EXPECT_FALSE(failure.has_value())
            << mode.toString().toStdString() << ": " << (failure ? failure->Message().toStdString() : std::string());
    }
};

TEST_F(SettingsStoreTest, FirstStartCreatesTheFilesAndChangesNothing)
{
    store.limits.MinLimit = 5;
    for (QStringView mode : {settings_mode::ProjectLabelsLoad, settings_mode::LimitsLoad, settings_mode::LanguageLoad,
                             settings_mode::KeysLoad, settings_mode::ProjectDataLoad})
        ExpectOk(mode);
    EXPECT_EQ(Read("Limit_1234.ini"), QByteArray());
    EXPECT_EQ(Read("Tastatur_1234.ini"), QByteArray());
    EXPECT_EQ(Read("Language_1234.ini"), QByteArray("0\r\n"));
    EXPECT_EQ(Read("Projekt.ini"), QByteArray());
    EXPECT_EQ(Read("Projektdaten._1234.ini"), QByteArray());
    EXPECT_EQ(store.limits.MinLimit, 5);
    EXPECT_EQ(store.language, 0);
    EXPECT_EQ(store.keyForwarding.Options, QStringLiteral("0000"));
    EXPECT_FALSE(store.projectData.Date.isValid());
    EXPECT_EQ(Read("log.txt"), QByteArray("<missing>"));
}

TEST_F(SettingsStoreTest, LimitsLastNonEmptyLineWins)
{
    Write("Limit_1234.ini", "10;250;120;1;\r\n  20;300.5;150;0;  \r\n\r\n");
    ExpectOk(settings_mode::LimitsLoad);
    EXPECT_EQ(store.limits.MinLimit, 20);
    EXPECT_EQ(store.limits.MaxLimit, 300.5);
    EXPECT_EQ(store.limits.TargetValue, 150);
    EXPECT_EQ(store.limits.MaxLimitText, QStringLiteral("300.5"));
    EXPECT_FALSE(store.limits.Rule8020);
    EXPECT_EQ(store.LastPath(), PathOf("Limit_1234.ini"));
    EXPECT_EQ(store.LastMode(), QStringLiteral("LL"));
}

TEST_F(SettingsStoreTest, LimitsWithoutTheFourthFieldClearThe8020Flag)
{
    store.limits.Rule8020 = true;
    Write("Limit_1234.ini", "10;250;120;\r\n");
    ExpectOk(settings_mode::LimitsLoad);
    EXPECT_EQ(store.limits.MinLimit, 10);
    EXPECT_EQ(store.limits.MaxLimit, 250);
    EXPECT_EQ(store.limits.TargetValue, 120);
    EXPECT_EQ(store.limits.MinLimitText, QStringLiteral("10"));
    EXPECT_FALSE(store.limits.Rule8020);
}

TEST_F(SettingsStoreTest, LimitsFlagReadsAsABoolean)
{
    const struct {
        QByteArray Flag;
        bool Expected;
    } cases[] = {{"1", true}, {"-1", true}, {"True", true}, {"0", false}, {"False", false}};
    for (const auto& c : cases) {
        Write("Limit_1234.ini", "1;2;3;" + c.Flag + ";\r\n");
        ExpectOk(settings_mode::LimitsLoad);
        EXPECT_EQ(store.limits.Rule8020, c.Expected) << c.Flag.toStdString();
    }
}

TEST_F(SettingsStoreTest, LimitsAreWrittenAsOneLineInTheLocale)
{
    store.limits.MinLimit = 10;
    store.limits.MaxLimit = 250;
    store.limits.TargetValue = 120;
    ExpectOk(settings_mode::LimitsSave);
    EXPECT_EQ(Read("Limit_1234.ini"), QByteArray("10;250;120;0;\r\n"));

    store.SetLocale(kComma);
    store.limits.MinLimit = 12.5;
    store.limits.MaxLimit = 1250;
    store.limits.Rule8020 = true;
    ExpectOk(settings_mode::LimitsSave);
    EXPECT_EQ(Read("Limit_1234.ini"), QByteArray("12,5;1250;120;1;\r\n"));
    store.limits = {};
    ExpectOk(settings_mode::LimitsLoad);
    EXPECT_EQ(store.limits.MinLimit, 12.5);
    EXPECT_EQ(store.limits.MinLimitText, QStringLiteral("12,5"));
    EXPECT_EQ(store.limits.MaxLimit, 1250);
    EXPECT_TRUE(store.limits.Rule8020);
}

TEST_F(SettingsStoreTest, LimitsFailureKeepsWhatWasReadAndReportsThePrefix)
{
    Write("Limit_1234.ini", "10;abc;120;\r\n");
    const auto failure = store.Voreinstellungen(settings_mode::LimitsLoad);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->Message(),
              QStringLiteral("Probleme beim Lesen Datei Limit.ini: line 1, field 2: \"abc\" is not a number"));
    EXPECT_EQ(store.limits.MinLimit, 10);
    EXPECT_EQ(store.limits.MaxLimit, 0);
    EXPECT_EQ(Read("log.txt"), QByteArray("Probleme beim Lesen Datei Limit.ini: \r\n"));
    EXPECT_EQ(store.LastPrefix(), QStringLiteral("Probleme beim Lesen Datei Limit.ini: "));
}

TEST_F(SettingsStoreTest, LineWithTooFewSeparatorsIsAReadError)
{
    store.language = 1;
    Write("Limit_1234.ini", "10;250\r\n");
    Write("Tastatur_1234.ini", "1;gedit\r\n");
    Write("Projekt.ini", "Kunde\r\n");
    const auto limits = store.Voreinstellungen(settings_mode::LimitsLoad);
    const auto keys = store.Voreinstellungen(settings_mode::KeysLoad);
    const auto labels = store.Voreinstellungen(settings_mode::ProjectLabelsLoad);
    ASSERT_TRUE(limits && keys && labels);
    EXPECT_EQ(limits->Message(),
              QStringLiteral("problems reading file  Limit.ini: line 1 has fewer than 3 \";\": \"10;250\""));
    EXPECT_EQ(keys->Message(),
              QStringLiteral("problems reading file  Tastatur.ini: line 1 has fewer than 3 \";\": \"1;gedit\""));
    EXPECT_EQ(labels->Message(),
              QStringLiteral("problems reading file  Datei Projekt.ini: line 1 has fewer than 2 \";\": \"Kunde\""));
}

TEST(SettingsFailurePrefix, EveryModeInBothLanguages)
{
    const struct {
        QStringView Mode;
        const char16_t* German;
        const char16_t* English;
    } cases[] = {
        {u"LL", u"Probleme beim Lesen Datei Limit.ini: ", u"problems reading file  Limit.ini: "},
        {u"LS", u"Probleme beim Schreiben Datei Limit.ini: ", u"problems writing file  Limit.ini: "},
        {u"TL", u"Probleme beim Lesen Datei Tastatur.ini: ", u"problems reading file  Tastatur.ini: "},
        {u"TS", u"Probleme beim Schreiben Datei Tastatur.ini: ", u"problems writing file  Tastatur.ini: "},
        {u"SL", u"Probleme beim Lesen Datei & Language.ini: ", u"problems reading file Language.ini:"},
        {u"SS", u"Probleme beim Schreiben Datei Language.ini: ", u"problems writing file Language.ini: "},
        {u"PI", u"Probleme beim Lesen Datei Projekt.ini: ", u"problems reading file  Datei Projekt.ini: "},
        {u"PL", u"Probleme beim Lesen Datei Projektdaten.ini: ", u"problems reading file  Projektdaten.ini: "},
        {u"PS", u"Probleme beim Schreiben Datei Projektdaten.ini: ",
         u"problems writing file  Datei Projektdaten.ini: "},
        {u"XX", u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingsStore::FailurePrefix(c.Mode, 0), QString::fromUtf16(c.German))
            << c.Mode.toString().toStdString();
        EXPECT_EQ(SettingsStore::FailurePrefix(c.Mode, 1), QString::fromUtf16(c.English))
            << c.Mode.toString().toStdString();
    }
}

TEST_F(SettingsStoreTest, EveryModeFailsWithItsPrefixWhenTheFolderIsMissing)
{
    store.SetSettingsDir(dir.path() + QStringLiteral("/missing"));
    for (QStringView mode : {u"LL", u"LS", u"TL", u"TS", u"SL", u"SS", u"PI", u"PL", u"PS"}) {
        const auto failure = store.Voreinstellungen(mode);
        ASSERT_TRUE(failure.has_value()) << mode.toString().toStdString();
        EXPECT_EQ(failure->Prefix, SettingsStore::FailurePrefix(mode, 0));
        EXPECT_TRUE(failure->Description.contains(QStringLiteral("/missing/"))) << failure->Description.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/missing")));
}

TEST_F(SettingsStoreTest, NoSettingsFolderFailsInsteadOfWritingElsewhere)
{
    store.SetSettingsDir(QString());
    const auto failure = store.Voreinstellungen(settings_mode::LimitsSave);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->Message(), QStringLiteral("Probleme beim Schreiben Datei Limit.ini: no settings folder"));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/Limit_1234.ini")));
}

TEST_F(SettingsStoreTest, UnknownModeDoesNothing)
{
    EXPECT_FALSE(store.Voreinstellungen(u"ZZ").has_value());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(store.LastMode(), QString());
}

TEST_F(SettingsStoreTest, KeyForwardingRoundTrip)
{
    Write("Tastatur_1234.ini", "1;/usr/bin/gedit;1010;ENTER\r\n");
    ExpectOk(settings_mode::KeysLoad);
    EXPECT_TRUE(store.keyForwarding.Enabled);
    EXPECT_EQ(store.keyForwarding.TargetApplication, QStringLiteral("/usr/bin/gedit"));
    EXPECT_EQ(store.keyForwarding.Options, QStringLiteral("1010"));
    EXPECT_EQ(store.keyForwarding.EndOfLineKey, QStringLiteral("ENTER"));

    store.keyForwarding.Enabled = false;
    store.keyForwarding.EndOfLineKey.clear();
    ExpectOk(settings_mode::KeysSave);
    EXPECT_EQ(Read("Tastatur_1234.ini"), QByteArray("0;/usr/bin/gedit;1010;\r\n"));
}

// Files the fuzzer made: blanks at the edges of fields, control characters,
// a ";" in the key and a CR inside a line. What loads saves byte for byte
// the same line again, and a save killed halfway is covered by the
// crash-safety test.
TEST_F(SettingsStoreTest, KeyForwardingOddFieldsSaveAsTheyWereRead)
{
    static const char kWithNul[] = "1;/bsui/ix\x01\x00"
                                   "1([TA\xcd};x\x01; ;\x00NTER}\r\n";
    const QByteArray WithNul(kWithNul, sizeof kWithNul - 1);
    const struct {
        QByteArray file;
        QByteArray saved;
    } rows[] = {
        {"1; ;};{TAB}\r\n", "1; ;};{TAB}\r\n"},
        {WithNul, WithNul},
        {"0;  /opt/a b ;0000;  {ENTER}  \r\n", "0;  /opt/a b ;0000;  {ENTER}\r\n"},
        {"1;prog;0000;a\rb\r\n", "1;prog;0000;a b\r\n"},
        {"True;p;\xB5;\xA0{ENTER}\r\n", "1;p;\xB5;\xA0{ENTER}\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file.toPercentEncoding().toStdString());
        Write("Tastatur_1234.ini", row.file);
        SettingsStore first{dir.path(), kComma};
        first.SetGaugeNumber(QStringLiteral("1234"));
        ExpectOkFor(first, settings_mode::KeysLoad);
        ExpectOkFor(first, settings_mode::KeysSave);
        EXPECT_EQ(Read("Tastatur_1234.ini"), row.saved);
        SettingsStore second{dir.path(), kComma};
        second.SetGaugeNumber(QStringLiteral("1234"));
        ExpectOkFor(second, settings_mode::KeysLoad);
        EXPECT_EQ(second.keyForwarding.TargetApplication, first.keyForwarding.TargetApplication);
        EXPECT_EQ(second.keyForwarding.EndOfLineKey, QString(first.keyForwarding.EndOfLineKey).replace(u'\r', u' '));
    }
}

TEST_F(SettingsStoreTest, KeyForwardingEmptyOptionsBecome0000)
{
    Write("Tastatur_1234.ini", "1;/opt/app;;\r\n");
    ExpectOk(settings_mode::KeysLoad);
    EXPECT_EQ(store.keyForwarding.Options, QStringLiteral("0000"));
    EXPECT_EQ(store.keyForwarding.EndOfLineKey, QString());
}

TEST_F(SettingsStoreTest, LanguageFile)
{
    const struct {
        QByteArray Content;
        int Language;
    } cases[] = {{"1\r\n", 1}, {"0\r\n", 0}, {"\r\n", 0}, {"", 0}, {"1\r\n0\r\n", 1}, {"5\r\n", 1}, {"-2\r\n", 0}};
    for (const auto& c : cases) {
        store.language = 7;
        Write("Language_1234.ini", c.Content);
        ExpectOk(settings_mode::LanguageLoad);
        EXPECT_EQ(store.language, c.Language) << c.Content.toStdString();
    }
    store.language = 1;
    ExpectOk(settings_mode::LanguageSave);
    EXPECT_EQ(Read("Language_1234.ini"), QByteArray("1\r\n"));
}

TEST_F(SettingsStoreTest, ProjectLabelsSkipCommentsAndTakeAtMostSix)
{
    QByteArray labels = "# Projektfelder\r\n\r\n";
    for (int n = 1; n <= 8; ++n)
        labels += QStringLiteral("Feld %1;Field %1;extra\r\n").arg(n).toLatin1();
    labels += "#end\r\n";
    Write("Projekt.ini", labels);
    ExpectOk(settings_mode::ProjectLabelsLoad);
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(store.projectLabels.Captions[n - 1], QStringLiteral("Feld %1").arg(n));
        EXPECT_EQ(store.projectLabels.Lines[n - 1], QStringLiteral("Feld %1;Field %1;extra").arg(n));
    }
    store.language = 1;
    ExpectOk(settings_mode::ProjectLabelsLoad);
    EXPECT_EQ(store.projectLabels.Captions[0], QStringLiteral("Field 1"));
    EXPECT_EQ(Read("log.txt"), QByteArray("<missing>"));
}

TEST_F(SettingsStoreTest, ProjectLabelLineIsKeptUpTo60Characters)
{
    Write("Projekt.ini", "Pr\xFC"
                         "fer;Inspector;" +
                             QByteArray(80, 'x') + "\r\n");
    ExpectOk(settings_mode::ProjectLabelsLoad);
    EXPECT_EQ(store.projectLabels.Captions[0], QStringLiteral("Prüfer"));
    EXPECT_EQ(store.projectLabels.Lines[0].size(), 60);
}

TEST_F(SettingsStoreTest, ProjectDataCutsTextsAndIgnoresAnInvalidDate)
{
    store.projectData.Date = QDate(2020, 1, 2);
    Write("Projektdaten._1234.ini",
          "Kunde M\xFCller\r\n\r\n" + QByteArray(40, 'y') + "\r\nd\r\ne\r\nf\r\nDT 31.02.2024\r\n");
    ExpectOk(settings_mode::ProjectDataLoad);
    EXPECT_EQ(store.projectData.Texts[0], QStringLiteral("Kunde Müller"));
    EXPECT_EQ(store.projectData.Texts[1], QString());
    EXPECT_EQ(store.projectData.Texts[2], QString(30, u'y'));
    EXPECT_EQ(store.projectData.Texts[5], QStringLiteral("f"));
    EXPECT_EQ(store.projectData.Date, QDate(2020, 1, 2));
}

TEST_F(SettingsStoreTest, ProjectDataRoundTripKeepsTheDateAndCodePage)
{
    store.SetLocale(kComma);
    store.projectData.Texts = {QStringLiteral("Br\u00FCcke 12 \u00B5m"), QStringLiteral("B"), QString(),
                               QStringLiteral("line\r\nbreak"),          QStringLiteral("E"), QStringLiteral("F")};
    store.projectData.Date = QDate(2024, 3, 9);
    ExpectOk(settings_mode::ProjectDataSave);
    EXPECT_EQ(Read("Projektdaten._1234.ini"),
              QByteArray("Br\xFC"
                         "cke 12 \xB5m\r\nB\r\n\r\nline  break\r\nE\r\nF\r\nDT 09.03.2024\r\n"));
    store.projectData = {};
    ExpectOk(settings_mode::ProjectDataLoad);
    EXPECT_EQ(store.projectData.Texts[0], QStringLiteral("Br\u00FCcke 12 \u00B5m"));
    EXPECT_EQ(store.projectData.Date, QDate(2024, 3, 9));
}

TEST_F(SettingsStoreTest, HostileGaugeNumberStaysInsideTheFolder)
{
    QDir(dir.path()).mkpath(QStringLiteral("inner"));
    store.SetSettingsDir(dir.path() + QStringLiteral("/inner"));
    const QString hostile[] = {
        QStringLiteral("../../etc/passwd"), QStringLiteral("..\\..\\x"), QStringLiteral("a/b"), QStringLiteral(".."),
        QStringLiteral("12\n34\x01"),       QString(500, u'9'),
    };
    for (const QString& number : hostile) {
        store.SetGaugeNumber(number);
        store.limits.MinLimit = 1;
        ExpectOk(settings_mode::LimitsSave);
        ExpectOk(settings_mode::LanguageLoad);
        ExpectOk(settings_mode::ProjectDataSave);
        for (const QString& path : {store.LimitsPath(), store.LanguagePath(), store.ProjectDataPath()}) {
            const QFileInfo info(path);
            EXPECT_EQ(info.absolutePath(), dir.path() + QStringLiteral("/inner")) << path.toStdString();
            EXPECT_TRUE(info.isFile()) << path.toStdString();
            EXPECT_LE(info.fileName().size(), 100) << path.toStdString(); // far below any file system's limit
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

// Numbers in the limits file are plain numbers in the locale's form or with
// "."; a group separator is a read error, never a thousandfold value.
TEST_F(SettingsStoreTest, LimitsFileNumbersAcrossLocales)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const struct {
        QLocale Locale;
        QByteArray Line;
        std::optional<double> Min;
    } cases[] = {
        {english, "0,125;250;0;0;", std::nullopt}, // written by a German system: was 125
        {kComma, "1.000;250;0;0;", 1.0},           // was 1000
        {kComma, "0,125;250;0;0;", 0.125},
        {english, "0.125;250;0;0;", 0.125},
        {kComma, "1.000,5;250;0;0;", std::nullopt},
        {english, "1,000.5;250;0;0;", std::nullopt},
    };
    for (const auto& c : cases) {
        store.SetLocale(c.Locale);
        store.limits = {};
        Write("Limit_1234.ini", c.Line + "\r\n");
        const auto failure = store.Voreinstellungen(settings_mode::LimitsLoad);
        EXPECT_EQ(!failure, c.Min.has_value()) << c.Line.constData();
        if (c.Min)
            EXPECT_DOUBLE_EQ(store.limits.MinLimit, *c.Min) << c.Line.constData();
        else
            EXPECT_TRUE(failure && failure->Description.contains(QStringLiteral("is not a number")))
                << c.Line.constData();
    }
}

// A megabyte-long field is reported with a short excerpt only.
TEST_F(SettingsStoreTest, AMegabyteFieldIsQuotedShort)
{
    const QByteArray huge(1 << 20, '7');
    for (const QByteArray& content :
         {QByteArray(huge + "x;1;2;0;\r\n"), QByteArray(huge + "\r\n"), QByteArray("1;2;3;" + huge + "x;\r\n")}) {
        Write("Limit_1234.ini", content);
        const auto failure = store.Voreinstellungen(settings_mode::LimitsLoad);
        ASSERT_TRUE(failure.has_value());
        EXPECT_LT(failure->Message().size(), 200) << failure->Message().left(100).toStdString();
        EXPECT_TRUE(failure->Description.contains(QStringLiteral("7777777777")));
        EXPECT_TRUE(failure->Description.contains(QStringLiteral("characters)")));
    }
}

// ";" separates the fields of the key forwarding file: a path with one is
// refused and the file keeps what it had.
TEST_F(SettingsStoreTest, AKeyPathWithTheSeparatorIsRefused)
{
    store.keyForwarding = {true, QStringLiteral("/opt/tool"), QStringLiteral("1000"), QStringLiteral("ENTER")};
    ExpectOk(settings_mode::KeysSave);
    store.keyForwarding.TargetApplication = QStringLiteral("/opt/a;b/tool");
    const auto failure = store.Voreinstellungen(settings_mode::KeysSave);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->Prefix, QStringLiteral("Probleme beim Schreiben Datei Tastatur.ini: "));
    EXPECT_EQ(Read("Tastatur_1234.ini"), QByteArray("1;/opt/tool;1000;ENTER\r\n"));
    ExpectOk(settings_mode::KeysLoad);
    EXPECT_EQ(store.keyForwarding.TargetApplication, QStringLiteral("/opt/tool"));
    EXPECT_EQ(store.keyForwarding.EndOfLineKey, QStringLiteral("ENTER"));
}

// Settings saved before any gauge is known wait for the first gauge instead
// of going to a file without a gauge number.
TEST_F(SettingsStoreTest, SettingsSavedBeforeAGaugeIsKnownGoToTheFirstGauge)
{
    SettingsStore early{dir.path(), kDot};
    early.limits = {10, {}, 250, {}, 0, {}, false};
    early.language = 1;
    early.keyForwarding = {true, QStringLiteral("/opt/tool"), QStringLiteral("1000"), QString()};
    for (QStringView mode : {settings_mode::LimitsSave, settings_mode::LanguageSave, settings_mode::KeysSave,
                             settings_mode::LimitsSave, settings_mode::LimitsLoad}) {
        const auto failure = early.Voreinstellungen(mode);
        EXPECT_FALSE(failure.has_value());
    }
    EXPECT_EQ(early.PendingSaves(), (QStringList{QStringLiteral("LS"), QStringLiteral("SS"), QStringLiteral("TS")}));
    EXPECT_DOUBLE_EQ(early.limits.MinLimit, 10); // the load without a gauge kept the values
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());

    early.SetGaugeNumber(QStringLiteral("4711"));
    EXPECT_TRUE(early.PendingSaves().isEmpty());
    EXPECT_EQ(Read("Limit_4711.ini"), QByteArray("10;250;0;0;\r\n"));
    EXPECT_EQ(Read("Language_4711.ini"), QByteArray("1\r\n"));
    EXPECT_EQ(Read("Tastatur_4711.ini"), QByteArray("1;/opt/tool;1000;\r\n"));
    early.limits = {};
    ExpectOkFor(early, settings_mode::LimitsLoad);
    EXPECT_DOUBLE_EQ(early.limits.MaxLimit, 250);
}

} // namespace
} // namespace qc
