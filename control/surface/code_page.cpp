#include "code_page.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace vornik::surface {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char kUnmappable = '?';

// Bytes 0x80..0x9F of Windows-1252. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control with the
// same number, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t Cp1252ToChar(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F)
        return kCp1252High[b - 0x80];
    return b;
}

std::optional<unsigned char> CharToCp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t c)
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
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos, char32_t* decoded)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        if (decoded)
            *decoded = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07;
        minimum = 0x10000;
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
    if (decoded)
        *decoded = c;
    return length;
}

// The iconv name of a code page number; empty when there is none.
std::string IconvName(int codePage)
{
    switch (codePage) {
    case 1:
        return "CP850"; // the OEM code page of a western system
    case 2:
    case 10000:
        return "MACINTOSH";
    case 20127:
        return "ASCII";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    case 51932:
        return "EUC-JP";
    case 54936:
        return "GB18030";
    case 50220:
        return "ISO-2022-JP";
    case 65000:
        return "UTF-7";
    default:
        break;
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
        : handle_(to.empty() || from.empty() ? reinterpret_cast<iconv_t>(-1) : iconv_open(to.c_str(), from.c_str()))
    {
    }
    ~Iconv()
    {
        if (valid())
            iconv_close(handle_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of `in` as possible in one call, growing the output
    // as needed; returns false on an invalid or incomplete sequence,
    // leaving `in` at it. The shift state is flushed at the end of `in`.
    bool run(std::string_view& in, std::string& out)
    {
        while (!in.empty()) {
            const std::size_t used = out.size();
            out.resize(used + in.size() * 4 + 16);
            char* src = const_cast<char*>(in.data());
            std::size_t srcLeft = in.size();
            char* dst = out.data() + used;
            std::size_t dstLeft = out.size() - used;
            const std::size_t rc = iconv(handle_, &src, &srcLeft, &dst, &dstLeft);
            const int error = errno;
            out.resize(out.size() - dstLeft);
            in.remove_prefix(in.size() - srcLeft);
            if (rc == static_cast<std::size_t>(-1) && error != E2BIG)
                return false;
        }
        char buffer[32];
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        iconv(handle_, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, sizeof buffer - dstLeft);
        return true;
    }

    // One byte alone: its character, or why there is none.
    enum class Single { Char, Undefined, NotSingleByte };
    Single decodeByte(unsigned char byte, char32_t& decoded)
    {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char in[1] = {static_cast<char>(byte)};
        char out[16];
        char* src = in;
        std::size_t srcLeft = 1;
        char* dst = out;
        std::size_t dstLeft = sizeof out;
        const std::size_t rc = iconv(handle_, &src, &srcLeft, &dst, &dstLeft);
        if (rc == static_cast<std::size_t>(-1))
            return errno == EILSEQ ? Single::Undefined : Single::NotSingleByte;
        const std::string_view text(out, sizeof out - dstLeft);
        if (text.empty() || Utf8SequenceLength(text, 0, &decoded) != text.size())
            return Single::NotSingleByte;
        return Single::Char;
    }

private:
    iconv_t handle_;
};

constexpr char32_t kNoChar = 0xFFFFFFFF;

// A single-byte code page as two tables, built once from iconv: every byte
// to its character, every BMP character to its byte. Conversions through
// it are one look-up per character.
struct SingleByteTable {
    std::array<char32_t, 256> toChar{};
    std::array<std::string, 256> toUtf8; // toChar encoded, U+FFFD for no character
    std::vector<std::int16_t> fromBmp = std::vector<std::int16_t>(0x10000, -1);
};

struct CodePageInfo {
    bool known = false;                           // iconv converts both ways
    std::shared_ptr<const SingleByteTable> table; // null for multi-byte code pages
    bool asciiRoundTrip = false;                  // printable ASCII survives both ways
};

std::shared_ptr<const SingleByteTable> BuildTable(const std::string& name)
{
    Iconv decoder("UTF-8", name);
    if (!decoder.valid())
        return nullptr;
    auto table = std::make_shared<SingleByteTable>();
    for (int b = 0; b < 256; ++b) {
        char32_t c = 0;
        switch (decoder.decodeByte(static_cast<unsigned char>(b), c)) {
        case Iconv::Single::NotSingleByte:
            return nullptr;
        case Iconv::Single::Undefined:
            table->toChar[static_cast<std::size_t>(b)] = kNoChar;
            break;
        case Iconv::Single::Char:
            table->toChar[static_cast<std::size_t>(b)] = c;
            // The first byte wins where two bytes give one character.
            if (c < 0x10000 && table->fromBmp[c] < 0)
                table->fromBmp[c] = static_cast<std::int16_t>(b);
            break;
        }
    }
    for (std::size_t b = 0; b < table->toChar.size(); ++b)
        AppendUtf8(table->toUtf8[b], table->toChar[b] == kNoChar ? kReplacement : table->toChar[b]);
    return table;
}

Converted ToEngineWith(std::string_view utf8, int codePage, const CodePageInfo& info);
Converted FromEngineWith(std::string_view bytes, int codePage, const CodePageInfo& info);

CodePageInfo Examine(int codePage)
{
    CodePageInfo info;
    const std::string name = IconvName(codePage);
    Iconv to(name, "UTF-8");
    Iconv from("UTF-8", name);
    info.known = to.valid() && from.valid();
    if (!info.known)
        return info;
    info.table = BuildTable(name);
    std::string ascii;
    for (char c = 0x20; c < 0x7F; ++c)
        ascii += c;
    const Converted out = ToEngineWith(ascii, codePage, info);
    const Converted in = FromEngineWith(ascii, codePage, info);
    info.asciiRoundTrip = out.ok && in.ok && out.text == ascii && in.text == ascii;
    return info;
}

// Code pages are examined once per process.
CodePageInfo InfoFor(int codePage)
{
    static std::mutex mutex;
    static std::map<int, CodePageInfo> cache;
    {
        std::lock_guard lock(mutex);
        if (const auto found = cache.find(codePage); found != cache.end())
            return found->second;
    }
    CodePageInfo info = Examine(codePage);
    std::lock_guard lock(mutex);
    return cache.emplace(codePage, std::move(info)).first->second;
}

bool IsCp1252(int codePage) { return codePage == kCodePageAnsi || codePage == kCodePage1252 || codePage == 3; }

Converted Unsupported(int codePage) { return {false, CodePageRefusal(codePage)}; }

Converted ToEngineWith(std::string_view utf8, int codePage, const CodePageInfo& info)
{
    Converted result{true, {}};
    if (info.table) {
        const SingleByteTable& table = *info.table;
        result.text.resize(utf8.size());
        std::size_t length = 0;
        for (std::size_t pos = 0; pos < utf8.size();) {
            char32_t c = 0;
            pos += Utf8SequenceLength(utf8, pos, &c);
            const std::int16_t byte = c < 0x10000 ? table.fromBmp[c] : std::int16_t{-1};
            result.text[length++] = byte >= 0 ? static_cast<char>(byte) : kUnmappable;
        }
        result.text.resize(length);
        return result;
    }
    Iconv cd(IconvName(codePage), "UTF-8");
    if (!cd.valid())
        return Unsupported(codePage);
    result.text.reserve(utf8.size());
    std::string_view rest = utf8;
    while (!cd.run(rest, result.text)) {
        // The character has no place in the code page: "?" and go on.
        result.text += kUnmappable;
        rest.remove_prefix(std::max<std::size_t>(Utf8SequenceLength(rest, 0, nullptr), 1));
    }
    return result;
}

Converted FromEngineWith(std::string_view bytes, int codePage, const CodePageInfo& info)
{
    Converted result{true, {}};
    result.text.reserve(bytes.size());
    if (info.table) {
        const SingleByteTable& table = *info.table;
        for (const char b : bytes)
            result.text += table.toUtf8[static_cast<unsigned char>(b)];
        return result;
    }
    Iconv cd("UTF-8", IconvName(codePage));
    if (!cd.valid())
        return Unsupported(codePage);
    std::string_view rest = bytes;
    while (!cd.run(rest, result.text)) {
        AppendUtf8(result.text, kReplacement);
        rest.remove_prefix(1);
    }
    return result;
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t n = Utf8SequenceLength(text, pos, nullptr);
        if (n == 0)
            return false;
        pos += n;
    }
    return true;
}

std::string CodePageRefusal(int codePage) { return "Code page " + std::to_string(codePage) + " is not supported."; }

bool IsSupportedCodePage(int codePage)
{
    if (IsCp1252(codePage) || codePage == kCodePageUtf8)
        return true;
    const CodePageInfo info = InfoFor(codePage);
    return info.known && info.asciiRoundTrip;
}

Converted ToEngine(std::string_view utf8, int codePage)
{
    if (!IsValidUtf8(utf8))
        return {false, "The text is not valid UTF-8."};
    if (codePage == kCodePageUtf8)
        return {true, std::string(utf8)};
    if (IsCp1252(codePage)) {
        Converted result{true, {}};
        result.text.reserve(utf8.size());
        for (std::size_t pos = 0; pos < utf8.size();) {
            char32_t c = 0;
            pos += Utf8SequenceLength(utf8, pos, &c);
            const auto byte = CharToCp1252(c);
            result.text += byte ? static_cast<char>(*byte) : kUnmappable;
        }
        return result;
    }
    const CodePageInfo info = InfoFor(codePage);
    if (!info.known)
        return Unsupported(codePage);
    return ToEngineWith(utf8, codePage, info);
}

Converted FromEngine(std::string_view bytes, int codePage)
{
    Converted result{true, {}};
    result.text.reserve(bytes.size());
    if (IsCp1252(codePage)) {
        for (const char b : bytes)
            AppendUtf8(result.text, Cp1252ToChar(static_cast<unsigned char>(b)));
        return result;
    }
    if (codePage == kCodePageUtf8) {
        for (std::size_t pos = 0; pos < bytes.size();) {
            const std::size_t n = Utf8SequenceLength(bytes, pos, nullptr);
            if (n == 0) {
                AppendUtf8(result.text, kReplacement);
                ++pos;
            } else {
                result.text.append(bytes.substr(pos, n));
                pos += n;
            }
        }
        return result;
    }
    const CodePageInfo info = InfoFor(codePage);
    if (!info.known)
        return Unsupported(codePage);
    return FromEngineWith(bytes, codePage, info);
}

} // namespace vornik::surface
