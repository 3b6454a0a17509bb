#include "gauge/vornik_qt_host.h"

#include <QCoreApplication>

#include "gauge/vornik_control.h"

namespace qc {

VornikQtHost::VornikQtHost(VornikControl& control, QObject* parent) : QObject(parent), control_(control)
{
    const int fd = control_.eventDescriptor();
    if (fd >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &VornikQtHost::onActivated);
    }
    control_.setPumpHook(&VornikQtHost::pump, this);
}

VornikQtHost::~VornikQtHost()
{
    control_.setPumpHook(nullptr, nullptr);
}

void VornikQtHost::onActivated()
{
    // Inside the control's own wait the control runs its rounds itself.
    if (pumping_)
        return;
    control_.doEvents();
}

void VornikQtHost::pump(void* context)
{
    auto* host = static_cast<VornikQtHost*>(context);
    if (host->pumping_)
        return;
    // The control's own round serves its descriptor; the notifier would
    // only fire again and again meanwhile.
    host->pumping_ = true;
    if (host->notifier_)
        host->notifier_->setEnabled(false);
    QCoreApplication::processEvents(QEventLoop::AllEvents, kPumpMillis);
    if (host->notifier_)
        host->notifier_->setEnabled(true);
    host->pumping_ = false;
}

} // namespace qc
