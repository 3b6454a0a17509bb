#include "commands.h"

#include <cctype>
#include <cstdlib>

namespace vornikctl {
namespace {

constexpr std::string_view kHexPrefix = "hex:";
constexpr double kMaxSeconds = 3600.0;

const std::vector<CommandInfo> kCommands = {
    {"scan", 1, "scan SECONDS", "Scan for advertisements for SECONDS and print each one."},
    {"connect", 1, "connect SERVERID", "Connect to the server with this Id (twelve hex digits of its address)."},
    {"disconnect", 0, "disconnect", "Disconnect from the server."},
    {"discover", 0, "discover", "Discover every service, characteristic and descriptor of the server."},
    {"tree", 0, "tree", "Print the discovered object tree (GattObjTreeInfo)."},
    {"read", 2, "read SERVICEID CHARID", "Read a characteristic's value from the server."},
    {"read-descriptor", 3, "read-descriptor SERVICEID CHARID DESCID", "Read a descriptor's value from the server."},
    {"write", 3, "write SERVICEID CHARID VALUE", "Write a characteristic's value and wait for the response."},
    {"write-descriptor", 4, "write-descriptor SERVICEID CHARID DESCID VALUE", "Write a descriptor's value."},
    {"post", 3, "post SERVICEID CHARID VALUE", "Write a characteristic's value without response."},
    {"subscribe", 3, "subscribe SERVICEID CHARID SECONDS",
     "Subscribe to a characteristic and print its values as they arrive for SECONDS."},
    {"unsubscribe", 2, "unsubscribe SERVICEID CHARID", "End a subscription."},
    {"wait", 1, "wait SECONDS", "Print events as they arrive for SECONDS."},
    {"config", 1, "config SETTING[=VALUE]", "Set a Config setting, or query it and print its value."},
    {"get", 1, "get PROPERTY[(INDEX)]", "Print a property, e.g. ServerName or CharacteristicId(1)."},
    {"set", 2, "set PROPERTY[(INDEX)] VALUE", "Set a property, e.g. Service 000600000000 or Timeout 5."},
};

bool ParseSeconds(const std::string& text, double& out, std::string& error)
{
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(out >= 0.0) || out > kMaxSeconds) {
        error = "\"" + text + "\" is not a number of seconds from 0 to 3600.";
        return false;
    }
    return true;
}

bool Check(const CallResult& result, const CommandInfo& command, std::FILE* err)
{
    if (!result.ok)
        std::fprintf(err, "vornikctl: %s: %s\n", command.name, result.error.c_str());
    return result.ok;
}

bool ValueCommand(CtlHost& host, const CommandInfo& command, std::int32_t dispid, std::vector<Arg> ids,
                  const std::string& valueText, std::FILE* err)
{
    Arg value;
    std::string error;
    if (!ParseValue(valueText, value, error)) {
        std::fprintf(err, "vornikctl: %s: %s\n", command.name, error.c_str());
        return false;
    }
    ids.push_back(value);
    return Check(host.Call(dispid, ids), command, err);
}

// "CharacteristicId(1)" -> name and index argument.
bool ParseProperty(CtlHost& host, const std::string& text, std::int32_t& dispid, std::vector<Arg>& args,
                   std::string& error)
{
    std::string name = text;
    const auto open = text.find('(');
    if (open != std::string::npos) {
        char* end = nullptr;
        const std::string index = text.substr(open + 1);
        const long value = std::strtol(index.c_str(), &end, 10);
        if (index.empty() || end == index.c_str() || std::string(end) != ")") {
            error = "\"" + text + "\" needs a whole number in brackets.";
            return false;
        }
        name = text.substr(0, open);
        args.push_back(Arg::ShortValue(static_cast<int>(value)));
    }
    if (!host.Dispid(name, dispid)) {
        error = "\"" + name + "\" is no property of the control.";
        return false;
    }
    return true;
}

std::string FormatResult(const CallResult& result)
{
    switch (result.type) {
    case VORNIK_VT_STR:
        return "\"" + Printable(result.text) + "\"";
    case VORNIK_VT_BYTES:
        return "hex:" + HexOf(result.text);
    case VORNIK_VT_BOOL:
        return result.number ? "True" : "False";
    case VORNIK_VT_EMPTY:
        return "(empty)";
    default:
        return std::to_string(result.number);
    }
}

bool PropertyCommand(CtlHost& host, const CommandInfo& c, const std::vector<std::string>& a, std::FILE* out,
                     std::FILE* err)
{
    std::int32_t dispid = 0;
    std::vector<Arg> args;
    std::string error;
    if (!ParseProperty(host, a[0], dispid, args, error)) {
        std::fprintf(err, "vornikctl: %s: %s\n", c.name, error.c_str());
        return false;
    }
    if (a.size() == 1) {
        const CallResult result = host.Get(dispid, args);
        if (!Check(result, c, err))
            return false;
        std::fprintf(out, "%s = %s\n", a[0].c_str(), FormatResult(result).c_str());
        return true;
    }
    Arg value;
    if (!ParseValue(a[1], value, error)) {
        std::fprintf(err, "vornikctl: %s: %s\n", c.name, error.c_str());
        return false;
    }
    args.push_back(value); // text is turned into a number or a flag by the control
    return Check(host.Put(dispid, args), c, err);
}

} // namespace

