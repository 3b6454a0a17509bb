#include "value_formats.h"

#include <array>

namespace vornik::surface {
namespace {

struct ValueFormat {
    const char* name;
    const char* help;
};

// The values are the format codes of the Characteristic Presentation Format
// descriptor (0x01 Boolean ... 0x1B struct); 0 means no presentation format.
constexpr std::array<ValueFormat, 28> kValueFormats = {{
    {"vfUndefined", "Undefined"}, {"vfBoolean", "Boolean"},  {"vf2Bit", "2Bit"},          {"vfNibble", "Nibble"},
    {"vfUInt8", "UInt 8"},        {"vfUInt12", "UInt 12"},   {"vfUInt16", "UInt 16"},     {"vfUInt24", "UInt 24"},
    {"vfUInt32", "UInt 32"},      {"vfUInt48", "UInt 48"},   {"vfUInt64", "UInt 64"},     {"vfUInt128", "UInt 128"},
    {"vfSInt8", "SInt 8"},        {"vfSInt12", "SInt 12"},   {"vfSInt16", "SInt 16"},     {"vfSInt24", "SInt 24"},
    {"vfSInt32", "SInt 32"},      {"vfSInt48", "SInt 48"},   {"vfSInt64", "SInt 64"},     {"vfSInt128", "SInt 128"},
    {"vfFloat32", "Float 32"},    {"vfFloat64", "Float 64"}, {"vfSFloat", "SFloat"},      {"vfFloat", "Float"},
    {"vfDUInt16", "DUInt 16"},    {"vfUtf8Str", "Utf 8Str"}, {"vfUtf16Str", "Utf 16Str"}, {"vfStruct", "Struct"},
}};

const ValueFormat* Find(std::int32_t format)
{
    if (format < 0 || format >= static_cast<std::int32_t>(kValueFormats.size()))
        return nullptr;
    return &kValueFormats[static_cast<std::size_t>(format)];
}

} // namespace

const char* ValueFormatName(std::int32_t format)
{
    const auto* entry = Find(format);
    return entry ? entry->name : nullptr;
}

const char* ValueFormatHelp(std::int32_t format)
{
    const auto* entry = Find(format);
    return entry ? entry->help : nullptr;
}

} // namespace vornik::surface
