#include "shell/safe_file_name.h"

namespace qc {
namespace {

bool IsAllowed(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u == u'-' || u == u'_'
        || u == u' ';
}

} // namespace

QString SafeGaugeNumber(QStringView gaugeNumber)
{
    QString safe;
    const QStringView kept = gaugeNumber.left(kMaxGaugeNumberLength);
    safe.reserve(kept.size());
    for (QChar c : kept)
        safe.append(IsAllowed(c) ? c : QChar(u'_'));
    return safe;
}

} // namespace qc