const std::vector<CommandInfo>& Commands() { return kCommands; }

const CommandInfo* FindCommand(const std::string& name)
{
    for (const auto& command : kCommands)
        if (name == command.name)
            return &command;
    return nullptr;
}

bool ParseValue(const std::string& text, Arg& out, std::string& error)
{
    if (text.rfind(kHexPrefix, 0) != 0) {
        out = Arg::Text(text);
        return true;
    }
    const std::string digits = text.substr(kHexPrefix.size());
    if (digits.size() % 2 != 0) {
        error = "\"" + text + "\" needs two hex digits per byte.";
        return false;
    }
    std::string bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(digits[i])) ||
            !std::isxdigit(static_cast<unsigned char>(digits[i + 1]))) {
            error = "\"" + text + "\" holds a character that is no hex digit.";
            return false;
        }
        bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
    }
    out = Arg::Bytes(bytes);
    return true;
}

bool RunCommand(CtlHost& host, const CommandInfo& c, const std::vector<std::string>& a, std::FILE* out, std::FILE* err)
{
    const std::string name = c.name;
    double seconds = 0;
    std::string error;
    if ((name == "scan" || name == "wait" || name == "subscribe") && !ParseSeconds(a.back(), seconds, error)) {
        std::fprintf(err, "vornikctl: %s: %s\n", c.name, error.c_str());
        return false;
    }
    if (name == "scan") {
        if (!Check(host.Call(VORNIK_DISPID_StartScanning, {Arg::Text("")}), c, err))
            return false;
        host.PumpFor(seconds);
        return Check(host.Call(VORNIK_DISPID_StopScanning, {}), c, err);
    }
    if (name == "connect")
        return Check(host.Call(VORNIK_DISPID_Connect, {Arg::Text(a[0])}), c, err);
    if (name == "disconnect")
        return Check(host.Call(VORNIK_DISPID_Disconnect, {}), c, err);
    if (name == "discover")
        return Check(host.Call(VORNIK_DISPID_Discover, {Arg::Text(""), Arg::Text(""), Arg::Flag(true), Arg::Text("")}),
                     c, err);
    if (name == "tree" || name == "config") {
        const CallResult result =
            host.Call(VORNIK_DISPID_Config, {Arg::Text(name == "tree" ? "GattObjTreeInfo" : a[0])});
        if (!Check(result, c, err))
            return false;
        if (!result.text.empty())
            std::fprintf(out, "%s%s", result.text.c_str(), result.text.back() == '\n' ? "" : "\n");
        return true;
    }
    if (name == "read" || name == "read-descriptor") {
        const CallResult result =
            host.Call(VORNIK_DISPID_ReadValue, {Arg::Text(a[0]), Arg::Text(a[1]), Arg::Text(a.size() > 2 ? a[2] : "")});
        if (!Check(result, c, err))
            return false;
        std::fprintf(out, "ReadValue \"%s\"\n", Printable(result.text).c_str());
        return true;
    }
    if (name == "write")
        return ValueCommand(host, c, VORNIK_DISPID_WriteValue, {Arg::Text(a[0]), Arg::Text(a[1]), Arg::Text("")}, a[2],
                            err);
    if (name == "write-descriptor")
        return ValueCommand(host, c, VORNIK_DISPID_WriteValue, {Arg::Text(a[0]), Arg::Text(a[1]), Arg::Text(a[2])},
                            a[3], err);
    if (name == "post")
        return ValueCommand(host, c, VORNIK_DISPID_PostValue, {Arg::Text(a[0]), Arg::Text(a[1])}, a[2], err);
    if (name == "subscribe") {
        if (!Check(host.Call(VORNIK_DISPID_Subscribe, {Arg::Text(a[0]), Arg::Text(a[1])}), c, err))
            return false;
        host.PumpFor(seconds);
        return true;
    }
    if (name == "unsubscribe")
        return Check(host.Call(VORNIK_DISPID_Unsubscribe, {Arg::Text(a[0]), Arg::Text(a[1])}), c, err);
    if (name == "get" || name == "set")
        return PropertyCommand(host, c, a, out, err);
    if (name == "wait") {
        host.PumpFor(seconds);
        return true;
    }
    std::fprintf(err, "vornikctl: %s: not handled\n", c.name);
    return false;
}

} // namespace vornikctl
