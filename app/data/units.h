#pragma once

#include <QLocale>
#include <QString>
#include <optional>

#include "data/gauge_profile.h"

namespace qc {

// Unit texts the system knows. Compared exactly, after trimming.
namespace unit {
inline const QString Micrometre = QStringLiteral("\u00B5m");
inline const QString Mils = QStringLiteral("mils");
inline const QString AmperePerCm = QStringLiteral("A/cm");
inline const QString KiloAmperePerMetre = QStringLiteral("kA/m");
inline const QString AmperePerMetre = QStringLiteral("A/m");
inline const QString Oersted = QStringLiteral("Oe");
inline const QString KiloOersted = QStringLiteral("kOe");
inline const QString MilliTesla = QStringLiteral("mT");
inline const QString Tesla = QStringLiteral("T");
inline const QString KiloGauss = QStringLiteral("kG");
inline const QString Gauss = QStringLiteral("G");
inline const QString Permeability = QStringLiteral("\u00B5r");
inline const QString FerriteNumber = QStringLiteral("FN");
inline const QString FerritePercent = QStringLiteral("Fe%");
} // namespace unit

// Width of every formatted value: right-aligned with blanks, never cut.
inline constexpr int kValueTextWidth = 11;

struct FormattedValue {
    QString ValueText;   // right-aligned to 11 characters
    double RoundedValue; // the value as ValueText shows it
};

// "ym" and "mu" are spellings of "µm"; anything else is returned as it is.
QString NormaliseUnit(const QString& text);

// Unit name reported by the gauge ("metric", "imperial", "ur", "ym") to the
// unit text shown in the table. Unknown names are returned unchanged.
QString MapUnitName(const QString& text, const GaugeIdentity& identity);

// The unit in which the gauge sends bare numbers; empty when unknown.
QString GaugeBaseUnit(const GaugeIdentity& identity);

// Converts a value from the gauge's base unit to `unit`. nullopt for a pair
// that has no known factor (an unknown target, or a base unit without
// conversions such as "µr").
std::optional<double> TryConvertUnit(double value, const QString& unit, const GaugeIdentity& identity);

// As TryConvertUnit, but a pair without a known factor keeps the value as it
// is: showing the reading unconverted is better than showing 0.
double ConvertUnit(double value, const QString& unit, const GaugeIdentity& identity);

// Decimals a value of `unit` is shown with; nullopt for a numeric unit
// argument outside 0..3 (which formats without rounding).
std::optional<int> DecimalsFor(double value, const QString& unit, const DeviceProfile& profile);

// The single number formatter of the program. `unit` is a unit text, a
// decimals digit "0".."3", or a text beginning with "Stat" (statistics
// values, decimals from ProfileFlag7). Uses the locale's decimal separator
// and no grouping: 12.345 "µm" -> "       12.3" and 12.3.
FormattedValue FormatValue(double value, const QString& unit, const DeviceProfile& profile,
                           const QLocale& locale = QLocale());

// The value FormatValue would show, without making its text.
double RoundedValue(double value, const QString& unit, const DeviceProfile& profile);

// The first up to three decimal digits of a value as an integer:
// 12 -> 0, 12.5 -> 5, 0.125 -> 125. Tells whether a limit has a fraction.
int GetDecimalsInt(double value);

} // namespace qc
