// The members and events of the control's dispatch interface: dispatch ids,
// parameter order and types, access and help contexts. Hosts bind to these
// numbers late, so they never change.
#pragma once

#include "vornik_events.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace vornik::surface {

enum class ArgType {
    None,  // no result
    Text,  // string, converted up to its first zero
    Bytes, // string carrying a byte value, converted over its full length
    Short,
    Long, // 32-bit: indexes and ValueFormats
    Bool,
    ByteArray,
    Any, // OnStartPage's object argument: accepted and ignored
};

enum class MemberKind { Property, Method };

struct ParamInfo {
    const char* name;
    ArgType type;
};

struct MemberInfo {
    std::int32_t dispid;
    const char* name;
    MemberKind kind;
    ArgType type;          // property type or method result
    const char* indexName; // indexed properties only
    bool readOnly;
    std::int32_t helpContext;
    std::span<const ParamInfo> params; // methods only
};

// Events come from the public table hosts read too.
using EventInfo = vornik::EventInfo;

// How the surface converts an event argument of this type.
constexpr ArgType EventArgConversion(EventArgType type)
{
    switch (type) {
    case EventArgType::Text:
        return ArgType::Text;
    case EventArgType::Bytes:
        return ArgType::Bytes;
    case EventArgType::Short:
        return ArgType::Short;
    case EventArgType::Bool:
        return ArgType::Bool;
    }
    return ArgType::Text;
}

std::span<const MemberInfo> Members();
std::span<const EventInfo> Events();

const MemberInfo* FindMember(std::int32_t dispid);
const EventInfo* FindEvent(std::int32_t dispid);
// Member or event by name, ignoring case; null when unknown.
const MemberInfo* FindMemberByName(std::string_view name);
const EventInfo* FindEventByName(std::string_view name);

} // namespace vornik::surface
