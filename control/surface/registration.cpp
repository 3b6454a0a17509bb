#include "registration.h"

#include "vornik220.h"
#include "vornik_registry.h"

#include <dlfcn.h>

#include <algorithm>

#include <string_view>

namespace vornik::surface {
namespace {

constexpr std::string_view kDisplayName = "Vornik Class";
constexpr std::string_view kTypeLibName = "VORNIKLib";
constexpr std::string_view kTypeLibVersion = "1.0";
constexpr std::string_view kThreadingModel = "Apartment";
constexpr std::string_view kToolboxBitmapResource = ", 101";
constexpr std::string_view kMiscStatus = "0";
constexpr std::string_view kMiscStatusContent = "132497";
constexpr std::string_view kTypeLibFlags = "2"; // a library holding a control
constexpr std::string_view kPlatformKey = "linux64";

const std::string kClsidKey = std::string("CLSID\\") + VORNIK_CLSID;
const std::string kTypeLibKey = std::string("TypeLib\\") + VORNIK_LIBID;
const std::string kInterfaceKey = std::string("Interface\\") + VORNIK_IID_IVORNIK;
const std::string kEventsKey = std::string("Interface\\") + VORNIK_IID_EVENTS;
constexpr const char* kProgIds[] = {VORNIK_PROGID, VORNIK_PROGID_INDEPENDENT, VORNIK_PROGID_LEGACY};

void RemoveEntries(registry::Hive& hive)
{
    hive.removeTree(kClsidKey);
    hive.removeTree(kTypeLibKey);
    hive.removeTree(kInterfaceKey);
    hive.removeTree(kEventsKey);
    for (const char* progId : kProgIds)
        hive.removeTree(progId);
}

void WriteClassKeys(registry::Hive& hive, const std::string& module)
{
    hive.set(kClsidKey, "@", kDisplayName);
    hive.set(kClsidKey + "\\ProgID", "@", VORNIK_PROGID);
    hive.set(kClsidKey + "\\VersionIndependentProgID", "@", VORNIK_PROGID_INDEPENDENT);
    hive.set(kClsidKey + "\\InprocServer32", "@", module);
    hive.set(kClsidKey + "\\InprocServer32", "ThreadingModel", kThreadingModel);
    hive.ensure(kClsidKey + "\\Programmable");
    hive.ensure(kClsidKey + "\\Control");
    hive.ensure(kClsidKey + "\\Insertable");
    hive.set(kClsidKey + "\\ToolboxBitmap32", "@", module + std::string(kToolboxBitmapResource));
    hive.set(kClsidKey + "\\MiscStatus", "@", kMiscStatus);
    hive.set(kClsidKey + "\\MiscStatus\\1", "@", kMiscStatusContent);
    hive.set(kClsidKey + "\\TypeLib", "@", VORNIK_LIBID);
    hive.set(kClsidKey + "\\Version", "@", kTypeLibVersion);
}

void WriteProgIds(registry::Hive& hive)
{
    for (const char* progId : kProgIds) {
        const std::string key(progId);
        hive.set(key, "@", kDisplayName);
        hive.set(key + "\\CLSID", "@", VORNIK_CLSID);
        if (key != VORNIK_PROGID)
            hive.set(key + "\\CurVer", "@", VORNIK_PROGID);
    }
}

void WriteTypeLibrary(registry::Hive& hive, const std::filesystem::path& module)
{
    const std::string versionKey = kTypeLibKey + "\\" + std::string(kTypeLibVersion);
    hive.set(versionKey, "@", kTypeLibName);
    hive.set(versionKey + "\\0\\" + std::string(kPlatformKey), "@", module.string());
    hive.set(versionKey + "\\FLAGS", "@", kTypeLibFlags);
    hive.set(versionKey + "\\HELPDIR", "@", module.parent_path().string());
    for (const auto& [key, name] : {std::pair{kInterfaceKey, "IVornik"}, std::pair{kEventsKey, "_IVornikEvents"}}) {
        hive.set(key, "@", name);
        hive.set(key + "\\TypeLib", "@", VORNIK_LIBID);
        hive.set(key + "\\TypeLib", "Version", kTypeLibVersion);
    }
}

// Any function of this module tells the loader which file it came from.
void ModuleAnchor() { }

} // namespace

std::filesystem::path RegistryFileFor(RegistrationScope scope)
{
    return scope == RegistrationScope::User ? registry::userRegistryFile() : registry::systemRegistryFile();
}

std::filesystem::path ModulePath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleAnchor), &info) == 0 || !info.dli_fname)
        return {};
    std::error_code ec;
    const auto path = std::filesystem::absolute(info.dli_fname, ec);
    return ec ? std::filesystem::path(info.dli_fname) : path.lexically_normal();
}

bool RegisterControl(RegistrationScope scope, const std::filesystem::path& module, std::string& error)
{
    if (module.empty()) {
        error = "The path of the control's module is unknown.";
        return false;
    }
    // Every registry entry is one line: a control character in the path
    // would break the file for every class in it.
    const std::string text = module.string();
    if (std::any_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
        error = "The module path \"" + text +
                "\" holds a line break or another control character; "
                "the control cannot be registered from there.";
        return false;
    }
    const auto file = RegistryFileFor(scope);
    registry::Hive hive;
    if (!registry::loadHive(file, hive, error))
        return false;
    RemoveEntries(hive);
    WriteClassKeys(hive, module.string());
    WriteProgIds(hive);
    WriteTypeLibrary(hive, module);
    return registry::saveHive(file, hive, error);
}

bool UnregisterControl(RegistrationScope scope, std::string& error)
{
    const auto file = RegistryFileFor(scope);
    registry::Hive hive;
    if (!registry::loadHive(file, hive, error))
        return false;
    RemoveEntries(hive);
    return registry::saveHive(file, hive, error);
}

} // namespace vornik::surface
