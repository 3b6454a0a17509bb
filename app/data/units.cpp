#include "data/units.h"

#include <cmath>

#include "data/numbers.h"

namespace qc {

namespace {

bool ProbeTypeStartsWith(const GaugeIdentity& identity, QChar c) { return identity.GaugeProbeType.startsWith(c); }

struct Conversion {
    const QString& target;
    double factor;
};

// Factors from the field-strength base unit A/cm.
const Conversion kFromAmperePerCm[] = {
    {unit::Oersted, 1.25664},      {unit::Gauss, 1.25664},        {unit::KiloAmperePerMetre, 0.1},
    {unit::AmperePerMetre, 100.0}, {unit::MilliTesla, 0.1256634}, {unit::Tesla, 0.00012566374},
    {unit::KiloGauss, 0.00125664},
};

// The rules below follow the resolution the gauges measure with; a class "4"
// gauge (memory service) has the smaller display ranges.
int MilliTeslaDecimals(double a, bool class4)
{
    if (class4)
        return a < 10 ? 2 : (a < 1000 ? 1 : 0);
    return a < 100 ? 2 : (a < 10000 ? 1 : 0);
}

int AmperePerCmDecimals(double a, bool class4) // also Oe and G
{
    if (class4)
        return a < 100 ? 1 : 0;
    return a >= 1000 ? 0 : 1;
}

int KiloAmperePerMetreDecimals(double a, bool class4)
{
    if (class4)
        return a < 10 ? 2 : 1;
    return a >= 100 ? 1 : 2;
}

// Decimals for a unit text; nullopt when no rule knows the unit.
std::optional<int> UnitRuleDecimals(double v, const QString& u, bool class4)
{
    const double a = std::fabs(v);
    if (u.startsWith(u"mT"))
        return MilliTeslaDecimals(a, class4);
    if (u.startsWith(u"A/cm") || u.startsWith(u"Oe") || u.startsWith(u'G'))
        return AmperePerCmDecimals(a, class4);
    if (u.startsWith(u"kA/m"))
        return KiloAmperePerMetreDecimals(a, class4);
    if (u.startsWith(u"\u00B5m") || u.startsWith(u"ym"))
        return v < 100 ? 1 : 0; // signed on purpose: -150 µm keeps its decimal
    if (u.startsWith(u"mi"))
        return class4 ? (a >= 10 ? 1 : 2) : (a < 100 ? 2 : 1);
    if (u.startsWith(u"\u00B5r"))
        return a >= 10 ? 2 : 3;
    if (u.startsWith(u"FN") || u.startsWith(u"Fe%"))
        return a >= 10 ? 1 : 2;

    // Units without a rule of their own take the resolution of their
    // thousandfold sibling: 1 T = 1000 mT, so a tesla value needs three more
    // decimals than the same field in millitesla; likewise kG/G and kOe/Oe.
    // 1 A/m is a thousandth of a kA/m, and kA/m is shown with at most two
    // decimals, so A/m values are whole numbers.
    if (u == unit::Tesla)
        return MilliTeslaDecimals(a * 1000, class4) + 3;
    if (u == unit::KiloGauss || u == unit::KiloOersted)
        return AmperePerCmDecimals(a * 1000, class4) + 3;
    if (u == unit::AmperePerMetre)
        return 0;
    return std::nullopt;
}

// Unknown unit texts are shown with two decimals: enough for every
// quantity the gauges measure, and never the text of an earlier value.
constexpr int kUnknownUnitDecimals = 2;

std::optional<int> NumericUnitDecimals(const QString& u)
{
    bool ok = false;
    const double d = u.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt; // "nan" must never reach the integer cast below
    const double whole = RoundHalfEven(d, 0);
    if (whole < 0 || whole > 3)
        return -1;
    return static_cast<int>(whole);
}

QString FormatFixed(double value, int decimals, const QLocale& locale)
{
    QString text = QString::number(value, 'f', decimals);
    if (decimals > 0)
        text.replace(u'.', locale.decimalPoint());
    return text;
}

} // namespace

QString NormaliseUnit(const QString& text)
{
    const QString t = text.trimmed();
    if (t == u"ym" || t == u"mu")
        return unit::Micrometre;
    return text;
}

QString MapUnitName(const QString& text, const GaugeIdentity& identity)
{
    const QString t = text.trimmed();
    QString result = text;
    if (t == u"metric" && ProbeTypeStartsWith(identity, u'1'))
        result = unit::Micrometre;
    if (t == u"imperial" && ProbeTypeStartsWith(identity, u'2'))
        result = unit::Mils;
    if (t == u"ur")
        result = unit::Permeability;
    if (t == u"ym")
        result = unit::Micrometre;
    return result;
}

QString GaugeBaseUnit(const GaugeIdentity& identity)
{
    QString base;
    if (ProbeTypeStartsWith(identity, u'1'))
        base = unit::Micrometre;
    if (ProbeTypeStartsWith(identity, u'2'))
        base = unit::AmperePerCm;
    if (identity.ModelCode == u"ZP")
        base = unit::Permeability;
    if (identity.ModelCode == u"ZC")
        base = unit::FerriteNumber;
    return base;
}

std::optional<double> TryConvertUnit(double value, const QString& unit, const GaugeIdentity& identity)
{
    const QString base = GaugeBaseUnit(identity).trimmed();
    const QString target = unit.trimmed();
    if (base == target)
        return value;
    if (base == unit::Micrometre && target == unit::Mils)
        return value / 25.4;
    if (base == unit::AmperePerCm) {
        for (const Conversion& c : kFromAmperePerCm) {
            if (c.target == target)
                return value * c.factor;
        }
    }
    return std::nullopt;
}

double ConvertUnit(double value, const QString& unit, const GaugeIdentity& identity)
{
    return TryConvertUnit(value, unit, identity).value_or(value);
}

std::optional<int> DecimalsFor(double value, const QString& unit, const DeviceProfile& profile)
{
    const QString u = unit.trimmed();
    if (const auto numeric = NumericUnitDecimals(u)) {
        if (*numeric < 0)
            return std::nullopt;
        return numeric;
    }
    if (u.left(4) == u"Stat")
        return profile.ProfileFlag7 == u"3" ? 3 : 2;
    const bool class4 = profile.ProfileClass == u"4";
    return UnitRuleDecimals(value, u, class4).value_or(kUnknownUnitDecimals);
}

double RoundedValue(double value, const QString& unit, const DeviceProfile& profile)
{
    const std::optional<int> decimals = DecimalsFor(value, unit, profile);
    return decimals ? RoundHalfEven(value, *decimals) : value;
}

FormattedValue FormatValue(double value, const QString& unit, const DeviceProfile& profile, const QLocale& locale)
{
    const std::optional<int> decimals = DecimalsFor(value, unit, profile);
    if (!decimals) {
        // A decimals digit outside 0..3: no rounding; show the value as it is.
        QString text = QString::number(value, 'g', 15);
        text.replace(u'.', locale.decimalPoint());
        return {text.rightJustified(kValueTextWidth, u' '), value};
    }
    const double rounded = RoundHalfEven(value, *decimals);
    return {FormatFixed(rounded, *decimals, locale).rightJustified(kValueTextWidth, u' '), rounded};
}

int GetDecimalsInt(double value)
{
    if (!std::isfinite(value))
        return 0;
    // The fraction's digits after "0." with trailing zeros dropped:
    // 0.125 -> "125", 0.5 -> "5", 0.05 -> "05" -> 5. The sign plays no part.
    const double fraction = RoundHalfEven(std::fabs(value - std::trunc(value)), 3);
    if (fraction == 0.0 || fraction >= 1.0)
        return 0;
    QString text = QString::number(fraction, 'f', 3);
    while (text.endsWith(u'0'))
        text.chop(1);
    return static_cast<int>(LeadingNumber(QStringView(text).mid(2)));
}

} // namespace qc
