// Registration round trip and late binding through the class registry, as
// a program does that does not link the control.
#include "temp_dir.h"
#include "vornik_loader.h"

#include <gtest/gtest.h>

namespace vornik::test {
namespace {

const std::filesystem::path kModule = VORNIK_TEST_MODULE;

vornik_hresult install(const Module& module, bool on)
{
    return module.api().install(on ? 1 : 0, "user");
}

TEST(Loader, RegisterResolveCreateUnregister)
{
    PrivateRegistry scope;
    TempDir emptyDir;
    std::string error;
    auto direct = Module::open(kModule, "", error);
    ASSERT_TRUE(direct) << error;
    ASSERT_EQ(install(*direct, true), VORNIK_S_OK);

    const auto resolved = registry::resolve("CorvelBLE.Vornik", error);
    ASSERT_TRUE(resolved) << error;
    EXPECT_EQ(resolved->clsid, VORNIK_CLSID);
    EXPECT_EQ(std::filesystem::canonical(resolved->module), std::filesystem::canonical(kModule));
    EXPECT_EQ(resolved->registryFile, scope.root() / "user" / "inproc-servers" / "classes.reg");

    {
        auto module = Module::load("CorvelBLE.Vornik", error, emptyDir.path());
        ASSERT_TRUE(module) << error;
        vornik_control* ctl = nullptr;
        ASSERT_EQ(module->create("CorvelBLE.Vornik", &ctl), VORNIK_S_OK);
        vornik_variant request{VORNIK_VT_STR, 0, const_cast<char*>("LogLevel"), 8, 0};
        vornik_variant reply{};
        ASSERT_EQ(module->api().invoke(ctl, VORNIK_DISPID_Config, VORNIK_INVOKE_METHOD, &request, 1, &reply),
                  VORNIK_S_OK);
        EXPECT_EQ(std::string(reply.data, reply.len), "1");
        module->api().variantClear(&reply);
        EXPECT_EQ(module->api().canUnloadNow(), VORNIK_S_FALSE);
        EXPECT_EQ(module->api().release(ctl), 0u);
        EXPECT_EQ(module->api().canUnloadNow(), VORNIK_S_OK);
    }

    ASSERT_EQ(install(*direct, false), VORNIK_S_OK);
    EXPECT_FALSE(registry::resolve("CorvelBLE.Vornik", error));
    EXPECT_NE(error.find("\"CorvelBLE.Vornik\" is not registered (looked in "), std::string::npos) << error;
    EXPECT_FALSE(Module::load("CorvelBLE.Vornik", error, emptyDir.path()));
    EXPECT_NE(error.find("No module beside the program in " + emptyDir.path().string() + "."), std::string::npos)
        << error;
}

TEST(Loader, FallsBackToTheModuleBesideTheProgram)
{
    PrivateRegistry scope;
    std::string error;
    auto module = Module::load("CorvelBLE22.Vornik", error, kModule.parent_path());
    ASSERT_TRUE(module) << error;
    vornik_control* ctl = nullptr;
    ASSERT_EQ(module->create("CorvelBLE22.Vornik", &ctl), VORNIK_S_OK);
    EXPECT_EQ(module->api().release(ctl), 0u);
}

TEST(Loader, RegisteredModuleThatIsGoneFallsBack)
{
    PrivateRegistry scope;
    const auto file = registry::userRegistryFile();
    registry::Hive hive;
    hive.set("CorvelBLE.Vornik\\CLSID", "@", VORNIK_CLSID);
    hive.set(std::string("CLSID\\") + VORNIK_CLSID + "\\InprocServer32", "@", "/nonexistent/libvornik220.so.2");
    std::string error;
    ASSERT_TRUE(registry::saveHive(file, hive, error)) << error;
    auto module = Module::load("CorvelBLE.Vornik", error, kModule.parent_path());
    ASSERT_TRUE(module) << error;
    EXPECT_EQ(module->path().parent_path(), kModule.parent_path());
}

} // namespace
} // namespace vornik::test
