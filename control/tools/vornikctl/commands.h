// The commands of vornikctl and their help.
#pragma once

#include "ctl_host.h"

#include <string>
#include <vector>

namespace vornikctl {

struct CommandInfo {
    const char* name;
    int argCount;
    const char* usage;
    const char* help;
};

const std::vector<CommandInfo>& Commands();
const CommandInfo* FindCommand(const std::string& name);

// Runs one command; false (with a message on err) when it failed.
bool RunCommand(CtlHost& host, const CommandInfo& command, const std::vector<std::string>& args, std::FILE* out,
                std::FILE* err);

// "hex:0A00FF" -> bytes; anything else -> the text itself.
bool ParseValue(const std::string& text, Arg& out, std::string& error);

} // namespace vornikctl
