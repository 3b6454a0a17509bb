// Which controls of the main window can be used, and the memory selector captions.
#include <QPushButton>
#include <QRadioButton>

#include "ui/frmTransfer.h"
#include "shell/texts.h"

namespace qc {
namespace {

constexpr int kOnlineKey = 8; // MessageTexts "Online"
const QString kZeroCount = QStringLiteral(" (0)");

} // namespace

// The working controls: disabled together while the program is busy.
void frmTransfer::SetWorkingControlsEnabled(bool enabled)
{
    QWidget* const group[] = {
        m_ui.optFE,    m_ui.optOnline,  m_ui.cmdOpen,    m_ui.cmdSave,
        m_ui.cmdprint, m_ui.cmdWord,    m_ui.cmdClipboard, m_ui.cmdExcel,
        m_ui.cmdLesen, m_ui.cmdEnde,    m_ui.cmdWerte,   m_ui.cmdProjekt,
        m_ui.cmdFlexTabelleloeschen, m_ui.cmdFlexZeileLoeschen, m_ui.cmdSort, m_ui.cmdChart,
        m_ui.cmdGross, m_ui.cmdMaterial,
    };
    for (QWidget* w : group)
        w->setEnabled(enabled);
}

void frmTransfer::Block_Buttons()
{
    SetWorkingControlsEnabled(false);
}

void frmTransfer::Unblock_Buttons()
{
    SetWorkingControlsEnabled(true);
}

void frmTransfer::Button_setzen_Init()
{
    PrepareTableForInit();
    if (TableMode == 0)
        m_ui.optFE->setText(MemoryOptionCaption + kZeroCount);
    else if (TableMode == 2)
        m_ui.optOnline->setText(MessageText(Language(), kOnlineKey) + kZeroCount);
}

// "FE-Speicher (12)" + " (25)" -> "FE-Speicher (25)".
void frmTransfer::Button_setzen()
{
    if (TableMode == 0) {
        QString caption = m_ui.optFE->text();
        const qsizetype bracket = caption.indexOf(u'(');
        if (bracket >= 0)
            caption.truncate(std::max<qsizetype>(0, bracket - 1));
        m_ui.optFE->setText(caption + CountSuffix);
    } else if (TableMode == 2) {
        m_ui.optOnline->setText(MessageText(Language(), kOnlineKey) + CountSuffix);
    }
    CountSuffix = kZeroCount;
}

void frmTransfer::OptButton_setzen()
{
    if (m_gauge.profile.ProfileClass != QStringLiteral("X") && MemoryShown)
        m_ui.optFE->setFocus();
    else
        m_ui.optOnline->setFocus();
}

} // namespace qc
