// Memory controls of the main window that depend on the gauge class.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "shell/table_controller.h"
#include "shell/delay.h"
#include "ui/frmTransfer.h"
#include "shell/texts.h"

namespace qc {

namespace {

constexpr int kMemoryEmptyKey = 33;
constexpr int kReadyKey = 42;
constexpr int kMemoryBoxWidenedTwips = 1400;
constexpr int kTwipsPerPixel = 15;

} // namespace

void TableController::ArrangeMemoryControls()
{
    const MainWindowControls& ui = window_.controls();
    const QString cls = window_.gauge().profile.ProfileClass.trimmed();
    if (cls == u"X") {
        ui.cmdLesen->hide();
        ui.optFE->hide();
        ui.cmdRefresh->hide();
    } else if (cls == u"4" || cls == u"5") {
        ui.cmdLesen->show();
        ui.optFE->hide();
        ui.cmbSpeicher->show();
        ui.cmdRefresh->show();
    } else {
        SyncTexts(); // only the memory caption is renewed
    }
}

void TableController::Meldung_Speicher_Leer()
{
    QLineEdit* box = window_.controls().txtSpeicher;
    box->setMinimumWidth(std::max(box->minimumWidth(), kMemoryBoxWidenedTwips / kTwipsPerPixel));
    if (window_.gauge().profile.ProfileLink == u"L") {
        box->setText(Message(kMemoryEmptyKey));
        box->show();
    } else {
        Delay(1);
        box->setText(Message(kReadyKey));
    }
    window_.Unblock_Buttons();
}

} // namespace qc
