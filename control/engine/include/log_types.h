// Log levels and the type words of Log events.
#pragma once

#include <string_view>

namespace vornik {

enum class LogLevel { Basic = 1, Detailed = 2, Debug = 3 };

enum class LogType { Connection, Discovery, Read, Write, Subscriptions, Scanning, Debug, Verbose };

constexpr std::string_view LogTypeWord(LogType type)
{
    switch (type) {
    case LogType::Connection: return "Connection";
    case LogType::Discovery: return "Discovery";
    case LogType::Read: return "Read";
    case LogType::Write: return "Write";
    case LogType::Subscriptions: return "Subscriptions";
    case LogType::Scanning: return "Scanning";
    case LogType::Debug: return "Debug";
    case LogType::Verbose: return "Verbose";
    }
    return "";
}

}  // namespace vornik
