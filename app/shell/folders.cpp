#include "shell/folders.h"

#include <QDir>
#include <QFileInfo>

#include "shell/app_identity.h"

namespace qc {
namespace {

QString FromEnvironment(const char* variable)
{
    return qEnvironmentVariable(variable);
}

// $<variable>, or the home-relative default the XDG base directory rules give.
QString XdgBase(const char* variable, const char* homeRelative)
{
    const QString value = FromEnvironment(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return value;
    return QDir::homePath() + u'/' + QString::fromLatin1(homeRelative);
}

QString Joined(const QString& base)
{
    return QDir::cleanPath(base + u'/' + QString::fromLatin1(kProgramName));
}

} // namespace

QString SettingsDirFromEnvironment()
{
    const QString overridden = FromEnvironment(kSettingsDirVariable);
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    return Joined(XdgBase("XDG_CONFIG_HOME", ".config"));
}

QString DataDirFromEnvironment()
{
    const QString overridden = FromEnvironment(kDataDirVariable);
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    return Joined(XdgBase("XDG_DATA_HOME", ".local/share"));
}

QString ProgramDirFor(const QString& executableDir)
{
    const QString installed = QDir::cleanPath(executableDir + u'/' + QString::fromLatin1(kInstalledDataSubdir));
    if (QFileInfo(installed).isDir())
        return installed;
    return QDir::cleanPath(executableDir);
}

QString RuntimeDir()
{
    const QString runtime = FromEnvironment("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    return QDir::tempPath();
}

bool EnsureDirectory(const QString& path)
{
    return !path.isEmpty() && QDir().mkpath(path);
}

} // namespace qc
