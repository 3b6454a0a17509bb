#include "gauge/reply_decoder.h"

#include <cmath>
#include <initializer_list>
#include <limits>

namespace qc {
namespace {

// Reply prefixes.
constexpr QLatin1StringView kBattery("$gcv?");
constexpr QLatin1StringView kClock("$glt?");
constexpr QLatin1StringView kList("$ls");
constexpr QLatin1StringView kOpen("$fr");
constexpr QLatin1StringView kWriteUpdate("$fwu");
constexpr QLatin1StringView kWrite("$fw");
constexpr QLatin1StringView kClose("$fc");
constexpr QLatin1StringView kWriteRecord("$wr");
constexpr QLatin1StringView kRemove("$rm");
constexpr QLatin1StringView kModify("$fmod");
constexpr QLatin1StringView kRead("$rd");
constexpr QLatin1StringView kIdentify("$quen00");
constexpr QLatin1StringView kProbeInfo("$gpi");

constexpr QChar kArgument = u'?';
constexpr QChar kBlank = u' ';
constexpr QChar kEnd = u'!';
constexpr QChar kKeySeparator = u':';
constexpr qsizetype kPayloadStart = 6;     // "$gcv?3.91!": payload from position 6
constexpr qsizetype kCountSearch = 5;      // "$rd": second blank within five characters after the first
constexpr qsizetype kCountDigits = 2;      // "$rd": byte count in two digits

constexpr qint64 kInt16Min = std::numeric_limits<qint16>::min();
constexpr qint64 kInt16Max = std::numeric_limits<qint16>::max();
constexpr qint64 kInt32Max = std::numeric_limits<qint32>::max();
constexpr qint64 kAnyMin = std::numeric_limits<qint64>::min() / 10;
constexpr qint64 kAnyMax = std::numeric_limits<qint64>::max() / 10;

bool StartsWithAny(const QString& text, std::initializer_list<QLatin1StringView> prefixes)
{
    for (QLatin1StringView prefix : prefixes)
        if (text.startsWith(prefix))
            return true;
    return false;
}

// 1-based position of the first `c`, 0 when absent.
qsizetype Position(const QString& text, QChar c) { return text.indexOf(c) + 1; }

// Characters from 1-based position a to b; empty when the range is empty
// or starts before the text.
QStringView Field(const QString& text, qsizetype a, qsizetype b)
{
    if (a < 1 || b < a || a > text.size())
        return {};
    return QStringView(text).mid(a - 1, b - a + 1);
}

bool IsHex(QStringView text)
{
    for (QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f')))
            return false;
    return true;
}

bool FromCharacteristic(const ValueEvent& event, const QString& serviceId, const QString& characteristicId)
{
    return !serviceId.isEmpty() && !characteristicId.isEmpty() && event.ServiceId == serviceId
        && event.CharacteristicId == characteristicId;
}

// "$rd?3 0 32 0A0B...!": handle, a numeric field not kept, the byte count
// in two digits, then 2*count hexadecimal digits before the final "!".
void DecodeRead(const QString& v, LinkState& st)
{
    const qsizetype q = Position(v, kArgument);
    const qsizetype s = Position(v, kBlank);
    const auto handle = GaugeInteger(Field(v, q + 1, s - 1), kInt16Min, kInt16Max);
    if (!handle || s == 0)
        return;
    const qsizetype s2 = v.indexOf(kBlank, s) + 1;
    if (s2 == 0 || s2 > s + kCountSearch || !GaugeInteger(Field(v, s + 1, s2 - 1), kAnyMin, kAnyMax))
        return;
    const QStringView countText = Field(v, s2 + 1, s2 + kCountDigits);
    const auto count = countText.size() == kCountDigits ? GaugeInteger(countText, 0, 99) : std::nullopt;
    if (!count || !v.endsWith(kEnd))
        return;
    const qsizetype digits = 2 * *count;
    const qsizetype dataStart = v.size() - 1 - digits;  // 0-based
    if (dataStart < s2 + kCountDigits)
        return;
    const QStringView data = QStringView(v).mid(dataStart, digits);
    if (!IsHex(data))
        return;
    st.ReplyText = data.toString();
    st.ReplyState = static_cast<qint16>(*handle);
}

// "$quen00?S:5101 R:3.02 ... A:1!": one-letter key, ":", the value, one
// separator. The walk always moves forward, so damaged text ends it.
void DecodeIdentification(const QString& v, bool probe, DecodedValue& out)
{
    const qsizetype prefix = probe ? kProbeInfo.size() : kIdentify.size();
    if (v.size() <= prefix || v.at(prefix) != kArgument || !v.contains(kEnd))
        return;  // the echo, or a reply cut short
    const QStringView r = QStringView(v).mid(prefix);
    const auto kind = probe ? LinkHandover::Kind::ProbeField : LinkHandover::Kind::GaugeField;
    const qsizetype endOfFields = r.indexOf(kEnd);  // the walk stops there, so it is found once
    qsizetype at = 0;
    while (at < r.size()) {
        const QStringView rest = r.mid(at);
        const qsizetype c = rest.indexOf(kKeySeparator);
        if (c < 1)
            break;
        // The "!" ends the last value; text after it is not a field.
        qsizetype d = rest.indexOf(kKeySeparator, c + 2);
        const qsizetype end = endOfFields >= at ? endOfFields - at : -1;
        const bool last = end >= 0 && (d < 0 || end < d);
        if (last)
            d = end + 2;
        else if (d < 0)
            break;
        const qsizetype length = d - c - 3;
        if (length < 0)
            break;
        out.handovers.push_back({kind, rest.at(c - 1), rest.mid(c + 1, length).toString()});
        if (last)
            break;
        at += d - 1;
    }
    out.state.ReplyState = kReplyDone;
}

} // namespace

std::optional<qint64> GaugeInteger(QStringView text, qint64 min, qint64 max)
{
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text.front() == u'-';
    if (negative)
        ++i;
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > kAnyMax)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<double> GaugeDecimal(QStringView text)
{
    qsizetype i = !text.isEmpty() && text.front() == u'-' ? 1 : 0;
    int digits = 0;
    int points = 0;
    for (qsizetype j = i; j < text.size(); ++j) {
        const QChar c = text.at(j);
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u'.')
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1 || digits > 30)
        return std::nullopt;
    bool ok = false;
    const double value = text.toString().toDouble(&ok);  // "C" rules: "." whatever the locale
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

DecodedValue Vornik1_Value(const ValueEvent& event, const LinkState& before)
{
    DecodedValue out{before, {}};
    LinkState& st = out.state;
    const QString& v = event.Value;
    const GattIds& ids = before.Ids;
    const bool fromCommand = FromCharacteristic(event, ids.SvcMainId, ids.ChrCommandId);

    if (fromCommand && !before.SendText.isEmpty() && v == before.SendText)
        return out;  // the gauge's echo of the command just written
    if (v.isEmpty())
        st.EmptyValueSeen = true;

    const qsizetype q = Position(v, kArgument);
    const qsizetype s = Position(v, kBlank);
    const qsizetype x = Position(v, kEnd);

    if (v.startsWith(kBattery)) {
        st.ReplyText = Field(v, kPayloadStart, v.size() - 1).toString();
        if (const auto volts = GaugeDecimal(st.ReplyText))
            st.BatteryVoltage = *volts;
        st.ReplyState = kReplyDone;
    }
    if (v.startsWith(kClock)) {
        st.ReplyText = Field(v, kPayloadStart, v.size() - 1).toString();
        st.ReplyState = kReplyDone;
    }
    if (StartsWithAny(v, {kWriteRecord, kClose, kRemove}) && !GaugeDecimal(Field(v, q + 1, s - 1))) {
        st.ReplyState = kReplyNotNumeric;
        return out;
    }
    if (v.startsWith(kList)) {
        if (st.ReplyText.isEmpty()) {
            st.ReplyText = v;
            st.ReplyState = kReplyDone;
            return out;
        }
        st.ReplyState = v.contains(st.ReplyText) ? kReplyListingRepeated : kReplyDone;
    }
    if (v.startsWith(kOpen)) {
        const auto handle = GaugeInteger(Field(v, q + 1, s - 1), 0, kInt16Max);
        const auto size = GaugeInteger(Field(v, s + 1, x - 1), 0, kInt32Max);
        if (handle && size && s > 0) {
            st.FileHandle = static_cast<qint16>(*handle);
            st.FileSize = static_cast<qint32>(*size);
        }
        return out;
    }
    if (v.startsWith(kWriteUpdate)) {
        if (q > 0 && q < v.size() && v.at(q) >= u'0' && v.at(q) <= u'9')
            st.ReplyState = static_cast<qint16>(v.at(q).unicode() - u'0');
        return out;
    }
    if (v.startsWith(kWrite)) {
        const auto handle = GaugeInteger(Field(v, q + 1, s - 1), kInt16Min, kInt16Max);
        const auto result = GaugeInteger(Field(v, s + 1, x - 1), kInt16Min, kInt16Max);
        if (handle && result && s > 0) {
            st.FileHandle = static_cast<qint16>(*handle);
            st.ReplyState = static_cast<qint16>(*result);
        }
        return out;
    }
    if (v.startsWith(kClose)) {
        if (const auto result = s > 0 ? GaugeInteger(Field(v, s + 1, x - 1), kInt16Min, kInt16Max) : std::nullopt)
            st.ReplyState = static_cast<qint16>(*result);
        return out;
    }
    if (StartsWithAny(v, {kWriteRecord, kRemove, kModify})) {
        st.ReplyState = kReplyDone;
        return out;
    }
    if (v.startsWith(kRead))
        DecodeRead(v, st);

    if (FromCharacteristic(event, ids.SvcMemoryId, ids.ChrMemDirId)) {
        out.handovers.push_back({LinkHandover::Kind::Directory, QChar(), v});
        st.ReplyState = kReplyDone;
    }
    if (FromCharacteristic(event, ids.SvcMemoryId, ids.ChrMemDataId)) {
        st.ReplyText = v;
        st.ReplyState = kReplyDone;
    }
    if (FromCharacteristic(event, ids.SvcMemoryId, ids.ChrLiveId)) {
        out.handovers.push_back({LinkHandover::Kind::LiveReading, QChar(), v});
        st.ReplyState = kReplyDone;
    }
    if (fromCommand && (v.startsWith(kIdentify) || v.startsWith(kProbeInfo)))
        DecodeIdentification(v, v.startsWith(kProbeInfo), out);
    return out;
}

} // namespace qc
