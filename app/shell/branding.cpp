#include "shell/branding.h"

#include "data/numbers.h"

namespace qc {

QString EffectiveBrandMark(const QString& brandMark, const QString& gaugeNumber)
{
    const double number = LeadingNumber(gaugeNumber.trimmed());
    if (number >= kSecondOemFirstNumber && number <= kSecondOemLastNumber)
        return kSecondOemMark;
    return brandMark;
}

std::optional<Brand> BrandForMark(const QString& effectiveMark)
{
    if (effectiveMark.isEmpty())
        return Brand::Orvanta;
    if (effectiveMark == kSecondOemMark)
        return Brand::Tarnholm;
    return std::nullopt;
}

BrandAssets AssetsOf(Brand brand)
{
    if (brand == Brand::Tarnholm)
        return {QStringLiteral("Tarnholmlogo.jpg"), QStringLiteral("Tarnholm.ico"), QStringLiteral("Tarnholm GmbH")};
    return {QStringLiteral("Quenlogo.jpg"), QStringLiteral("Quen.ico"), QStringLiteral("Orvanta GmbH")};
}

} // namespace qc
