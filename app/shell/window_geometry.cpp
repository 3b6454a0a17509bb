#include "shell/window_geometry.h"

#include <QDir>
#include <QSettings>

namespace qc {
namespace {

const QString kGeometryKey = QStringLiteral("MainWindow/Geometry");

} // namespace

QString WindowStateFile(const QString& settingsDir)
{
    return QDir(settingsDir).filePath(QString::fromLatin1(kWindowStateFileName));
}

std::optional<QByteArray> LoadWindowGeometry(const QString& settingsDir)
{
    if (settingsDir.isEmpty())
        return std::nullopt;
    QSettings file(WindowStateFile(settingsDir), QSettings::IniFormat);
    const QVariant value = file.value(kGeometryKey);
    if (file.status() != QSettings::NoError || !value.canConvert<QByteArray>())
        return std::nullopt;
    const QByteArray geometry = value.toByteArray();
    if (geometry.isEmpty())
        return std::nullopt;
    return geometry;
}

bool SaveWindowGeometry(const QString& settingsDir, const QByteArray& geometry)
{
    if (settingsDir.isEmpty() || !QDir(settingsDir).exists())
        return false;
    QSettings file(WindowStateFile(settingsDir), QSettings::IniFormat);
    file.setValue(kGeometryKey, geometry);
    file.sync();
    return file.status() == QSettings::NoError;
}

} // namespace qc
