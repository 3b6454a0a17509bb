#include "shell/status_text.h"

#include <algorithm>

#include "shell/texts.h"

namespace qc {
namespace {

struct Wording {
    const char16_t* Idle;
    const char16_t* Scanning;
    const char16_t* Connecting;  // %1 the gauge
    const char16_t* Connected;   // %1 the gauge
    const char16_t* Reading;     // %1 done, %2 total, %3 the gauge
    const char16_t* ReadingOpen; // %1 done, %2 the gauge
    const char16_t* UnnamedGauge;
    const char16_t* Demo;
};

constexpr Wording kWordings[] = {
    {u"Kein Messgerät verbunden", u"Suche Messgeräte …", u"Verbinde mit %1 …", u"Verbunden mit %1",
     u"Lese Messwert %1 von %2 aus %3 …", u"Lese Messwert %1 aus %2 …", u"dem Messgerät",
     u" – Demo-Modus (simulierte Messgeräte)"},
    {u"No gauge connected", u"Scanning for gauges …", u"Connecting to %1 …", u"Connected to %1",
     u"Reading value %1 of %2 from %3 …", u"Reading value %1 from %2 …", u"the gauge",
     u" – demo mode (simulated gauges)"},
};

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

} // namespace

QString StatusText(int language, const StatusState& state)
{
    const Wording& w = kWordings[ClampLanguage(language)];
    const QString gauge = state.Gauge.trimmed().isEmpty() ? Text(w.UnnamedGauge) : state.Gauge.trimmed();
    QString text;
    switch (state.activity) {
    case Activity::Idle:
        text = Text(w.Idle);
        break;
    case Activity::Scanning:
        text = Text(w.Scanning);
        break;
    case Activity::Connecting:
        text = Text(w.Connecting).arg(gauge);
        break;
    case Activity::Connected:
        text = Text(w.Connected).arg(gauge);
        break;
    case Activity::Reading:
        if (state.Total > 0)
            text = Text(w.Reading).arg(QString::number(std::clamp(state.Done, 0, state.Total)),
                                       QString::number(state.Total), gauge);
        else
            text = Text(w.ReadingOpen).arg(QString::number(std::max(state.Done, 0)), gauge);
        break;
    }
    if (state.Demo)
        text += Text(w.Demo);
    return text;
}

} // namespace qc
