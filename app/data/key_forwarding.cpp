#include "data/key_forwarding.h"

#include "data/measurement_table.h"

namespace qc {

namespace {

bool OptionOn(const QString& options, int position)
{
    return position < options.size() && options.at(position) == u'1';
}

} // namespace

QStringList KeyForwardingTexts(const KeyForwardingSettings& settings, int tableMode, const ForwardedReading& reading)
{
    QStringList texts;
    if (!settings.Enabled || tableMode != kOnlineSlot)
        return texts;
    const QString& o = settings.Options;
    if (OptionOn(o, key_option::kNumber))
        texts << reading.NumberText;
    if (OptionOn(o, key_option::kDate))
        texts << u' ' + reading.DateText;
    texts << reading.ValueText;
    if (OptionOn(o, key_option::kUnit))
        texts << u' ' + reading.Unit;
    if (OptionOn(o, key_option::kMaterial))
        texts << u' ' + reading.Material;
    if (settings.EndOfLineKey == kLineEndEnter)
        texts << kEnterKeyText;
    return texts;
}

} // namespace qc
