#include "ui/frmProjekt.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "data/cp1252.h"
#include "shell/texts.h"

namespace qc {
namespace {

constexpr int kSaveKey = 43;      // MenuTexts "Speichern"
constexpr int kClearKey = 44;     // MenuTexts "Löschen"
constexpr int kFrameKey = 38;     // MessageTexts "Projektdaten"
constexpr int kDateLabelKey = 46; // MessageTexts "Datum/Uhrzeit"
constexpr int kCommandsKey = 21;  // MessageTexts "Befehle"

} // namespace

frmProjekt::frmProjekt(Session& session, Prompt& prompt, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompt(prompt)
{
    setObjectName(QStringLiteral("frmProjekt"));
    frmRahmen = new QGroupBox;
    frmRahmen->setObjectName(QStringLiteral("frmRahmen"));
    auto* fields = new QFormLayout(frmRahmen);
    for (int n = 1; n <= kProjectFields; ++n) {
        lblFelder[n] = new QLabel;
        lblFelder[n]->setObjectName(QStringLiteral("lblFelder%1").arg(n));
        txtFelder[n] = new QLineEdit;
        txtFelder[n]->setObjectName(QStringLiteral("txtFelder%1").arg(n));
        txtFelder[n]->setMinimumWidth(260);
        fields->addRow(lblFelder[n], txtFelder[n]);
    }
    lblDtp = new QLabel;
    lblDtp->setObjectName(QStringLiteral("lblDtp"));
    DTPDate = new QDateEdit;
    DTPDate->setObjectName(QStringLiteral("DTPDate"));
    DTPDate->setCalendarPopup(true);
    DTPTime = new QTimeEdit;
    DTPTime->setObjectName(QStringLiteral("DTPTime"));
    DTPTime->setDisplayFormat(QStringLiteral("HH:mm"));
    auto* when = new QHBoxLayout;
    when->addWidget(DTPDate);
    when->addWidget(DTPTime);
    fields->addRow(lblDtp, when);

    Frame1 = new QGroupBox;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    cmdSpeichern = new QPushButton;
    cmdSpeichern->setObjectName(QStringLiteral("cmdSpeichern"));
    cmdLoeschen = new QPushButton;
    cmdLoeschen->setObjectName(QStringLiteral("cmdLoeschen"));
    auto* buttons = new QHBoxLayout(Frame1);
    buttons->addWidget(cmdLoeschen);
    buttons->addStretch(1);
    buttons->addWidget(cmdSpeichern);

    auto* page = new QVBoxLayout(this);
    page->addWidget(frmRahmen);
    page->addWidget(Frame1);

    connect(cmdSpeichern, &QPushButton::clicked, this, &frmProjekt::cmdSpeichern_Click);
    connect(cmdLoeschen, &QPushButton::clicked, this, &frmProjekt::cmdLoeschen_Click);
}

void frmProjekt::TakeLoadedValues()
{
    const SettingsStore& store = m_session.Settings;
    for (int n = 1; n <= kProjectFields; ++n) {
        lblFelder[n]->setText(store.projectLabels.Captions[n - 1]);
        txtFelder[n]->setText(store.projectData.Texts[n - 1]);
    }
    if (store.projectData.Date.isValid()) {
        DTPDate->setDate(store.projectData.Date);
        m_dateSet = true;
    }
}

void frmProjekt::ShowLoaded()
{
    TakeLoadedValues();
    show();
    raise();
    activateWindow();
}

void frmProjekt::showEvent(QShowEvent* event)
{
    ApplyTexts();
    if (!m_dateSet) {
        DTPDate->setDate(QDate::currentDate());
        DTPTime->setTime(QTime::currentTime());
        m_dateSet = true;
    }
    QDialog::showEvent(event);
}

QTime frmProjekt::Time() const { return DTPTime->time(); }

void frmProjekt::ApplyTexts()
{
    const int L = m_session.Language();
    for (int n = 1; n <= kProjectFields; ++n)
        lblFelder[n]->setText(m_session.Settings.projectLabels.Captions[n - 1]);
    cmdSpeichern->setText(MenuText(L, kSaveKey));
    cmdLoeschen->setText(MenuText(L, kClearKey));
    frmRahmen->setTitle(MessageText(L, kFrameKey));
    lblDtp->setText(MessageText(L, kDateLabelKey));
    setWindowTitle(MessageText(L, kCaptionTextKey));
    Frame1->setTitle(MessageText(L, kCommandsKey));
}

// Texts the settings file's code page cannot hold are named before
// anything is saved; the dialog stays open so they can be changed.
void frmProjekt::cmdSpeichern_Click()
{
    QString unstorable;
    for (int n = 1; n <= kProjectFields; ++n)
        unstorable += Cp1252Unstorable(txtFelder[n]->text());
    if (!unstorable.isEmpty()) {
        m_prompt.Tell(MessageText(m_session.Language(), kCaptionTextKey),
                      UnstorableCharactersText(m_session.Language(), Cp1252Unstorable(unstorable)), Prompt::Icon::None);
        return;
    }
    ProjectData& data = m_session.Settings.projectData;
    for (int n = 1; n <= kProjectFields; ++n)
        data.Texts[n - 1] = txtFelder[n]->text();
    data.Date = DTPDate->date();
    emit saveRequested();
    hide();
}

void frmProjekt::cmdLoeschen_Click()
{
    DTPDate->setDate(QDate::currentDate());
    DTPTime->setTime(QTime(0, 0));
    for (int n = 1; n <= kProjectFields; ++n)
        txtFelder[n]->clear();
}

} // namespace qc
