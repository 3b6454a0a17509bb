#include "sim_module.h"

#include <dlfcn.h>

#include <cstdlib>


namespace vornik::sim {

namespace {

using PopulateFunction = int (*)(SimRadio*);

Status ModuleError(const std::string& path, const std::string& reason)
{
    return Status::Error(err::kNoAdapter, "Simulated peripheral module " + path + ": " + reason);
}

}  // namespace

Status LoadPeripheralModule(SimRadio& radio, const std::string& path)
{
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        return ModuleError(path, reason ? reason : "cannot be loaded");
    }
    auto populate = reinterpret_cast<PopulateFunction>(dlsym(module, kSimPopulateSymbol));
    if (populate == nullptr)
        return ModuleError(path, std::string("has no ") + kSimPopulateSymbol);
    int result = populate(&radio);
    if (result != 0)
        return ModuleError(path, std::string(kSimPopulateSymbol) + " failed with " + std::to_string(result));
    return Status::Ok();
}

Status LoadPeripheralModuleFromEnvironment(SimRadio& radio)
{
    const char* path = std::getenv(kSimModuleVariable);
    if (path == nullptr || *path == '\0')
        return Status::Ok();
    return LoadPeripheralModule(radio, path);
}

}  // namespace vornik::sim
