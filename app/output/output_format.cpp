#include "output/output_format.h"

#include <QFileInfo>
#include <QStringList>

namespace qc {

namespace {

struct Extension {
    const char* suffix;
    OutputFormat format;
};

const Extension kExtensions[] = {
    {"mes", OutputFormat::Mes}, {"xlsx", OutputFormat::Xlsx}, {"docx", OutputFormat::Docx},
    {"csv", OutputFormat::Csv}, {"txt", OutputFormat::Txt},
};

} // namespace

std::optional<OutputFormat> OutputFormatOf(const QString& path)
{
    const QFileInfo info(path);
    if (info.completeBaseName().isEmpty() && info.fileName().startsWith(u'.'))
        return std::nullopt;
    const QString suffix = info.suffix();
    for (const Extension& e : kExtensions)
        if (suffix.compare(QLatin1String(e.suffix), Qt::CaseInsensitive) == 0)
            return e.format;
    return std::nullopt;
}

QString KnownOutputExtensions()
{
    QStringList names;
    for (const Extension& e : kExtensions)
        names << u'.' + QString::fromLatin1(e.suffix);
    return names.join(QStringLiteral(", "));
}

} // namespace qc
