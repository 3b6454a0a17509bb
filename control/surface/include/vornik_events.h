// The events of the control, for C++ hosts: dispatch id, name, help context
// and every parameter with its name and type, in the order the sink gets
// them. The control raises its events from this table, so a host that
// checks an event against it (VORNIK_EVENT_* in vornik220.h) knows what it
// receives. Header-only, C++17.
//
// Every argument arrives by reference (see vornik_advise): Text and Bytes
// as VORNIK_VT_STR, Short as VORNIK_VT_I2, Bool as VORNIK_VT_BOOL. A Bytes
// parameter carries a byte value as text through the `CodePage` setting.
#pragma once

#include "vornik220.h"

#include <cstdint>

namespace vornik {

enum class EventArgType : std::int32_t { Text, Bytes, Short, Bool };

// The variant type an argument of this type arrives as.
constexpr std::int32_t VariantTypeOf(EventArgType type)
{
    switch (type) {
    case EventArgType::Short:
        return VORNIK_VT_I2;
    case EventArgType::Bool:
        return VORNIK_VT_BOOL;
    case EventArgType::Text:
    case EventArgType::Bytes:
        break;
    }
    return VORNIK_VT_STR;
}

struct EventParam {
    const char* name;
    EventArgType type;
};

// The parameters of one event, usable in a range-for.
struct EventParams {
    const EventParam* first;
    std::int32_t count;

    constexpr const EventParam* begin() const { return first; }
    constexpr const EventParam* end() const { return first + count; }
    constexpr std::int32_t size() const { return count; }
    constexpr bool empty() const { return count == 0; }
    constexpr const EventParam& operator[](std::int32_t i) const { return first[i]; }
};

struct EventInfo {
    std::int32_t dispid;
    const char* name;
    std::int32_t helpContext;
    EventParams params;
};

namespace event_table {

using T = EventArgType;

inline constexpr EventParam kAdvertisement[] = {{"ServerId", T::Text},
                                                {"Name", T::Text},
                                                {"RSSI", T::Short},
                                                {"TxPower", T::Short},
                                                {"ServiceUuids", T::Text},
                                                {"ServicesWithData", T::Text},
                                                {"SolicitedServiceUuids", T::Text},
                                                {"ManufacturerCompanyId", T::Short},
                                                {"ManufacturerData", T::Bytes},
                                                {"IsConnectable", T::Bool},
                                                {"IsScanResponse", T::Bool}};
inline constexpr EventParam kStatus[] = {{"StatusCode", T::Short}, {"Description", T::Text}};
inline constexpr EventParam kDiscovered[] = {
    {"GattType", T::Short},    {"ServiceId", T::Text}, {"CharacteristicId", T::Text},
    {"DescriptorId", T::Text}, {"Uuid", T::Text},      {"Description", T::Text}};
inline constexpr EventParam kError[] = {{"ErrorCode", T::Short}, {"Description", T::Text}};
inline constexpr EventParam kLog[] = {{"LogLevel", T::Short}, {"Message", T::Text}, {"LogType", T::Text}};
inline constexpr EventParam kServerUpdate[] = {{"Name", T::Text}, {"ChangedServices", T::Text}};
inline constexpr EventParam kStartScan[] = {{"ServiceUuids", T::Text}};
inline constexpr EventParam kStopScan[] = {{"ErrorCode", T::Short}, {"ErrorDescription", T::Text}};
inline constexpr EventParam kSubscribed[] = {
    {"ServiceId", T::Text}, {"CharacteristicId", T::Text}, {"Uuid", T::Text}, {"Description", T::Text}};
inline constexpr EventParam kValue[] = {{"ServiceId", T::Text},    {"CharacteristicId", T::Text},
                                        {"DescriptorId", T::Text}, {"Uuid", T::Text},
                                        {"Description", T::Text},  {"Value", T::Bytes}};
inline constexpr EventParam kWriteResponse[] = {{"ServiceId", T::Text},
                                                {"CharacteristicId", T::Text},
                                                {"DescriptorId", T::Text},
                                                {"Uuid", T::Text},
                                                {"Description", T::Text}};

// Help contexts of the events count from 34000 in dispatch-id order.
template <std::int32_t N>
constexpr EventInfo Event(std::int32_t dispid, const char* name, const EventParam (&params)[N])
{
    return {dispid, name, 34000 + dispid - VORNIK_EVENT_Advertisement, {params, N}};
}

} // namespace event_table

// In dispatch-id order, 1 to 13.
inline constexpr EventInfo kEvents[] = {
    event_table::Event(VORNIK_EVENT_Advertisement, "Advertisement", event_table::kAdvertisement),
    event_table::Event(VORNIK_EVENT_Connected, "Connected", event_table::kStatus),
    event_table::Event(VORNIK_EVENT_Disconnected, "Disconnected", event_table::kStatus),
    event_table::Event(VORNIK_EVENT_Discovered, "Discovered", event_table::kDiscovered),
    event_table::Event(VORNIK_EVENT_Error, "Error", event_table::kError),
    event_table::Event(VORNIK_EVENT_Log, "Log", event_table::kLog),
    event_table::Event(VORNIK_EVENT_ServerUpdate, "ServerUpdate", event_table::kServerUpdate),
    event_table::Event(VORNIK_EVENT_StartScan, "StartScan", event_table::kStartScan),
    event_table::Event(VORNIK_EVENT_StopScan, "StopScan", event_table::kStopScan),
    event_table::Event(VORNIK_EVENT_Subscribed, "Subscribed", event_table::kSubscribed),
    event_table::Event(VORNIK_EVENT_Unsubscribed, "Unsubscribed", event_table::kSubscribed),
    event_table::Event(VORNIK_EVENT_Value, "Value", event_table::kValue),
    event_table::Event(VORNIK_EVENT_WriteResponse, "WriteResponse", event_table::kWriteResponse),
};

// The place of the event with this dispatch id in kEvents; -1 when there
// is none. An index rather than a pointer so that compile-time checks also
// hold in builds whose sanitizers instrument pointer comparisons.
constexpr std::int32_t EventIndexOf(std::int32_t dispid)
{
    std::int32_t index = 0;
    for (const EventInfo& event : kEvents) {
        if (event.dispid == dispid)
            return index;
        ++index;
    }
    return -1;
}

// The event with this dispatch id; null when there is none.
inline const EventInfo* FindEventInfo(std::int32_t dispid)
{
    const std::int32_t index = EventIndexOf(dispid);
    return index < 0 ? nullptr : &kEvents[index];
}

// True when `args` are what the table says the event carries: the count
// and each argument's variant type. A host checks this before it reads
// the arguments.
inline bool EventArgsMatch(const EventInfo& event, const vornik_variant* args, std::int32_t count)
{
    if (count != event.params.size() || (count > 0 && args == nullptr))
        return false;
    for (std::int32_t i = 0; i < count; ++i)
        if (args[i].type != VariantTypeOf(event.params[i].type))
            return false;
    return true;
}

} // namespace vornik
