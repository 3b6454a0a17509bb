// Which controls of the main window can be used, and the table options.
#include <QPushButton>
#include <QRadioButton>

#include "ui/frmTransfer.h"

namespace qc {

// The working controls: disabled together while the program is busy.
void frmTransfer::SetWorkingControlsEnabled(bool enabled)
{
    QWidget* const group[] = {
        m_ui.optFE,
        m_ui.optOnline,
        m_ui.cmdOpen,
        m_ui.cmdSave,
        m_ui.cmdprint,
        m_ui.cmdWord,
        m_ui.cmdClipboard,
        m_ui.cmdExcel,
        m_ui.cmdLesen,
        m_ui.cmdEnde,
        m_ui.cmdWerte,
        m_ui.cmdProjekt,
        m_ui.cmdFlexTabelleloeschen,
        m_ui.cmdFlexZeileLoeschen,
        m_ui.cmdSort,
        m_ui.cmdChart,
        m_ui.cmdGross,
        m_ui.cmdMaterial,
    };
    for (QWidget* w : group)
        w->setEnabled(enabled);
}

void frmTransfer::Block_Buttons() { SetWorkingControlsEnabled(false); }

void frmTransfer::Unblock_Buttons() { SetWorkingControlsEnabled(true); }

void frmTransfer::OptButton_setzen()
{
    if (m_session.Gauge.profile.ProfileClass != QStringLiteral("X") && m_session.MemoryShown)
        m_ui.optFE->setFocus();
    else
        m_ui.optOnline->setFocus();
}

} // namespace qc
