// What every fuzz target shares: taking the fuzzer's bytes apart into
// choices and texts, and a check that stops the run with a message.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace qc::fuzz {

// Takes choices from the front of the input; the rest is the text under test.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {
    }

    // The next byte, 0 once the input is used up.
    std::uint8_t Byte()
    {
        if (at_ >= size_)
            return 0;
        return data_[at_++];
    }

    // Up to `length` bytes, as they are.
    std::string_view Bytes(std::size_t length)
    {
        const std::size_t n = std::min(length, size_ - at_);
        const std::string_view out(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return out;
    }

    std::string_view Rest() { return Bytes(size_ - at_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

[[noreturn]] inline void Fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: broken: %s\n", file, line, what);
    std::abort();
}

} // namespace qc::fuzz

// A property that must hold for every input; a violation is a finding.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            ::qc::fuzz::Fail(#condition, __FILE__, __LINE__);                                                          \
    } while (false)
