#include "shell/manual_files.h"

#include <QFile>
#include <QFileInfo>

#include "shell/texts.h"

namespace qc {

QString ManualFileName(int language)
{
    return ClampLanguage(language) == kEnglish ? QStringLiteral("EN_Manual_Quen_Connect.pdf")
                                               : QStringLiteral("DE_Manual_Quen_Connect.pdf");
}

void InstallManuals(const QString& programDir, const QString& settingsDir)
{
    for (int language : {kGerman, kEnglish}) {
        const QFileInfo shipped(programDir + u'/' + ManualFileName(language));
        const QFileInfo installed(settingsDir + u'/' + ManualFileName(language));
        if (!shipped.isFile())
            continue;
        if (installed.exists() && installed.lastModified() >= shipped.lastModified())
            continue;
        const QString partial = installed.filePath() + QStringLiteral(".part");
        QFile::remove(partial);
        if (!QFile::copy(shipped.filePath(), partial))
            continue;
        QFile::remove(installed.filePath());
        if (!QFile::rename(partial, installed.filePath()))
            QFile::remove(partial);
    }
}

} // namespace qc
