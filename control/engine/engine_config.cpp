// Config: reading and setting the engine's and the common layer's settings.
#include <array>
#include <cctype>

#include "ble_engine.h"
#include "config_request.h"
#include "errors.h"
#include "scan_state.h"

namespace vornik {

namespace {

enum class Kind { Bool, Int, Text };

struct BoolSetting {
    std::string_view name;
    bool EngineSettings::*field;
};

struct IntSetting {
    std::string_view name;
    int EngineSettings::*field;
};

struct StoredSetting {
    std::string_view name;
    Kind kind;
};

// UseWindowsMessages is handled on its own: it may be locked.
constexpr std::string_view kUseWindowsMessages = "UseWindowsMessages";
constexpr std::string_view kGattObjTreeInfo = "GattObjTreeInfo";
constexpr std::string_view kLastError = "LastError";

constexpr std::array<BoolSetting, 6> kBoolSettings = {{
    {"AutoDiscoverCharacteristics", &EngineSettings::autoDiscoverCharacteristics},
    {"AutoDiscoverDescriptors", &EngineSettings::autoDiscoverDescriptors},
    {"AutoDiscoverIncludedServices", &EngineSettings::autoDiscoverIncludedServices},
    {"IncludeRediscovered", &EngineSettings::includeRediscovered},
    {"PreferIndications", &EngineSettings::preferIndications},
    {"QueryAdditionalDeviceInfo", &EngineSettings::queryAdditionalDeviceInfo},
}};

constexpr std::array<IntSetting, 4> kIntSettings = {{
    {"LogLevel", &EngineSettings::logLevel},
    {"ScanStartedTimeout", &EngineSettings::scanStartedTimeout},
    {"CodePage", &EngineSettings::codePage},
    {"SelectWaitMillis", &EngineSettings::selectWaitMillis},
}};

// Only readable inside the Advertisement event.
constexpr std::array<std::string_view, 5> kAdvertisementSettings = {
    "ManufacturerDataCount", "ManufacturerCompanyId", "ManufacturerData", "ServiceData", "AdvertisementRawData",
};

// Settings of the common layer that are kept and reported but steer nothing
// here (debug log file, character set, the socket layer).
constexpr std::array<StoredSetting, 37> kStoredSettings = {{
    {"LogDebugFile", Kind::Text},          {"LogDebugOption", Kind::Int},
    {"CharsetMode", Kind::Int},            {"ZeroMemory", Kind::Bool},
    {"AbsoluteTimeout", Kind::Bool},       {"TimeoutInMilliseconds", Kind::Bool},
    {"WinsockStatus", Kind::Text},         {"IgnoreExternalEvents", Kind::Bool},
    {"IgnoreOtherWindowEvents", Kind::Bool}, {"WinsockVersion", Kind::Int},
    {"QOSTrafficType", Kind::Int},         {"QOSDSCPValue", Kind::Int},
    {"UseIOCP", Kind::Bool},               {"SSLProvider", Kind::Text},
    {"SSLCipherStrength", Kind::Int},      {"UseDefaultCredentials", Kind::Bool},
    {"ReuseSSLSession", Kind::Bool},       {"ExtendedProtection", Kind::Int},
    {"UseFIPSCompliantAPI", Kind::Bool},   {"SSLEnabledCipherSuites", Kind::Text},
    {"SSLAlgorithmList", Kind::Text},      {"SSLSecurityFlags", Kind::Int},
    {"SSLIncludeCertChain", Kind::Int},    {"SSLEnabledProtocols", Kind::Int},
    {"SSLEnableRenegotiation", Kind::Bool}, {"UseIPv6", Kind::Int},
    {"UseGetAddrInfo", Kind::Bool},        {"KerberosSPN", Kind::Text},
    {"UseSystemSSPI", Kind::Bool},         {"RecordToFile", Kind::Text},
    {"RecordToString", Kind::Bool},        {"UseInternalSecurityAPI", Kind::Bool},
    {"BTAuthenticate", Kind::Bool},        {"BTEncrypt", Kind::Bool},
    {"BTMTU", Kind::Int},                  {"BTMTUMax", Kind::Int},
    {"BTMTUMin", Kind::Int},
}};

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

template <class Table>
auto FindSetting(const Table& table, std::string_view name) -> decltype(&table[0])
{
    for (const auto& entry : table)
        if (SameName(entry.name, name))
            return &entry;
    return nullptr;
}

bool IsAdvertisementSetting(std::string_view name)
{
    for (std::string_view entry : kAdvertisementSettings)
        if (SameName(entry, name))
            return true;
    return false;
}

std::string DefaultText(Kind kind)
{
    return kind == Kind::Bool ? FormatBoolSetting(false) : kind == Kind::Int ? "0" : "";
}

std::string NormalisedText(Kind kind, const std::string& value)
{
    if (kind == Kind::Bool)
        return FormatBoolSetting(ParseBoolSetting(value));
    if (kind == Kind::Int)
        return std::to_string(ParseIntSetting(value));
    return value;
}

Status Unknown()
{
    return Status::Error(err::kUnknownConfig, std::string(text::kUnknownConfig));
}

}  // namespace

int BleEngine::Config(const std::string& request, std::string& reply)
{
    reply.clear();
    const ConfigRequest parsed = ParseConfigRequest(request);
    if (parsed.query)
        return Done(QueryConfig(parsed, reply));
    return Done(SetConfig(parsed));
}

Status BleEngine::QueryConfig(const ConfigRequest& request, std::string& reply)
{
    if (auto* entry = FindSetting(kBoolSettings, request.name)) {
        reply = FormatBoolSetting(settings_.*(entry->field));
        return Status::Ok();
    }
    if (auto* entry = FindSetting(kIntSettings, request.name)) {
        reply = std::to_string(settings_.*(entry->field));
        return Status::Ok();
    }
    if (SameName(request.name, kGattObjTreeInfo))
        return BuildTreeText(reply);
    if (IsAdvertisementSetting(request.name)) {
        if (scan_->current == nullptr)
            return AdvertisementOnlyError(request.name);
        return QueryAdvertisementSetting(request, reply);
    }
    if (SameName(request.name, kUseWindowsMessages)) {
        reply = FormatBoolSetting(settings_.useWindowsMessages);
        return Status::Ok();
    }
    if (SameName(request.name, kLastError)) {
        reply = lastError_;
        return Status::Ok();
    }
    if (auto* entry = FindSetting(kStoredSettings, request.name)) {
        auto found = settings_.stored.find(std::string(entry->name));
        reply = found == settings_.stored.end() ? DefaultText(entry->kind) : found->second;
        return Status::Ok();
    }
    return Unknown();
}

Status BleEngine::SetConfig(const ConfigRequest& request)
{
    if (auto* entry = FindSetting(kBoolSettings, request.name)) {
        settings_.*(entry->field) = ParseBoolSetting(request.value);
        return Status::Ok();
    }
    if (auto* entry = FindSetting(kIntSettings, request.name)) {
        settings_.*(entry->field) = ParseIntSetting(request.value);
        return Status::Ok();
    }
    if (SameName(request.name, kUseWindowsMessages)) {
        if (ConnectionInProgress())
            return Status::Error(err::kUseWindowsMessagesLocked, std::string(text::kUseWindowsMessagesLocked));
        settings_.useWindowsMessages = ParseBoolSetting(request.value);
        return Status::Ok();
    }
    if (auto* entry = FindSetting(kStoredSettings, request.name)) {
        settings_.stored[std::string(entry->name)] = NormalisedText(entry->kind, request.value);
        return Status::Ok();
    }
    // Read-only settings fail like unknown names.
    return Unknown();
}

}  // namespace vornik
