// Calling the control from a C++ host through its C interface: arguments
// built as variants, results freed, failures turned into the error record
// the control left. Works on the entry points of a loaded module (Api), so
// a host that binds late stays late-bound. Header-only.
#pragma once

#include "vornik_loader.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace vornik::host {

// Variants that only point at the caller's data; the caller keeps it alive
// for the call.
inline vornik_variant TextArg(const std::string& utf8)
{
    vornik_variant v{};
    v.type = VORNIK_VT_STR;
    v.data = const_cast<char*>(utf8.data()); // only read by the control
    v.len = static_cast<std::uint32_t>(utf8.size());
    return v;
}

inline vornik_variant BytesArg(const std::string& bytes)
{
    vornik_variant v = TextArg(bytes);
    v.type = VORNIK_VT_BYTES;
    return v;
}

inline vornik_variant ShortArg(std::int16_t value)
{
    vornik_variant v{};
    v.type = VORNIK_VT_I2;
    v.i = value;
    return v;
}

inline vornik_variant BoolArg(bool value)
{
    vornik_variant v{};
    v.type = VORNIK_VT_BOOL;
    v.i = value ? -1 : 0;
    return v;
}

inline std::string VariantText(const vornik_variant& v) { return v.data ? std::string(v.data, v.len) : std::string(); }

// The arguments of one call, owning their strings. A copy points its
// variants at its own strings, so it outlives the arguments it came from.
class Args {
public:
    Args() = default;
    Args(const Args& other)
        : texts_(other.texts_)
        , variants_(other.variants_)
    {
        Repoint();
    }
    Args(Args&& other) noexcept
        : texts_(std::move(other.texts_))
        , variants_(std::move(other.variants_))
    {
        Repoint();
    }
    Args& operator=(Args other) noexcept
    {
        texts_.swap(other.texts_);
        variants_.swap(other.variants_);
        Repoint();
        return *this;
    }
    ~Args() = default;

    Args& Text(std::string utf8)
    {
        texts_.push_back(std::move(utf8));
        variants_.push_back(TextArg(texts_.back()));
        return *this;
    }
    Args& Bytes(std::string bytes)
    {
        texts_.push_back(std::move(bytes));
        variants_.push_back(BytesArg(texts_.back()));
        return *this;
    }
    Args& Short(std::int16_t value)
    {
        variants_.push_back(ShortArg(value));
        return *this;
    }
    Args& Bool(bool value)
    {
        variants_.push_back(BoolArg(value));
        return *this;
    }
    const vornik_variant* Data() const { return variants_.data(); }
    std::int32_t Count() const { return static_cast<std::int32_t>(variants_.size()); }

private:
    // The n-th text or byte variant carries the n-th string.
    void Repoint()
    {
        std::size_t next = 0;
        for (vornik_variant& v : variants_)
            if ((v.type == VORNIK_VT_STR || v.type == VORNIK_VT_BYTES) && next < texts_.size()) {
                v.data = const_cast<char*>(texts_[next].data());
                v.len = static_cast<std::uint32_t>(texts_[next].size());
                ++next;
            }
    }

    std::deque<std::string> texts_; // deque: the variants point into its elements
    std::vector<vornik_variant> variants_;
};

// A variant the control filled; freed with the module's own clear.
class Result {
public:
    explicit Result(const Api& api)
        : api_(&api)
    {
    }
    ~Result() { Clear(); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    void Clear()
    {
        if (api_->variantClear)
            api_->variantClear(&v);
        v = vornik_variant{};
    }
    std::int32_t Type() const { return v.type; }
    std::string Text() const { return VariantText(v); }
    std::int32_t Number() const { return v.i; }

    vornik_variant v{};

private:
    const Api* api_;
};

// What a failed call left, as a late-bound caller sees it.
struct Error {
    vornik_hresult hresult = VORNIK_S_OK;
    std::int32_t number = 0;
    std::string description;
    std::string source;
    std::int32_t helpContext = 0;

    // "description (number)".
    std::string Text() const { return description + " (" + std::to_string(number) + ")"; }
};

// The error record of the last failed call on this thread, copied before
// the next call into the module can replace it. A failure that left no
// record still gets a description.
inline Error LastError(const Api& api, vornik_hresult failed)
{
    vornik_error_info info{};
    if (api.getErrorInfo && api.getErrorInfo(&info) == VORNIK_S_OK) {
        return {info.hresult, info.number, info.description ? info.description : "", info.source ? info.source : "",
                info.help_context};
    }
    char text[48];
    std::snprintf(text, sizeof text, "Call failed with 0x%08X.", static_cast<unsigned>(failed));
    return {failed, failed, text, {}, 0};
}

// One control of a loaded module, called by dispatch id.
class Caller {
public:
    Caller(const Api& api, vornik_control* control)
        : api_(&api)
        , control_(control)
    {
    }

    const Api& api() const { return *api_; }
    vornik_control* control() const { return control_; }

    // Calls the member; on failure `error` (when given) holds the record.
    // `result` (when given) is freed first and filled on success.
    vornik_hresult Invoke(std::int32_t dispid, std::int32_t kind, const vornik_variant* args, std::int32_t count,
                          Result* result = nullptr, Error* error = nullptr) const
    {
        if (result)
            result->Clear();
        if (!control_ || !api_->invoke) {
            if (error)
                *error = {VORNIK_E_POINTER, VORNIK_E_POINTER, "No control.", {}, 0};
            return VORNIK_E_POINTER;
        }
        const vornik_hresult hr = api_->invoke(control_, dispid, kind, args, count, result ? &result->v : nullptr);
        if (hr != VORNIK_S_OK && error)
            *error = LastError(*api_, hr);
        return hr;
    }

    bool Call(std::int32_t dispid, const Args& args, Result* result = nullptr, Error* error = nullptr) const
    {
        return Invoke(dispid, VORNIK_INVOKE_METHOD, args.Data(), args.Count(), result, error) == VORNIK_S_OK;
    }
    bool Get(std::int32_t dispid, const Args& args, Result& result, Error* error = nullptr) const
    {
        return Invoke(dispid, VORNIK_INVOKE_PROPERTYGET, args.Data(), args.Count(), &result, error) == VORNIK_S_OK;
    }
    bool Put(std::int32_t dispid, const Args& args, Error* error = nullptr) const
    {
        return Invoke(dispid, VORNIK_INVOKE_PROPERTYPUT, args.Data(), args.Count(), nullptr, error) == VORNIK_S_OK;
    }

private:
    const Api* api_;
    vornik_control* control_;
};

} // namespace vornik::host
