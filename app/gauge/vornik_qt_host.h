// Hosts the control in a Qt program: its events reach the program while it
// is idle (a socket notifier on the control's descriptor calls DoEvents),
// and the program's events keep flowing while the control waits (the pump
// hook processes them).
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace qc {

class VornikControl;

class VornikQtHost : public QObject {
    Q_OBJECT
public:
    explicit VornikQtHost(VornikControl& control, QObject* parent = nullptr);
    ~VornikQtHost() override;

    // Longest time one pump call spends processing the program's events.
    static constexpr int kPumpMillis = 10;

private:
    static void pump(void* context);
    void onActivated();

    VornikControl& control_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool pumping_ = false;
};

} // namespace qc
