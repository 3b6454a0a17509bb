// The single decoder of everything the gauge sends: a value that arrived in
// the control's Value event, applied to the link state. Pure: it takes the
// event's arguments and the state before, and gives the state after and
// what it hands over to the rest of the program.
#pragma once

#include <QChar>
#include <QString>

#include <optional>
#include <vector>

#include "gauge/link_state.h"

namespace qc {

// The arguments of the Value event.
struct ValueEvent {
    QString ServiceId;
    QString CharacteristicId;
    QString DescriptorId;
    QString Uuid;
    QString Description;
    QString Value;
};

// What the decoder cannot finish itself. The receivers (identification,
// memory directory, live readings) act on them in order.
struct LinkHandover {
    enum class Kind {
        GaugeField,   // a "$quen00" identification field: Key, Text
        ProbeField,   // a "$gpi" identification field: Key, Text
        Directory,    // a value of the memory directory characteristic: Text
        LiveReading,  // a value of the live characteristic: Text
    };
    Kind kind;
    QChar Key;
    QString Text;

    bool operator==(const LinkHandover&) const = default;
};

struct DecodedValue {
    LinkState state;
    std::vector<LinkHandover> handovers;
};

// Steps, in order: empty value; "$gcv", "$glt"; "$wr"/"$fc"/"$rm" with a
// non-numeric first field; "$ls"; "$fr"; "$fwu"; "$fw"; "$fc"; "$wr"/"$rm"/
// "$fmod"; "$rd"; then by source: memory directory, memory data, live
// characteristic, identification replies on the command characteristic.
//
// The gauge echoes every command on the command characteristic before the
// reply is there: a value there equal to SendText changes nothing. A field
// converted to a number that is not a plain decimal number (or does not fit)
// makes the value no reply: the state stays as it was. An identification
// reply without "!" is no reply either.
DecodedValue Vornik1_Value(const ValueEvent& event, const LinkState& before);

// A decimal integer as the gauge writes it: optional "-", then digits only.
// Nothing when empty, malformed or outside [min, max].
std::optional<qint64> GaugeInteger(QStringView text, qint64 min, qint64 max);

// A decimal number with "." as the separator, whatever the locale:
// optional "-", digits, at most one ".", at least one digit.
std::optional<double> GaugeDecimal(QStringView text);

} // namespace qc
