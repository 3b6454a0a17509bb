#include "shell/demo_mode.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

namespace qc {

namespace {

constexpr const char* kRadioVariable = "VORNIK220_RADIO";
constexpr const char* kSimModuleVariable = "VORNIK_SIM_MODULE";
constexpr const char* kGaugeFolderVariable = "QUENCONNECT_GAUGESIM_DIR";
constexpr const char* kSimulatedRadio = "sim";
constexpr const char* kGaugeModule = "libquen_gaugesim.so";
const QString kDemoMark = QStringLiteral(" [DEMO]");

} // namespace

DemoRequest ParseDemoRequest(const QStringList& arguments)
{
    DemoRequest request;
    const qsizetype at = arguments.indexOf(QString::fromLatin1(kSimulateOption));
    if (at < 0)
        return request;
    request.requested = true;
    if (at + 1 < arguments.size() && !arguments[at + 1].startsWith(u'-')) {
        request.folder = arguments[at + 1];
        if (!QFileInfo(request.folder).isDir())
            request.error = QStringLiteral("%1: no such folder of simulated gauges").arg(request.folder);
    }
    return request;
}

void EnterDemoMode(const QString& executableDir, const QString& folder)
{
    const QString module = QDir(executableDir).filePath(QString::fromLatin1(kGaugeModule));
    ::setenv(kRadioVariable, kSimulatedRadio, 1);
    ::setenv(kSimModuleVariable, QFile::encodeName(module).constData(), 1);
    if (folder.isEmpty())
        ::unsetenv(kGaugeFolderVariable);
    else
        ::setenv(kGaugeFolderVariable, QFile::encodeName(QFileInfo(folder).absoluteFilePath()).constData(), 1);
}

bool IsDemoMode()
{
    const char* radio = std::getenv(kRadioVariable);
    return radio != nullptr && qstrcmp(radio, kSimulatedRadio) == 0;
}

QString DemoMarked(const QString& text) { return IsDemoMode() ? text + kDemoMark : text; }

QString DemoAnnouncement(const QString& folder)
{
    return folder.isEmpty()
               ? QStringLiteral("Demo mode: simulated gauges, no real Bluetooth device is used.")
               : QStringLiteral("Demo mode: simulated gauges of %1, no real Bluetooth device is used.").arg(folder);
}

} // namespace qc
