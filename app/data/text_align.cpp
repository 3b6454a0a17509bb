#include "data/text_align.h"

#include <algorithm>

namespace qc {

QString Ausrichten(int width, const QString& text, const QString& fill, bool cut)
{
    if (text.size() < width && !fill.isEmpty())
        return QString(width - text.size(), fill.at(0)) + text;
    if (text.size() > width && cut)
        return text.left(std::max(0, width));
    return text;
}

QString AusrichtenL(int width, const QString& text)
{
    if (width <= 0)
        return {};
    return (text.trimmed() + QString(width, u' ')).left(width);
}

} // namespace qc
