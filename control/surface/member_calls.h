// Calls the engine member behind a dispatch id.
#pragma once

#include "argument_conversion.h"
#include "dispatch_table.h"

#include <limits>
#include <vector>

namespace vornik {
class BleEngine;
}

namespace vornik::surface {

// Returned for a dispatch id with no engine member behind it.
inline constexpr int kNotAnEngineMember = std::numeric_limits<int>::min();

// Reads or writes a property. For indexed properties args[0] is the index;
// a put's new value is the last argument. Returns the engine's code.
int GetProperty(BleEngine& engine, const MemberInfo& member, const std::vector<EngineValue>& args, EngineValue& out);
int PutProperty(BleEngine& engine, const MemberInfo& member, const std::vector<EngineValue>& args);

// Calls a method with its arguments in parameter order.
int CallMethod(BleEngine& engine, const MemberInfo& member, const std::vector<EngineValue>& args, EngineValue& out);

// Size of the array an index of this name addresses.
int CountFor(BleEngine& engine, const char* indexName, int& count);

} // namespace vornik::surface
