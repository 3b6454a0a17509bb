// Variant helpers of the C interface. Buffers are malloc'ed so a host in any
// language frees them through vornik_variant_clear only.
#include "vornik220.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

vornik_hresult SetBuffer(vornik_variant* v, std::int32_t type, const void* bytes, std::uint32_t len)
{
    if (!v || (!bytes && len != 0))
        return VORNIK_E_POINTER;
    // One extra NUL so a string is also a C string.
    auto* copy = static_cast<char*>(std::malloc(static_cast<std::size_t>(len) + 1));
    if (!copy)
        return VORNIK_CTL_E_OUTOFMEMORY;
    if (len != 0)
        std::memcpy(copy, bytes, len);
    copy[len] = '\0';
    vornik_variant_clear(v);
    v->type = type;
    v->data = copy;
    v->len = len;
    return VORNIK_S_OK;
}

} // namespace

extern "C" {

void vornik_variant_init(vornik_variant* v)
{
    if (v)
        *v = vornik_variant{};
}

void vornik_variant_clear(vornik_variant* v)
{
    if (!v)
        return;
    std::free(v->data);
    *v = vornik_variant{};
}

vornik_hresult vornik_variant_set_string(vornik_variant* v, const char* utf8, std::uint32_t len)
{
    return SetBuffer(v, VORNIK_VT_STR, utf8, len);
}

vornik_hresult vornik_variant_set_bytes(vornik_variant* v, const void* bytes, std::uint32_t len)
{
    return SetBuffer(v, VORNIK_VT_BYTES, bytes, len);
}

void vornik_variant_set_i2(vornik_variant* v, std::int16_t value)
{
    if (!v)
        return;
    vornik_variant_clear(v);
    v->type = VORNIK_VT_I2;
    v->i = value;
}

void vornik_variant_set_i4(vornik_variant* v, std::int32_t value)
{
    if (!v)
        return;
    vornik_variant_clear(v);
    v->type = VORNIK_VT_I4;
    v->i = value;
}

void vornik_variant_set_bool(vornik_variant* v, int value)
{
    if (!v)
        return;
    vornik_variant_clear(v);
    v->type = VORNIK_VT_BOOL;
    v->i = value ? -1 : 0;
}

} // extern "C"
