// The control's contract as a late-bound host sees it: creation, members
// by dispatch id, argument checks and error records.
#include "abi_helpers.h"
#include "temp_dir.h"
#include "vornik_registry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace vornik::test {
namespace {

TEST(ControlAbi, CreatesByEveryProgIdAndTheClsid)
{
    for (const char* name : {"CorvelBLE.Vornik.1", "CorvelBLE.Vornik", "CorvelBLE22.Vornik", "corvelble.vornik",
                             "{85400400-F789-11CE-86F8-0020AFD8C6DB}", "{85400400-f789-11ce-86f8-0020afd8c6db}"}) {
        Control control(name);
        EXPECT_EQ(control.created(), VORNIK_S_OK) << name;
        EXPECT_NE(control.get(), nullptr) << name;
    }
}

TEST(ControlAbi, UnknownClassesAreRefused)
{
    struct Case {
        const char* name;
        std::uint32_t hresult;
        const char* description;
    } cases[] = {
        {"CorvelBLE.Other", 0x800401F3, "Invalid class string."},
        {"", 0x800401F3, "Invalid class string."},
        {"{85400401-F789-11CE-86F8-0020AFD8C6DB}", 0x80040111, "The class is not provided by this module."},
    };
    for (const auto& c : cases) {
        vornik_control* ctl = reinterpret_cast<vornik_control*>(1);
        EXPECT_EQ(static_cast<std::uint32_t>(vornik_create(c.name, &ctl)), c.hresult) << c.name;
        EXPECT_EQ(ctl, nullptr);
        EXPECT_EQ(lastError().description, c.description);
    }
}

TEST(ControlAbi, WritingAReadOnlyPropertyFailsAndChangesNothing)
{
    Control control;
    EXPECT_EQ(control.put(VORNIK_DISPID_ServiceCount, {i2(3)}), VORNIK_CTL_E_SETNOTSUPPORTED);
    const ErrorRecord error = lastError();
    EXPECT_EQ(error.hresult, 0x800A017Fu);
    EXPECT_EQ(error.number, 383);
    EXPECT_EQ(error.description, "Property is read-only.");
    EXPECT_EQ(error.source, "CorvelBLE.Vornik.1");
    EXPECT_EQ(error.helpContext, 24026);
    Result count;
    ASSERT_EQ(control.call(VORNIK_DISPID_ServiceCount, {}, &count.v), VORNIK_S_OK);
    EXPECT_EQ(count.v.type, VORNIK_VT_I2);
    EXPECT_EQ(count.v.i, 0);
}

TEST(ControlAbi, IndexOutsideTheArrayFails)
{
    Control control;
    ASSERT_EQ(control.put(VORNIK_DISPID_CharacteristicCount, {i2(5)}), VORNIK_S_OK);
    Result id;
    ASSERT_EQ(control.call(VORNIK_DISPID_CharacteristicId, {i2(4)}, &id.v), VORNIK_S_OK);
    EXPECT_EQ(id.v.type, VORNIK_VT_STR);
    ASSERT_NE(id.v.data, nullptr);  // empty, never null
    EXPECT_EQ(id.v.len, 0u);

    for (const std::int16_t index : {5, -1}) {
        EXPECT_EQ(control.call(VORNIK_DISPID_CharacteristicId, {i2(index)}, &id.v),
                  VORNIK_CTL_E_INVALIDPROPERTYARRAYINDEX);
        EXPECT_EQ(lastError().description, "Invalid array index.");
        EXPECT_EQ(lastError().number, 381);
        EXPECT_EQ(lastError().helpContext, 24008);
    }
    EXPECT_EQ(control.call(VORNIK_DISPID_ServiceUuid, {i2(0)}, &id.v), VORNIK_CTL_E_INVALIDPROPERTYARRAYINDEX);
}

TEST(ControlAbi, EngineFailuresBecomeNumberedErrors)
{
    Control control;
    EXPECT_EQ(static_cast<std::uint32_t>(control.call(VORNIK_DISPID_Select, {str("000C00000000"), str("")})),
              0x800A507Eu);
    ErrorRecord error = lastError();
    EXPECT_EQ(error.number, 20606);
    EXPECT_EQ(error.description, "You must be connected to a server to perform the requested action.");
    EXPECT_EQ(error.helpContext, 44014);

    EXPECT_EQ(static_cast<std::uint32_t>(control.put(VORNIK_DISPID_Service, {str("000C00000000")})), 0x800A507Au);
    error = lastError();
    EXPECT_EQ(error.number, 20602);
    EXPECT_EQ(error.description, "No service with the ID \"000C00000000\" has been discovered.");
    EXPECT_EQ(error.helpContext, 24025);
}

TEST(ControlAbi, ConfigSetsAndQueries)
{
    Control control;
    struct Case {
        const char* request;
        const char* reply;
    } cases[] = {
        {"LogLevel", "1"},
        {"AutoDiscoverCharacteristics = true", ""},
        {"AutoDiscoverCharacteristics", "True"},
        {"autodiscoverdescriptors=yes", ""},
        {"AutoDiscoverDescriptors", "True"},
        {"CodePage", "0"},
        {"NoSuchSetting", "!Unknown config setting."},
        {"GattObjTreeInfo=1", "!Unknown config setting."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(control.config(c.request), c.reply) << c.request;
    control.config("Bogus");
    const ErrorRecord error = lastError();
    EXPECT_EQ(error.hresult, 0x800A4E20u);
    EXPECT_EQ(error.number, 20000);
    EXPECT_EQ(error.helpContext, 44002);
}

TEST(ControlAbi, UnsupportedCodePageIsRefusedAndTheOldOneKept)
{
    Control control;
    EXPECT_EQ(control.config("CodePage=65001"), "");
    EXPECT_EQ(control.config("CodePage=1200"), "!Code page 1200 is not supported.");
    EXPECT_EQ(control.config("CodePage"), "65001");
}

// Code pages that change printable ASCII (UTF-7, EBCDIC) would turn every
// later Config, "CodePage=0" included, into something else: refused.
TEST(ControlAbi, CodePagesThatChangeAsciiAreRefused)
{
    Control control;
    for (const int codePage : {65000, 37, 500, 1140}) {
        const std::string number = std::to_string(codePage);
        EXPECT_EQ(control.config("CodePage=" + number), "!Code page " + number + " is not supported.");
        EXPECT_EQ(control.config("CodePage"), "0") << number;
        EXPECT_EQ(control.config("CodePage=1251"), "") << number;
        EXPECT_EQ(control.config("CodePage=0"), "") << number;
    }
}

TEST(ControlAbi, ArgumentsAreChecked)
{
    Control control;
    Result r;
    EXPECT_EQ(control.call(VORNIK_DISPID_Config, {}, &r.v), VORNIK_DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(lastError().description, "Invalid number of parameters.");
    EXPECT_EQ(control.call(VORNIK_DISPID_Config, {i2(1), i2(2)}, &r.v), VORNIK_DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(control.put(VORNIK_DISPID_Timeout, {str("soon")}), VORNIK_DISP_E_TYPEMISMATCH);
    EXPECT_EQ(lastError().description, "Type mismatch.");
    vornik_variant big{};
    big.type = VORNIK_VT_I4;
    big.i = 40000;
    EXPECT_EQ(control.put(VORNIK_DISPID_Timeout, {big}), VORNIK_DISP_E_OVERFLOW);
    EXPECT_EQ(control.call(999, {}, &r.v), VORNIK_DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(lastError().description, "Member not found.");
    const std::string invalid = "\xC3(";
    EXPECT_EQ(control.call(VORNIK_DISPID_Config, {str(invalid)}, &r.v), VORNIK_E_INVALIDARG);
    EXPECT_EQ(lastError().description, "The text is not valid UTF-8.");
}

TEST(ControlAbi, PropertiesTakeNumbersBooleansAndTheirTexts)
{
    Control control;
    ASSERT_EQ(control.put(VORNIK_DISPID_Timeout, {str("7")}), VORNIK_S_OK);
    Result timeout;
    ASSERT_EQ(control.call(VORNIK_DISPID_Timeout, {}, &timeout.v), VORNIK_S_OK);
    EXPECT_EQ(timeout.v.i, 7);
    ASSERT_EQ(control.put(VORNIK_DISPID_ActiveScanning, {boolean(true)}), VORNIK_S_OK);
    Result active;
    ASSERT_EQ(control.call(VORNIK_DISPID_ActiveScanning, {}, &active.v), VORNIK_S_OK);
    EXPECT_EQ(active.v.type, VORNIK_VT_BOOL);
    EXPECT_EQ(active.v.i, -1);
}

TEST(ControlAbi, PageHostingAndAboutBoxAreAccepted)
{
    Control control;
    EXPECT_EQ(control.call(VORNIK_DISPID_OnStartPage, {}), VORNIK_S_OK);
    EXPECT_EQ(control.call(VORNIK_DISPID_OnStartPage, {i2(0)}), VORNIK_S_OK);
    EXPECT_EQ(control.call(VORNIK_DISPID_OnEndPage, {}), VORNIK_S_OK);
    testing::internal::CaptureStderr();
    EXPECT_EQ(control.call(VORNIK_DISPID_AboutBox, {}), VORNIK_S_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Vornik220 BLE GATT Client Control\nVersion 2.2.0 (build 220)\n");
}

TEST(ControlAbi, CallsFromAnotherThreadAreRefused)
{
    Control control;
    vornik_hresult hr = VORNIK_S_OK;
    std::string description;
    std::uint32_t released = 1;
    std::thread other([&] {
        hr = vornik_do_events(control.get());
        description = lastError().description;
        released = vornik_release(control.get());
    });
    other.join();
    EXPECT_EQ(hr, VORNIK_RPC_E_WRONG_THREAD);
    EXPECT_EQ(description, "The application called an interface that was marshalled for a different thread.");
    EXPECT_EQ(released, 0u);
    EXPECT_EQ(vornik_do_events(control.get()), VORNIK_S_OK);  // still alive
}

TEST(ControlAbi, NamesMapToDispatchIds)
{
    std::int32_t id = 0;
    EXPECT_EQ(vornik_get_dispid("writevalue", &id), VORNIK_S_OK);
    EXPECT_EQ(id, VORNIK_DISPID_WriteValue);
    EXPECT_EQ(vornik_get_dispid("AboutBox", &id), VORNIK_S_OK);
    EXPECT_EQ(id, -552);
    EXPECT_EQ(vornik_get_dispid("Nope", &id), VORNIK_DISP_E_UNKNOWNNAME);
}

TEST(ControlAbi, ClassObjectAndUnloading)
{
    EXPECT_EQ(DllCanUnloadNow(), VORNIK_S_OK);
    const vornik_class_factory* factory = nullptr;
    ASSERT_EQ(DllGetClassObject(VORNIK_CLSID, &factory), VORNIK_S_OK);
    vornik_control* ctl = nullptr;
    ASSERT_EQ(factory->create_instance(&ctl), VORNIK_S_OK);
    EXPECT_EQ(DllCanUnloadNow(), VORNIK_S_FALSE);
    EXPECT_EQ(vornik_add_ref(ctl), 2u);
    EXPECT_EQ(vornik_release(ctl), 1u);
    EXPECT_EQ(vornik_release(ctl), 0u);
    EXPECT_EQ(DllCanUnloadNow(), VORNIK_S_OK);
    factory->lock_server(1);
    EXPECT_EQ(DllCanUnloadNow(), VORNIK_S_FALSE);
    factory->lock_server(0);
    EXPECT_EQ(DllCanUnloadNow(), VORNIK_S_OK);
    EXPECT_EQ(DllGetClassObject(VORNIK_IID_IVORNIK, &factory), VORNIK_CLASS_E_CLASSNOTAVAILABLE);
}

// An unlock without a matching lock changes nothing: the count never goes
// below zero, so a later lock still keeps the module loaded.
TEST(ControlAbi, UnlockingMoreThanLockingKeepsTheServerLockAtZero)
{
    const vornik_class_factory* factory = nullptr;
    ASSERT_EQ(DllGetClassObject(VORNIK_CLSID, &factory), VORNIK_S_OK);
    factory->lock_server(0);
    factory->lock_server(0);
    EXPECT_EQ(DllCanUnloadNow(), VORNIK_S_OK);
    factory->lock_server(1);
    EXPECT_EQ(DllCanUnloadNow(), VORNIK_S_FALSE);
    factory->lock_server(0);
    EXPECT_EQ(DllCanUnloadNow(), VORNIK_S_OK);
}

TEST(ControlAbi, RegistersSystemWideAndPerUser)
{
    PrivateRegistry scope;
    std::string error;
    ASSERT_EQ(DllRegisterServer(), VORNIK_S_OK) << lastError().description;
    auto found = registry::resolve(VORNIK_PROGID_LEGACY, error);
    ASSERT_TRUE(found) << error;
    EXPECT_EQ(found->registryFile, scope.root() / "system" / "inproc-servers" / "classes.reg");
    EXPECT_EQ(found->module.filename(), "libvornik220.so.2");
    ASSERT_EQ(DllInstall(1, "user"), VORNIK_S_OK);
    EXPECT_EQ(registry::resolve(VORNIK_PROGID, error)->registryFile,
              scope.root() / "user" / "inproc-servers" / "classes.reg");
    ASSERT_EQ(DllInstall(0, "user"), VORNIK_S_OK);
    ASSERT_EQ(DllUnregisterServer(), VORNIK_S_OK);
    EXPECT_FALSE(registry::resolve(VORNIK_PROGID, error));
}

TEST(ControlAbi, RegistrationThatCannotWriteSaysWhy)
{
    TempDir dir;
    const auto blocker = dir.path() / "file";
    std::ofstream(blocker) << "not a folder";
    ::setenv("XDG_DATA_HOME", blocker.c_str(), 1);
    EXPECT_EQ(DllInstall(1, "user"), VORNIK_SELFREG_E_CLASS);
    EXPECT_EQ(lastError().description.rfind("cannot create " + (blocker / "inproc-servers").string() + ": ", 0), 0u)
        << lastError().description;
}

TEST(ControlAbi, VariantsOwnTheirBuffers)
{
    vornik_variant v;
    vornik_variant_init(&v);
    ASSERT_EQ(vornik_variant_set_string(&v, "a\0b", 3), VORNIK_S_OK);
    EXPECT_EQ(std::string(v.data, v.len), std::string("a\0b", 3));
    EXPECT_EQ(v.data[3], '\0');
    ASSERT_EQ(vornik_variant_set_bytes(&v, "\xFF\x00", 2), VORNIK_S_OK);
    EXPECT_EQ(v.type, VORNIK_VT_BYTES);
    vornik_variant_set_bool(&v, 5);
    EXPECT_EQ(v.i, -1);
    EXPECT_EQ(v.data, nullptr);
    vornik_variant_clear(&v);
    EXPECT_EQ(v.type, VORNIK_VT_EMPTY);
}

} // namespace
} // namespace vornik::test
