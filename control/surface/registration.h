// Writes and removes the control's entries in a class registry file.
#pragma once

#include <filesystem>
#include <string>

namespace vornik::surface {

enum class RegistrationScope { User, System };

std::filesystem::path RegistryFileFor(RegistrationScope scope);

// The path of this module as the loader found it, made absolute.
std::filesystem::path ModulePath();

bool RegisterControl(RegistrationScope scope, const std::filesystem::path& module, std::string& error);
bool UnregisterControl(RegistrationScope scope, std::string& error);

} // namespace vornik::surface
