#pragma once

#include <QString>
#include <optional>

namespace qc {

// Brand marks of GaugeIdentity::BrandMark: empty for the maker's own gauges.
inline const QString kFirstOemMark = QStringLiteral("1");
inline const QString kSecondOemMark = QStringLiteral("2");
inline const QString kOtherMakeMark = QStringLiteral("X");

// Gauge numbers 7000..7999 are always sold under the second OEM mark.
inline constexpr double kSecondOemFirstNumber = 7000;
inline constexpr double kSecondOemLastNumber = 7999;

enum class Brand { Orvanta, Tarnholm };

// What a brand shows: files in the program directory and the caption of the
// statistics frame.
struct BrandAssets {
    QString LogoFile;
    QString IconFile;
    QString StatisticsCaption;
};

// The mark after the number rule: the second OEM mark when the trimmed
// number, read as a number, lies in 7000..7999; else `brandMark` unchanged.
QString EffectiveBrandMark(const QString& brandMark, const QString& gaugeNumber);

// The brand a mark selects; nullopt (keep what is shown) for the first OEM
// mark, "X" and unknown marks.
std::optional<Brand> BrandForMark(const QString& effectiveMark);

BrandAssets AssetsOf(Brand brand);

} // namespace qc
