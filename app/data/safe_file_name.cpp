#include "data/safe_file_name.h"

#include <QCryptographicHash>
#include <algorithm>

namespace qc {
namespace {

constexpr int kMaxEncodedLength = 64;
constexpr QChar kEncodedMark = u'~';
constexpr QChar kEscape = u'_';

bool IsPlain(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u == u'-' || u == u' ';
}

bool IsKeptAsItIs(QStringView number)
{
    if (number.isEmpty() || number.size() > kMaxGaugeNumberLength)
        return false;
    return std::all_of(number.begin(), number.end(), [](QChar c) { return IsPlain(c) || c == kEscape; });
}

} // namespace

QString SafeGaugeNumber(QStringView gaugeNumber)
{
    if (IsKeptAsItIs(gaugeNumber))
        return gaugeNumber.toString();
    QString encoded(kEncodedMark);
    for (QChar c : gaugeNumber) {
        if (IsPlain(c))
            encoded += c;
        else
            encoded += kEscape + QStringLiteral("%1").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
        if (encoded.size() > kMaxEncodedLength)
            break;
    }
    if (encoded.size() <= kMaxEncodedLength)
        return encoded;
    const QByteArray digest = QCryptographicHash::hash(gaugeNumber.toUtf8(), QCryptographicHash::Sha256).toHex();
    return kEncodedMark + QString::fromLatin1(digest);
}

} // namespace qc
