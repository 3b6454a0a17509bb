// Ending the program: menu, exit button and closing the window take one path.
#include <QApplication>
#include <QCloseEvent>

#include "ui/frmTransfer.h"

namespace qc {
namespace {

// How long the end waits for a connected gauge to report its disconnect.
constexpr std::chrono::milliseconds kDisconnectDeadline{3000};
constexpr std::chrono::milliseconds kPauseBeforeEnd{300};

} // namespace

void frmTransfer::mnuEnd_Click()
{
    if (m_ending)
        return;
    m_ending = true;
    SaveWindowGeometry();
    WaitClock& clock = m_session.Clock();
    DisconnectGaugeAtEnd();
    if (m_session.Connected) {
        // The gauge link clears the flag from its disconnect event; the wait
        // is bounded so a silent gauge cannot keep the program open.
        clock.PumpEventsUntil([this] { return !m_session.Connected; }, kDisconnectDeadline);
    }
    clock.Delay(kPauseBeforeEnd);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this)
            w->close();
    }
    close();
    QCoreApplication::quit();
}

void frmTransfer::closeEvent(QCloseEvent* event)
{
    if (!m_ending)
        mnuEnd_Click();
    event->accept();
}

} // namespace qc
