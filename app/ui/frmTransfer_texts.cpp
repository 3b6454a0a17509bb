// Captions of the main window in the current language, and the language menu.
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include "shell/demo_mode.h"
#include "shell/table_controller.h"
#include "shell/texts.h"
#include "ui/frmProjekt.h"
#include "ui/frmTransfer.h"

namespace qc {
namespace {

// Menu entries and buttons captioned from MenuTexts.
struct MenuCaption {
    QAction* MainWindowControls::*Action;
    int Key;
};
struct ButtonCaption {
    QPushButton* MainWindowControls::*Button;
    int Key;
};

constexpr MenuCaption kMenuEntries[] = {
    {&MainWindowControls::mnuEnd, 4},   {&MainWindowControls::English, 31},
    {&MainWindowControls::German, 32},  {&MainWindowControls::mnuTastaturevent, 45},
    {&MainWindowControls::mnuInfo, 41}, {&MainWindowControls::mnuHelp1, 42},
};
constexpr ButtonCaption kMenuTextButtons[] = {
    {&MainWindowControls::cmdOpen, 1},
    {&MainWindowControls::cmdSave, 2},
    {&MainWindowControls::cmdprint, 3},
    {&MainWindowControls::cmdEnde, 5},
};
constexpr ButtonCaption kMessageTextButtons[] = {
    {&MainWindowControls::cmdProjekt, 38},
    {&MainWindowControls::cmdWerte, 39},
    {&MainWindowControls::cmdLesen, 30},
    {&MainWindowControls::cmdFlexZeileLoeschen, 40},
    {&MainWindowControls::cmdFlexTabelleloeschen, 41},
    {&MainWindowControls::cmdStop, 55},
};

// The letter of each menu text the Alt key opens it with, German and
// English; distinct within each menu.
struct Mnemonic {
    int Key;
    char16_t German;
    char16_t English;
};
constexpr Mnemonic kMnemonics[] = {
    {0, u'D', u'F'},  {30, u'p', u'L'}, {45, u'T', u'K'}, {40, u'H', u'H'}, // menu bar
    {4, u'b', u'x'},                                                        // file menu
    {31, u'E', u'E'}, {32, u'D', u'G'},                                     // language menu
    {41, u'I', u'I'}, {42, u'B', u'M'},                                     // help menu
};

constexpr int kConnectKey = 50;      // MenuTexts "Verbinden"
constexpr int kDisconnectKey = 52;   // MenuTexts "Trennen"
constexpr int kConnectedKey = 53;    // MenuTexts "Verbunden"
constexpr int kNotConnectedKey = 55; // MenuTexts "Nicht Verbunden"
constexpr int kReadyKey = 42;        // MessageTexts "BEREIT"
constexpr int kBatteryKey = 73;      // MessageTexts "Batterie"
constexpr int kValuesFrameKey = 20;  // MessageTexts "Messwerte"
constexpr int kCommandsFrameKey = 21;
constexpr int kCopyFrameKey = 23;

} // namespace

QString MenuTextWithMnemonic(int language, int key)
{
    QString text = MenuText(language, key);
    text.replace(u'&', QStringLiteral("&&"));
    for (const Mnemonic& m : kMnemonics) {
        if (m.Key != key)
            continue;
        const qsizetype at = text.indexOf(QChar(ClampLanguage(language) == kEnglish ? m.English : m.German));
        if (at >= 0)
            text.insert(at, u'&');
    }
    return text;
}

void frmTransfer::ApplyMenuTexts(int language)
{
    m_ui.mnuDatei->setTitle(MenuTextWithMnemonic(language, 0));
    m_ui.Language->setTitle(MenuTextWithMnemonic(language, 30));
    m_ui.mnuHelp->setTitle(MenuTextWithMnemonic(language, 40));
    for (const MenuCaption& m : kMenuEntries)
        (m_ui.*m.Action)->setText(MenuTextWithMnemonic(language, m.Key));
}

void frmTransfer::ApplyTexts()
{
    const int L = m_session.Language();
    ApplyMenuTexts(L);
    for (const ButtonCaption& b : kMenuTextButtons)
        (m_ui.*b.Button)->setText(MenuText(L, b.Key));
    for (const ButtonCaption& b : kMessageTextButtons)
        (m_ui.*b.Button)->setText(MessageText(L, b.Key));

    if (m_session.Connected) {
        m_ui.txtWait->setText(DemoMarked(MenuText(L, kConnectedKey)));
        m_ui.cmdConnect->setText(MenuText(L, kDisconnectKey));
    } else {
        // Nothing runs while no gauge is connected: the text says so
        // instead of asking the user to wait.
        m_ui.txtWait->setText(DemoMarked(MenuText(L, kNotConnectedKey)));
        m_ui.cmdConnect->setText(MenuText(L, kConnectKey));
    }
    m_ui.txtSpeicher->setText(MessageText(L, kReadyKey));
    m_ui.lblBatterie->setText(MessageText(L, kBatteryKey));
    m_ui.FrameWerte->setTitle(MessageText(L, kValuesFrameKey));
    m_ui.FrameBefehle->setTitle(MessageText(L, kCommandsFrameKey));
    m_ui.Frame4->setTitle(MessageText(L, kCopyFrameKey));
    RefreshStatus();
    emit textsApplied(L);
    QCoreApplication::processEvents();
}

void frmTransfer::TickLanguageMenu()
{
    m_ui.German->setChecked(m_session.Language() == kGerman);
    m_ui.English->setChecked(m_session.Language() == kEnglish);
}

// Texts, grid header, captions and statistics in the new language; an open
// project data window follows with its labels.
void frmTransfer::SwitchLanguage(int language)
{
    m_session.SetLanguage(language);
    ApplyTexts();
    m_table->InitGrid();
    m_table->RefreshMemoryOption();
    Voreinstellungen(settings_mode::LanguageSave);
    Voreinstellungen(settings_mode::ProjectLabelsLoad);
    if (m_projekt)
        m_projekt->ApplyTexts();
    m_table->RecalcStatistics();
    m_table->ShowLimitsCaption();
    TickLanguageMenu();
    if (m_session.MemoryShown)
        m_ui.MSFlex->setFocus();
}

void frmTransfer::English_Click() { SwitchLanguage(kEnglish); }

void frmTransfer::German_Click() { SwitchLanguage(kGerman); }

} // namespace qc
