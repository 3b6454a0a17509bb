// Parsing of Config strings and of setting values.
#pragma once

#include <string>
#include <string_view>

namespace vornik {

struct ConfigRequest {
    std::string name;       // trimmed
    std::string indexText;  // the text in brackets, trimmed; empty when absent
    bool hasIndex = false;
    int index = -1;         // -1 when absent or not a number
    std::string value;
    bool query = true;      // no "=" in the string
};

// "AutoDiscoverDescriptors = true", "ManufacturerData[1]", "LogDebugFile=\"a b\"".
ConfigRequest ParseConfigRequest(std::string_view text);

// "TRUE", "yes" or "1" in any case; anything else is false.
bool ParseBoolSetting(std::string_view value);
std::string FormatBoolSetting(bool value);
// "TRUE"/"yes" 1, "FALSE"/"no" 0, "0x" hex, else decimal (leading digits;
// none gives 0). Clamped to the int range.
int ParseIntSetting(std::string_view value);

}  // namespace vornik
