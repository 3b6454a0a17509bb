// Memory controls of the main window that depend on the gauge class.
#include "shell/session.h"
#include "shell/table_controller.h"
#include "shell/table_view.h"
#include "shell/texts.h"

namespace qc {

namespace {

constexpr int kMemoryEmptyKey = 33;
constexpr int kReadyKey = 42;
constexpr std::chrono::seconds kReadyNoticeDelay{1};

} // namespace

void TableController::ArrangeMemoryControls()
{
    const QString cls = session_.Gauge.profile.ProfileClass.trimmed();
    if (cls == u"X")
        view_.ArrangeMemoryControls(MemoryControls::None);
    else if (cls == u"4" || cls == u"5")
        view_.ArrangeMemoryControls(MemoryControls::Selector);
    else
        SyncTexts(); // only the memory caption is renewed
}

void TableController::Meldung_Speicher_Leer()
{
    if (session_.Gauge.profile.ProfileLink == u"L") {
        view_.ShowMemoryStatus(Message(kMemoryEmptyKey), true);
    } else {
        session_.Clock().Delay(kReadyNoticeDelay);
        view_.ShowMemoryStatus(Message(kReadyKey), true);
    }
    view_.SetWorkingControlsEnabled(true);
}

} // namespace qc
