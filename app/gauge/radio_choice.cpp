#include "gauge/radio_choice.h"

#include "gauge/vornik_control.h"
#include "shell/demo_mode.h"

namespace qc {

bool AdapterPresent(QString* why)
{
    VornikControl probe;
    if (!probe.isCreated() || !probe.startScanning(QString())) {
        if (why)
            *why = probe.lastError().description;
        return false;
    }
    probe.stopScanning();
    return true;
}

QString ChooseRadio(bool demoRequested, const QString& executableDir, const QString& folder)
{
    if (demoRequested) {
        EnterDemoMode(executableDir, folder);
        return DemoAnnouncement(folder);
    }
    if (IsDemoMode())
        return DemoAnnouncement(QString());
    QString why;
    if (AdapterPresent(&why))
        return {};
    EnterDemoMode(executableDir, QString());
    return why + QStringLiteral(" ") + DemoAnnouncement(QString());
}

} // namespace qc
