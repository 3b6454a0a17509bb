#include "output/export_file.h"

#include <QDir>
#include <QFile>

#include "shell/safe_file_name.h"

namespace qc {

QString ExportFileStem(const QString& gaugeNumber, const QString& memoryName, const QDateTime& now)
{
    QStringList parts;
    for (const QString& part : {gaugeNumber, memoryName}) {
        // Blanks inside a name become '_' too: the name stays one word.
        const QString safe = SafeGaugeNumber(part.simplified()).replace(u' ', u'_');
        if (!safe.isEmpty())
            parts << safe;
    }
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
