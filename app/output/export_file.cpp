#include "output/export_file.h"

#include <QDir>
#include <QFile>

#include "data/safe_file_name.h"

namespace qc {

namespace {

constexpr int kMaxMemoryPart = 32;

// The memory's text as one word of a file name: ASCII letters, digits and
// '-' stay, anything else becomes '_'. "S    1(   12)" -> "S_1__12_".
QString MemoryPart(const QString& memoryName)
{
    QString part = memoryName.simplified().left(kMaxMemoryPart);
    for (QChar& c : part) {
        const char16_t u = c.unicode();
        const bool kept = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'-';
        if (!kept)
            c = u'_';
    }
    return part;
}

} // namespace

QString ExportFileStem(const QString& gaugeNumber, const QString& memoryName, const QDateTime& now)
{
    QStringList parts;
    // The gauge number as its export folder names it.
    if (!gaugeNumber.trimmed().isEmpty())
        parts << SafeGaugeNumber(gaugeNumber);
    if (const QString memory = MemoryPart(memoryName); !memory.isEmpty())
        parts << memory;
    if (parts.isEmpty())
        parts << export_file::kNoGauge;
    parts << now.toString(export_file::kStampFormat);
    return parts.join(u'_');
}

ReservedPath ReserveExportPath(const QString& folder, const QString& stem, const QString& extension)
{
    ReservedPath out;
    if (!QDir().mkpath(folder)) {
        out.error = QStringLiteral("cannot create the folder ") + QDir::toNativeSeparators(folder);
        return out;
    }
    const QString base = QDir(folder).filePath(stem);
    QString lastError;
    for (int n = 1; n <= export_file::kMaxTries; ++n) {
        const QString path = n == 1 ? base + extension : base + u'_' + QString::number(n) + extension;
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            out.path = path;
            return out;
        }
        if (!f.exists()) {
            // Not taken, yet not creatable: a further number will not help.
            out.error = f.errorString() + QStringLiteral(": ") + QDir::toNativeSeparators(path);
            return out;
        }
    }
    out.error = QStringLiteral("no free file name for ") + QDir::toNativeSeparators(base + extension);
    return out;
}

} // namespace qc
