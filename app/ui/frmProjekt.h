#pragma once

#include <QDialog>
#include <array>

#include "shell/settings_store.h"

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace qc {

class frmTransfer;

// Project data dialog: six labelled texts, a date and a time that head
// every report of the gauge. Labels and texts come from the settings files.
class frmProjekt : public QDialog {
    Q_OBJECT
public:
    explicit frmProjekt(frmTransfer* main);

    // Fills the controls from what "PI" and "PL" loaded and shows the dialog.
    void ShowLoaded();
    // Copies the loaded labels, texts and date into the controls.
    void TakeLoadedValues();

    void cmdSpeichern_Click();
    void cmdLoeschen_Click();

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

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ApplyTexts();

    frmTransfer* m_main;
    bool m_dateSet = false; // false until a date was loaded or set
};

} // namespace qc
