#include "code_page.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <optional>

namespace vornik::surface {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char kUnmappable = '?';

// Bytes 0x80..0x9F of Windows-1252. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control with the
// same number, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t cp1252ToChar(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F)
        return kCp1252High[b - 0x80];
    return b;
}

std::optional<unsigned char> charToCp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at text[pos], or 0 when invalid.
std::size_t utf8SequenceLength(std::string_view text, std::size_t pos, char32_t* decoded)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        if (decoded) *decoded = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2; c = lead & 0x1F; minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3; c = lead & 0x0F; minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4; c = lead & 0x07; minimum = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    if (decoded) *decoded = c;
    return length;
}

// The iconv name of a code page number; empty when there is none.
std::string iconvName(int codePage)
{
    switch (codePage) {
    case 1: return "CP850";          // the OEM code page of a western system
    case 2: case 10000: return "MACINTOSH";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 51932: return "EUC-JP";
    case 54936: return "GB18030";
    case 50220: return "ISO-2022-JP";
    case 65000: return "UTF-7";
    default: break;
    }
    if (codePage >= 28591 && codePage <= 28606)
        return "ISO-8859-" + std::to_string(codePage - 28590);
    if (codePage >= 37 && codePage < 1200)
        return "CP" + std::to_string(codePage);
    if (codePage >= 1250 && codePage <= 1258)
        return "CP" + std::to_string(codePage);
    return {};
}

class Iconv {
public:
    Iconv(const std::string& to, const std::string& from)
        : handle_(to.empty() || from.empty() ? reinterpret_cast<iconv_t>(-1)
                                             : iconv_open(to.c_str(), from.c_str())) {}
    ~Iconv() { if (valid()) iconv_close(handle_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns false on an invalid or
    // incomplete sequence, leaving `in` at it.
    bool run(std::string_view& in, std::string& out)
    {
        char buffer[256];
        while (!in.empty()) {
            char* src = const_cast<char*>(in.data());
            std::size_t srcLeft = in.size();
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(handle_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, sizeof buffer - dstLeft);
            in.remove_prefix(in.size() - srcLeft);
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
                return false;
        }
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        iconv(handle_, nullptr, nullptr, &dst, &dstLeft);  // flush shift state
        out.append(buffer, sizeof buffer - dstLeft);
        return true;
    }

private:
    iconv_t handle_;
};

bool isCp1252(int codePage) { return codePage == kCodePageAnsi || codePage == kCodePage1252 || codePage == 3; }

Converted unsupported(int codePage)
{
    return {false, "Code page " + std::to_string(codePage) + " is not supported."};
}

} // namespace

bool isValidUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t n = utf8SequenceLength(text, pos, nullptr);
        if (n == 0)
            return false;
        pos += n;
    }
    return true;
}

bool isSupportedCodePage(int codePage)
{
    if (isCp1252(codePage) || codePage == kCodePageUtf8)
        return true;
    Iconv probe(iconvName(codePage), "UTF-8");
    return probe.valid();
}

Converted toEngine(std::string_view utf8, int codePage)
{
    if (!isValidUtf8(utf8))
        return {false, "The text is not valid UTF-8."};
    if (codePage == kCodePageUtf8)
        return {true, std::string(utf8)};
    Converted result{true, {}};
    result.text.reserve(utf8.size());
    if (isCp1252(codePage)) {
        for (std::size_t pos = 0; pos < utf8.size();) {
            char32_t c = 0;
            pos += utf8SequenceLength(utf8, pos, &c);
            const auto byte = charToCp1252(c);
            result.text += byte ? static_cast<char>(*byte) : kUnmappable;
        }
        return result;
    }
    Iconv cd(iconvName(codePage), "UTF-8");
    if (!cd.valid())
        return unsupported(codePage);
    std::string_view rest = utf8;
    while (!cd.run(rest, result.text)) {
        // The character has no place in the code page: "?" and go on.
        result.text += kUnmappable;
        rest.remove_prefix(utf8SequenceLength(rest, 0, nullptr));
    }
    return result;
}

Converted fromEngine(std::string_view bytes, int codePage)
{
    Converted result{true, {}};
    result.text.reserve(bytes.size());
    if (isCp1252(codePage)) {
        for (const char b : bytes)
            appendUtf8(result.text, cp1252ToChar(static_cast<unsigned char>(b)));
        return result;
    }
    if (codePage == kCodePageUtf8) {
        for (std::size_t pos = 0; pos < bytes.size();) {
            const std::size_t n = utf8SequenceLength(bytes, pos, nullptr);
            if (n == 0) {
                appendUtf8(result.text, kReplacement);
                ++pos;
            } else {
                result.text.append(bytes.substr(pos, n));
                pos += n;
            }
        }
        return result;
    }
    Iconv cd("UTF-8", iconvName(codePage));
    if (!cd.valid())
        return unsupported(codePage);
    std::string_view rest = bytes;
    while (!cd.run(rest, result.text)) {
        appendUtf8(result.text, kReplacement);
        rest.remove_prefix(1);
    }
    return result;
}

} // namespace vornik::surface
