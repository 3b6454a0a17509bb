#include "argument_conversion.h"

#include "automation_error.h"
#include "code_page.h"

#include <charconv>
#include <limits>
#include <string_view>

namespace vornik::surface {
namespace {

constexpr std::string_view kTrueText = "True";
constexpr std::string_view kFalseText = "False";

ConversionFailure TypeMismatch() { return {VORNIK_DISP_E_TYPEMISMATCH, std::string(kTextTypeMismatch)}; }
ConversionFailure Overflow() { return {VORNIK_DISP_E_OVERFLOW, std::string(kTextOverflow)}; }

std::string_view Payload(const vornik_variant& v)
{
    return v.data ? std::string_view(v.data, v.len) : std::string_view();
}

std::string_view UpToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20))
            return false;
    return true;
}

std::optional<ConversionFailure> ToText(const vornik_variant& in, bool fullLength, int codePage, std::string& out)
{
    switch (in.type) {
    case VORNIK_VT_EMPTY:
        out.clear();
        return std::nullopt;
    case VORNIK_VT_BYTES:
        out = fullLength ? std::string(Payload(in)) : std::string(UpToZero(Payload(in)));
        return std::nullopt;
    case VORNIK_VT_I2:
    case VORNIK_VT_I4:
        out = std::to_string(in.i);
        return std::nullopt;
    case VORNIK_VT_BOOL:
        out = in.i ? kTrueText : kFalseText;
        return std::nullopt;
    case VORNIK_VT_STR: {
        const std::string_view text = fullLength ? Payload(in) : UpToZero(Payload(in));
        Converted converted = ToEngine(text, codePage);
        if (!converted.ok)
            return ConversionFailure{VORNIK_E_INVALIDARG, converted.text};
        out = std::move(converted.text);
        return std::nullopt;
    }
    default:
        return TypeMismatch();
    }
}

// A whole-number string: "12", "-3"; nothing else.
std::optional<std::int64_t> ParseWhole(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<ConversionFailure> ToNumber(const vornik_variant& in, std::int64_t min, std::int64_t max,
                                          std::int32_t& out)
{
    std::int64_t value = 0;
    switch (in.type) {
    case VORNIK_VT_EMPTY:
        value = 0;
        break;
    case VORNIK_VT_I2:
    case VORNIK_VT_I4:
    case VORNIK_VT_BOOL:
        value = in.i;
        break;
    case VORNIK_VT_STR: {
        const auto parsed = ParseWhole(Payload(in));
        if (!parsed)
            return TypeMismatch();
        value = *parsed;
        break;
    }
    default:
        return TypeMismatch();
    }
    if (value < min || value > max)
        return Overflow();
    out = static_cast<std::int32_t>(value);
    return std::nullopt;
}

std::optional<ConversionFailure> ToFlag(const vornik_variant& in, bool& out)
{
    switch (in.type) {
    case VORNIK_VT_EMPTY:
        out = false;
        return std::nullopt;
    case VORNIK_VT_I2:
    case VORNIK_VT_I4:
    case VORNIK_VT_BOOL:
        out = in.i != 0;
        return std::nullopt;
    case VORNIK_VT_STR: {
        const std::string_view text = Payload(in);
        if (EqualsIgnoreCase(text, kTrueText)) {
            out = true;
            return std::nullopt;
        }
        if (EqualsIgnoreCase(text, kFalseText)) {
            out = false;
            return std::nullopt;
        }
        const auto parsed = ParseWhole(text);
        if (!parsed)
            return TypeMismatch();
        out = *parsed != 0;
        return std::nullopt;
    }
    default:
        return TypeMismatch();
    }
}

std::optional<ConversionFailure> OutOfMemoryIfFailed(vornik_hresult hr)
{
    if (hr == VORNIK_S_OK)
        return std::nullopt;
    return ConversionFailure{VORNIK_CTL_E_OUTOFMEMORY, std::string(kTextOutOfMemory)};
}

} // namespace

std::optional<ConversionFailure> ToEngineValue(const vornik_variant& in, ArgType type, int codePage, EngineValue& out)
{
    switch (type) {
    case ArgType::Text:
        return ToText(in, false, codePage, out.text);
    case ArgType::Bytes:
        return ToText(in, true, codePage, out.text);
    case ArgType::Short:
        return ToNumber(in, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(),
                        out.number);
    case ArgType::Long:
        return ToNumber(in, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                        out.number);
    case ArgType::Bool:
        return ToFlag(in, out.flag);
    case ArgType::ByteArray:
        if (in.type != VORNIK_VT_BYTES)
            return TypeMismatch();
        out.text = std::string(Payload(in));
        return std::nullopt;
    case ArgType::Any:
    case ArgType::None:
        return std::nullopt;
    }
    return TypeMismatch();
}

std::optional<ConversionFailure> ToVariant(const EngineValue& in, ArgType type, int codePage, vornik_variant& out)
{
    out = vornik_variant{}; // an output: whatever it held is not ours to free
    switch (type) {
    case ArgType::Text:
    case ArgType::Bytes: {
        const std::string_view bytes = type == ArgType::Text ? UpToZero(in.text) : std::string_view(in.text);
        Converted converted = FromEngine(bytes, codePage);
        if (!converted.ok)
            return ConversionFailure{VORNIK_E_INVALIDARG, converted.text};
        return OutOfMemoryIfFailed(
            vornik_variant_set_string(&out, converted.text.data(), static_cast<std::uint32_t>(converted.text.size())));
    }
    case ArgType::ByteArray:
        return OutOfMemoryIfFailed(
            vornik_variant_set_bytes(&out, in.text.data(), static_cast<std::uint32_t>(in.text.size())));
    case ArgType::Short:
        vornik_variant_set_i2(&out, static_cast<std::int16_t>(in.number));
        return std::nullopt;
    case ArgType::Long:
        vornik_variant_set_i4(&out, in.number);
        return std::nullopt;
    case ArgType::Bool:
        vornik_variant_set_bool(&out, in.flag);
        return std::nullopt;
    case ArgType::Any:
    case ArgType::None:
        return std::nullopt;
    }
    return TypeMismatch();
}

} // namespace vornik::surface
