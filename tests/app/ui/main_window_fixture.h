#pragma once

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QWidget>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "../shell/scripted_prompt.h"
#include "../shell/shell_test_env.h"
#include "../shell/stepped_clock.h"
#include "ui/frmTransfer.h"

namespace qc::test {

// The controls of a main window, found by their names as a user's script
// would find them; the window itself hands none out.
inline MainWindowControls Controls(const QWidget& window)
{
    MainWindowControls c;
    auto find = [&window](auto*& control, const char* name) {
        using T = std::remove_pointer_t<std::remove_reference_t<decltype(control)>>;
        control = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
    };
#define QC_FIND(member) find(c.member, #member)
    QC_FIND(mnuDatei);
    QC_FIND(mnuEnd);
    QC_FIND(Language);
    QC_FIND(English);
    QC_FIND(German);
    QC_FIND(mnuTastaturevent);
    QC_FIND(mnuSetTime);
    QC_FIND(mnuHelp);
    QC_FIND(mnuInfo);
    QC_FIND(mnuHelp1);
    QC_FIND(Frame2);
    QC_FIND(Frame6);
    QC_FIND(FrameWerte);
    QC_FIND(FrameBefehle);
    QC_FIND(Frame4);
    QC_FIND(FrameStatistik);
    QC_FIND(frmPic);
    QC_FIND(cmdConnect);
    QC_FIND(cmdOpen);
    QC_FIND(cmdSave);
    QC_FIND(cmdprint);
    QC_FIND(cmdEnde);
    QC_FIND(cmdClipboard);
    QC_FIND(cmdWord);
    QC_FIND(cmdExcel);
    QC_FIND(cmdSort);
    QC_FIND(cmdChart);
    QC_FIND(cmdFlexZeileLoeschen);
    QC_FIND(cmdFlexTabelleloeschen);
    QC_FIND(cmdStop);
    QC_FIND(cmdProjekt);
    QC_FIND(cmdWerte);
    QC_FIND(cmdLesen);
    QC_FIND(cmdRefresh);
    QC_FIND(cmdMaterial);
    QC_FIND(cmdGross);
    QC_FIND(optFE);
    QC_FIND(optOnline);
    QC_FIND(cmbSpeicher);
    QC_FIND(lblSpeicher);
    QC_FIND(txtWait);
    QC_FIND(txtSpeicher);
    QC_FIND(txtMittelwert);
    QC_FIND(lblBatterie);
    QC_FIND(MSFlex);
    QC_FIND(lstStat);
    QC_FIND(MSChart1);
    QC_FIND(picQuen);
    QC_FIND(picPL);
    QC_FIND(picUsb);
    QC_FIND(picBth);
    QC_FIND(picBthBlitz);
    QC_FIND(picRahmen);
    QC_FIND(BattIcon);
#undef QC_FIND
    return c;
}

} // namespace qc::test

namespace qc {

// A main window started in private folders on a clock that does not
// sleep; message boxes are collected instead of shown.
class MainWindowTest : public ::testing::Test {
protected:
    test::ShellFolders folders;
    test::SteppedClock clock;
    Session session{clock};
    frmTransfer window{session};
    test::ScriptedPrompt prompt;
    std::vector<std::pair<QString, QString>> messages;

    MainWindowTest() { window.SetPrompt(&prompt); }

    // Message boxes told so far, as (title, text).
    std::vector<std::pair<QString, QString>>& Messages()
    {
        messages.clear();
        for (int i = 0; i < prompt.told.size(); ++i)
            messages.emplace_back(prompt.titles.value(i), prompt.told[i]);
        return messages;
    }

    MainWindowControls ui() const { return test::Controls(window); }

    template <typename T>
    T* Control(const char* name)
    {
        T* control = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
};

} // namespace qc
