#include "shell/transfer_log.h"

#include <QFile>

#include "data/cp1252.h"
#include "shell/app_identity.h"

namespace qc {

TransferLog::TransferLog(QString path)
    : m_path(std::move(path))
{
}

QString TransferLog::PathIn(const QString& settingsDir)
{
    return settingsDir + u'/' + QString::fromLatin1(kProgramName) + QStringLiteral("TransferLog.txt");
}

void TransferLog::DeleteLog() const
{
    if (m_path.isEmpty())
        return;
    QFile file(m_path);
    (void)file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void TransferLog::WriteLog(const QString& text) const
{
    if (m_path.isEmpty())
        return;
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    (void)file.write(EncodeCp1252(text) + "\r\n");
}

} // namespace qc
