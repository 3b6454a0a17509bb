#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "data/text_align.h"
#include "shell/branding.h"
#include "shell/folders.h"
#include "shell/manual_files.h"
#include "data/safe_file_name.h"
#include "shell/texts.h"
#include "shell/transfer_log.h"

namespace qc {
namespace {

TEST(SafeGaugeNumber, KeepsSafeNumbersAndEncodesTheRest)
{
    const struct {
        QString In;
        QString Out;
    } cases[] = {
        {QStringLiteral("1234"), QStringLiteral("1234")},
        {QStringLiteral(" 7001"), QStringLiteral(" 7001")},
        {QStringLiteral("AB-12_x"), QStringLiteral("AB-12_x")},
        {QString(32, u'7'), QString(32, u'7')},
        {QString(), QStringLiteral("~")},
        {QStringLiteral(".."), QStringLiteral("~_002E_002E")},
        {QStringLiteral("..\\x"), QStringLiteral("~_002E_002E_005Cx")},
        {QStringLiteral("12/34"), QStringLiteral("~12_002F34")},
        {QStringLiteral("12?34"), QStringLiteral("~12_003F34")},
        {QStringLiteral("12\u00B734"), QStringLiteral("~12_00B734")},
        {QStringLiteral("12_3/4"), QStringLiteral("~12_005F3_002F4")},
        {QStringLiteral("a\tb"), QStringLiteral("~a_0009b")},
        {QStringLiteral("M\u00FCller"), QStringLiteral("~M_00FCller")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SafeGaugeNumber(c.In), c.Out) << c.In.toStdString();
}

// Numbers that used to share one settings file each get their own name, and
// no name leaves the folder.
TEST(SafeGaugeNumber, DifferentNumbersNeverShareAName)
{
    QStringList numbers = {QStringLiteral("12/34"),
                           QStringLiteral("12?34"),
                           QStringLiteral("12\u00B734"),
                           QStringLiteral("12_34"),
                           QStringLiteral("12_002F34"),
                           QStringLiteral("~12_002F34"),
                           QString(),
                           QStringLiteral("_"),
                           QStringLiteral("~"),
                           QStringLiteral("..")};
    for (int i = 0; i < 300; ++i)
        numbers << QString(33, u'7') + QString::number(i) << QString(40, u'a') + QChar(char16_t(0x100 + i));
    numbers << QString(1 << 20, u'9') << QString(1 << 20, u'9') + u'8';
    QSet<QString> names;
    for (const QString& n : numbers) {
        const QString name = SafeGaugeNumber(n);
        EXPECT_LE(name.size(), 65) << n.left(40).toStdString();
        EXPECT_FALSE(name.contains(u'/') || name.contains(u'\\') || name == u"." || name == u"..");
        names.insert(name);
    }
    EXPECT_EQ(names.size(), numbers.size());
}

TEST(TransferLog, FileNameJoinsProgramNameWithoutSeparator)
{
    EXPECT_EQ(TransferLog::PathIn(QStringLiteral("/s")), QStringLiteral("/s/Quen ConnectTransferLog.txt"));
}

TEST(TransferLog, DeleteThenWriteGivesOnlyTheNewEntries)
{
    QTemporaryDir dir;
    const TransferLog log(TransferLog::PathIn(dir.path()));
    {
        QFile old(log.Path());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier run\r\n");
    }
    log.DeleteLog();
    log.WriteLog(QStringLiteral("AppDataPath = /x"));
    log.WriteLog(QStringLiteral("12 \u00B5m"));
    QFile file(log.Path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("AppDataPath = /x\r\n12 \xB5m\r\n"));
}

TEST(TransferLog, DeleteCreatesAMissingFile)
{
    QTemporaryDir dir;
    const TransferLog log(TransferLog::PathIn(dir.path()));
    log.DeleteLog();
    EXPECT_TRUE(QFile::exists(log.Path()));
    EXPECT_EQ(QFile(log.Path()).size(), 0);
}

TEST(TransferLog, UnwritableLogIsIgnored)
{
    QTemporaryDir dir;
    const TransferLog missingFolder(dir.path() + QStringLiteral("/no/such/log.txt"));
    missingFolder.DeleteLog();
    missingFolder.WriteLog(QStringLiteral("lost"));
    EXPECT_FALSE(QFile::exists(missingFolder.Path()));

    const TransferLog folderAsFile(dir.path()); // a directory cannot be opened as a file
    folderAsFile.WriteLog(QStringLiteral("lost"));
    folderAsFile.DeleteLog();
    EXPECT_TRUE(QDir(dir.path()).exists());
}

TEST(Branding, MarkAndNumberSelectTheBrand)
{
    const struct {
        QString Mark;
        QString Number;
        std::optional<Brand> Expected;
    } cases[] = {
        {QString(), QStringLiteral("7000"), Brand::Tarnholm},
        {QString(), QStringLiteral("7999"), Brand::Tarnholm},
        {QString(), QStringLiteral(" 7500 "), Brand::Tarnholm},
        {QString(), QStringLiteral("6999"), Brand::Orvanta},
        {QString(), QStringLiteral("8000"), Brand::Orvanta},
        {QString(), QString(), Brand::Orvanta},
        {QString(), QStringLiteral("abc"), Brand::Orvanta},
        {kSecondOemMark, QStringLiteral("1234"), Brand::Tarnholm},
        {kFirstOemMark, QStringLiteral("1234"), std::nullopt},
        {kFirstOemMark, QStringLiteral("7100"), Brand::Tarnholm},
        {kOtherMakeMark, QStringLiteral("1234"), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BrandForMark(EffectiveBrandMark(c.Mark, c.Number)), c.Expected)
            << c.Mark.toStdString() << " " << c.Number.toStdString();
}

TEST(Branding, AssetsOfEachBrand)
{
    const BrandAssets orvanta = AssetsOf(Brand::Orvanta);
    EXPECT_EQ(orvanta.LogoFile, QStringLiteral("Quenlogo.jpg"));
    EXPECT_EQ(orvanta.IconFile, QStringLiteral("Quen.ico"));
    EXPECT_EQ(orvanta.StatisticsCaption, QStringLiteral("Orvanta GmbH"));
    const BrandAssets tarnholm = AssetsOf(Brand::Tarnholm);
    EXPECT_EQ(tarnholm.LogoFile, QStringLiteral("Tarnholmlogo.jpg"));
    EXPECT_EQ(tarnholm.IconFile, QStringLiteral("Tarnholm.ico"));
    EXPECT_EQ(tarnholm.StatisticsCaption, QStringLiteral("Tarnholm GmbH"));
}

TEST(Alignment, Ausrichten)
{
    EXPECT_EQ(Ausrichten(6, QStringLiteral("12"), QStringLiteral(" "), false), QStringLiteral("    12"));
    EXPECT_EQ(Ausrichten(5, QStringLiteral("7"), QStringLiteral("0x"), false), QStringLiteral("00007"));
    EXPECT_EQ(Ausrichten(3, QStringLiteral("12345"), QStringLiteral(" "), true), QStringLiteral("123"));
    EXPECT_EQ(Ausrichten(3, QStringLiteral("12345"), QStringLiteral(" "), false), QStringLiteral("12345"));
    EXPECT_EQ(Ausrichten(3, QStringLiteral("abc"), QStringLiteral(" "), true), QStringLiteral("abc"));
}

TEST(Alignment, AusrichtenL)
{
    EXPECT_EQ(AusrichtenL(5, QStringLiteral(" ab ")), QStringLiteral("ab   "));
    EXPECT_EQ(AusrichtenL(3, QStringLiteral("abcdef")), QStringLiteral("abc"));
    EXPECT_EQ(AusrichtenL(0, QStringLiteral("x")), QString());
}

TEST(Manual, FileNamesAndNotFoundTexts)
{
    EXPECT_EQ(ManualFileName(0), QStringLiteral("DE_Manual_Quen_Connect.pdf"));
    EXPECT_EQ(ManualFileName(1), QStringLiteral("EN_Manual_Quen_Connect.pdf"));
    EXPECT_EQ(ManualNotFoundText(0, QStringLiteral("/a/b.pdf")), QStringLiteral("Datei /a/b.pdf wurde nicht gefunden"));
    EXPECT_EQ(ManualNotFoundText(1, QStringLiteral("/a/b.pdf")), QStringLiteral("File /a/b.pdf not found "));
}

TEST(Manual, InstallCopiesMissingAndKeepsCurrentCopies)
{
    QTemporaryDir program;
    QTemporaryDir settings;
    for (const char* name : {"DE_Manual_Quen_Connect.pdf", "EN_Manual_Quen_Connect.pdf"}) {
        QFile f(program.path() + u'/' + QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF shipped");
    }
    InstallManuals(program.path(), settings.path());
    QFile de(settings.path() + QStringLiteral("/DE_Manual_Quen_Connect.pdf"));
    ASSERT_TRUE(de.open(QIODevice::ReadOnly));
    EXPECT_EQ(de.readAll(), QByteArray("%PDF shipped"));
    EXPECT_TRUE(QFile::exists(settings.path() + QStringLiteral("/EN_Manual_Quen_Connect.pdf")));
    EXPECT_EQ(QDir(settings.path()).entryList(QDir::Files).size(), 2);
}

TEST(Folders, EnvironmentOverridesAndXdgDefaults)
{
    qputenv(kSettingsDirVariable, "/tmp/qc-settings/");
    qputenv(kDataDirVariable, "/tmp/qc-data");
    EXPECT_EQ(SettingsDirFromEnvironment(), QStringLiteral("/tmp/qc-settings"));
    EXPECT_EQ(DataDirFromEnvironment(), QStringLiteral("/tmp/qc-data"));
    qunsetenv(kSettingsDirVariable);
    qunsetenv(kDataDirVariable);
    qputenv("XDG_CONFIG_HOME", "/cfg");
    qputenv("XDG_DATA_HOME", "/share");
    EXPECT_EQ(SettingsDirFromEnvironment(), QStringLiteral("/cfg/Quen Connect"));
    EXPECT_EQ(DataDirFromEnvironment(), QStringLiteral("/share/Quen Connect"));
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(SettingsDirFromEnvironment(), QDir::homePath() + QStringLiteral("/.config/Quen Connect"));
    EXPECT_EQ(DataDirFromEnvironment(), QDir::homePath() + QStringLiteral("/.local/share/Quen Connect"));
}

TEST(Folders, ProgramDirIsTheInstalledDataFolderWhenPresent)
{
    QTemporaryDir prefix;
    QDir(prefix.path()).mkpath(QStringLiteral("bin"));
    EXPECT_EQ(ProgramDirFor(prefix.path() + QStringLiteral("/bin")), prefix.path() + QStringLiteral("/bin"));
    QDir(prefix.path()).mkpath(QStringLiteral("share/quenconnect"));
    EXPECT_EQ(ProgramDirFor(prefix.path() + QStringLiteral("/bin")),
              prefix.path() + QStringLiteral("/share/quenconnect"));
}

TEST(Folders, EnsureDirectoryCreatesParents)
{
    QTemporaryDir root;
    const QString deep = root.path() + QStringLiteral("/a/b c/d");
    EXPECT_TRUE(EnsureDirectory(deep));
    EXPECT_TRUE(QDir(deep).exists());
    EXPECT_FALSE(EnsureDirectory(QString()));
}

} // namespace
} // namespace qc
