#include "data/cp1252.h"

#include <array>

namespace qc {
namespace {

// Unicode of the bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

constexpr char16_t kFirstHigh = 0x80;
constexpr char16_t kLastHigh = 0x9F;

char EncodeOne(char16_t unit)
{
    if (unit < kFirstHigh || (unit > kLastHigh && unit <= 0xFF))
        return static_cast<char>(unit);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == unit)
            return static_cast<char>(kFirstHigh + i);
    }
    return '?';
}

} // namespace

QString DecodeCp1252(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= kFirstHigh && byte <= kLastHigh)
            text.append(QChar(kHighControls[byte - kFirstHigh]));
        else
            text.append(QChar(static_cast<char16_t>(byte)));
    }
    return text;
}

QByteArray EncodeCp1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes.append('?');
            ++i;
            continue;
        }
        bytes.append(EncodeOne(c.unicode()));
    }
    return bytes;
}

QString Cp1252Unstorable(QStringView text)
{
    QString found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QStringView one = text.mid(i, 1);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            one = text.mid(i++, 2);
        else if (EncodeOne(one[0].unicode()) != '?' || one[0] == u'?')
            continue;
        if (!found.contains(one))
            found += one;
    }
    return found;
}

} // namespace qc
