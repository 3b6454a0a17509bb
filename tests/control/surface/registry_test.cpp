#include "registration.h"
#include "temp_dir.h"
#include "vornik220.h"
#include "vornik_registry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace vornik::surface {
namespace {

using registry::Hive;

TEST(Registry, ParsesAndWritesValuesWithEscapes)
{
    std::istringstream in("; comment\r\n[CLSID\\{X}]\r\n@=\"Vornik Class\"\r\n\"Path\"=\"C:\\\\a \\\"b\\\"\"\r\n");
    Hive hive;
    std::string error;
    ASSERT_TRUE(hive.parse(in, error)) << error;
    EXPECT_EQ(hive.value("clsid\\{x}"), "Vornik Class");
    EXPECT_EQ(hive.value("CLSID\\{X}", "path"), "C:\\a \"b\"");
    Hive again;
    std::istringstream written(hive.serialize());
    ASSERT_TRUE(again.parse(written, error)) << error;
    EXPECT_EQ(again.value("CLSID\\{X}", "Path"), "C:\\a \"b\"");
}

TEST(Registry, MalformedLinesAreReportedWithTheirNumber)
{
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"@=\"x\"\n", "line 1 is not a key or a value: @=\"x\""},
        {"[K]\nname=value\n", "line 2 is not a key or a value: name=value"},
        {"[K]\n@=\"open\n", "line 2 is not a key or a value: @=\"open"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        Hive hive;
        std::string error;
        EXPECT_FALSE(hive.parse(in, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(Registry, RemovingATreeKeepsKeysThatOnlyShareAPrefix)
{
    Hive hive;
    hive.set("CLSID\\{A}", "@", "a");
    hive.set("CLSID\\{A}\\InprocServer32", "@", "lib");
    hive.set("CLSID\\{A}X", "@", "other");
    hive.removeTree("clsid\\{a}");
    EXPECT_FALSE(hive.hasKey("CLSID\\{A}"));
    EXPECT_FALSE(hive.hasKey("CLSID\\{A}\\InprocServer32"));
    EXPECT_EQ(hive.value("CLSID\\{A}X"), "other");
}

TEST(Registry, PerUserRegistrationRoundTrip)
{
    test::PrivateRegistry scope;
    std::string error;
    ASSERT_TRUE(RegisterControl(RegistrationScope::User, "/opt/x/libvornik220.so.2", error)) << error;
    const auto file = scope.root() / "user" / "inproc-servers" / "classes.reg";
    ASSERT_TRUE(std::filesystem::exists(file));

    for (const char* name : {VORNIK_PROGID, VORNIK_PROGID_INDEPENDENT, VORNIK_PROGID_LEGACY, VORNIK_CLSID}) {
        const auto found = registry::resolve(name, error);
        ASSERT_TRUE(found) << name << ": " << error;
        EXPECT_EQ(found->clsid, VORNIK_CLSID);
        EXPECT_EQ(found->module, "/opt/x/libvornik220.so.2");
        EXPECT_EQ(found->registryFile, file);
    }

    Hive hive;
    ASSERT_TRUE(registry::loadHive(file, hive, error));
    const std::string clsidKey = std::string("CLSID\\") + VORNIK_CLSID;
    EXPECT_EQ(hive.value(clsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(hive.value(clsidKey + "\\TypeLib"), VORNIK_LIBID);
    EXPECT_EQ(hive.value(clsidKey + "\\MiscStatus\\1"), "132497");
    EXPECT_EQ(hive.value(clsidKey + "\\ToolboxBitmap32"), "/opt/x/libvornik220.so.2, 101");
    EXPECT_EQ(hive.value("CorvelBLE.Vornik\\CurVer"), "CorvelBLE.Vornik.1");
    EXPECT_EQ(hive.value("CorvelBLE22.Vornik\\CurVer"), "CorvelBLE.Vornik.1");
    EXPECT_EQ(hive.value(std::string("TypeLib\\") + VORNIK_LIBID + "\\1.0\\0\\linux64"), "/opt/x/libvornik220.so.2");

    ASSERT_TRUE(UnregisterControl(RegistrationScope::User, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(registry::resolve("CorvelBLE.Vornik", error));
    EXPECT_EQ(error, "\"CorvelBLE.Vornik\" is not registered (looked in " + file.string() + ", " +
                         (scope.root() / "system" / "inproc-servers" / "classes.reg").string() + ").");
}

TEST(Registry, UnregisteringKeepsOtherClasses)
{
    test::PrivateRegistry scope;
    const auto file = registry::userRegistryFile();
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "[Other.Thing\\CLSID]\n@=\"{1}\"\n";
    std::string error;
    ASSERT_TRUE(RegisterControl(RegistrationScope::User, "/m.so", error)) << error;
    ASSERT_TRUE(UnregisterControl(RegistrationScope::User, error)) << error;
    Hive hive;
    ASSERT_TRUE(registry::loadHive(file, hive, error));
    EXPECT_EQ(hive.value("Other.Thing\\CLSID"), "{1}");
    EXPECT_FALSE(hive.hasKey("CorvelBLE.Vornik"));
}

TEST(Registry, UserRegistrationComesBeforeTheSystemOne)
{
    test::PrivateRegistry scope;
    std::string error;
    ASSERT_TRUE(RegisterControl(RegistrationScope::System, "/system/lib.so", error)) << error;
    EXPECT_EQ(registry::resolve("CorvelBLE.Vornik", error)->module, "/system/lib.so");
    ASSERT_TRUE(RegisterControl(RegistrationScope::User, "/user/lib.so", error)) << error;
    EXPECT_EQ(registry::resolve("CorvelBLE.Vornik", error)->module, "/user/lib.so");
}

TEST(Registry, ClsidStrings)
{
    EXPECT_TRUE(registry::isClsidString(VORNIK_CLSID));
    EXPECT_TRUE(registry::isClsidString("{85400400-f789-11ce-86f8-0020afd8c6db}"));
    EXPECT_FALSE(registry::isClsidString("85400400-F789-11CE-86F8-0020AFD8C6DB"));
    EXPECT_FALSE(registry::isClsidString("{85400400-F789-11CE-86F8-0020AFD8C6DG}"));
    EXPECT_FALSE(registry::isClsidString("{85400400F-789-11CE-86F8-0020AFD8C6DB}"));
}

// A module path that would split its registry line is refused, and the file
// already there (with another class in it) stays readable and unchanged.
TEST(Registry, ModulePathsWithLineBreaksAreRefused)
{
    for (const char* path : {"/opt/a\nb/libvornik220.so", "/opt/a\rb/libvornik220.so", "/opt/tab\there.so"}) {
        test::PrivateRegistry scope;
        std::string error;
        ASSERT_TRUE(RegisterControl(RegistrationScope::User, "/good/libvornik220.so", error)) << error;
        EXPECT_FALSE(RegisterControl(RegistrationScope::User, path, error));
        EXPECT_NE(error.find("control character"), std::string::npos) << error;
        const auto found = registry::resolve(VORNIK_PROGID, error);
        ASSERT_TRUE(found) << error;
        EXPECT_EQ(found->module, "/good/libvornik220.so");
    }
}

// Whatever a hive holds, saving never reports success for a file that
// does not read back as written.
TEST(Registry, SavingAValueWithALineBreakFailsAndKeepsTheOldFile)
{
    test::TempDir dir;
    const auto file = dir.path() / "classes.reg";
    Hive good;
    good.set("CLSID\\{X}", "@", "old");
    std::string error;
    ASSERT_TRUE(registry::saveHive(file, good, error)) << error;
    Hive bad;
    bad.set("CLSID\\{X}", "@", "new\nline");
    EXPECT_FALSE(registry::saveHive(file, bad, error));
    EXPECT_NE(error.find("would not read back"), std::string::npos) << error;
    Hive reread;
    ASSERT_TRUE(registry::loadHive(file, reread, error)) << error;
    EXPECT_EQ(reread.value("CLSID\\{X}"), "old");
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".tmp"));
}

} // namespace
} // namespace vornik::surface
