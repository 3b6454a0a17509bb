// Writes and removes the control's entries in a class registry file.
#pragma once

#include <filesystem>
#include <string>

namespace vornik::surface {

enum class RegistrationScope { User, System };

std::filesystem::path registryFileFor(RegistrationScope scope);

// The path of this module as the loader found it, made absolute.
std::filesystem::path modulePath();

bool registerControl(RegistrationScope scope, const std::filesystem::path& module, std::string& error);
bool unregisterControl(RegistrationScope scope, std::string& error);

} // namespace vornik::surface
