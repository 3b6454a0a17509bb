#pragma once

#include <QDialog>
#include <QTime>
#include <array>

#include "shell/prompt.h"
#include "shell/session.h"

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace qc {

// Project data dialog: six labelled texts, a date and a time that head
// every report of the gauge. Labels and texts come from the settings files
// of the session; "Speichern" takes the texts and asks for them to be saved.
class frmProjekt : public QDialog {
    Q_OBJECT
public:
    frmProjekt(Session& session, Prompt& prompt, QWidget* parent = nullptr);

    // Fills the controls from what "PI" and "PL" loaded and shows the dialog.
    void ShowLoaded();
    // Copies the loaded labels, texts and date into the controls.
    void TakeLoadedValues();

    void cmdSpeichern_Click();
    void cmdLoeschen_Click();
    // Captions and labels in the session's language.
    void ApplyTexts();
    // The time that heads the reports.
    QTime Time() const;

signals:
    // The texts were taken into the session; the caller writes the file.
    void saveRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The controls; each carries its name as objectName.
    // Slots 1..6 as on the dialog; index 0 is unused.
    std::array<QLabel*, kProjectFields + 1> lblFelder{};
    std::array<QLineEdit*, kProjectFields + 1> txtFelder{};
    QDateEdit* DTPDate = nullptr;
    QTimeEdit* DTPTime = nullptr;
    QPushButton* cmdSpeichern = nullptr;
    QPushButton* cmdLoeschen = nullptr;
    QGroupBox* frmRahmen = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lblDtp = nullptr;

    Session& m_session;
    Prompt& m_prompt;
    bool m_dateSet = false; // false until a date was loaded or set
};

} // namespace qc
