#pragma once

#include <QDialog>
#include <functional>

#include "data/key_forwarding_settings.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qc {

class Prompt;

// Key forwarding dialog: whether and where online readings are typed, and
// what of each reading. OK stores the choice in `settings`; writing the
// file and starting the target are the caller's part.
class frmTastatur : public QDialog {
    Q_OBJECT
public:
    using FileChooser = std::function<QString(QWidget* parent)>;

    // `targetStarted` is cleared when the target program changes.
    // `prompt` tells why a target path cannot be stored.
    frmTastatur(KeyForwardingSettings& settings, bool& targetStarted, int language, Prompt& prompt,
                FileChooser chooseFile = {}, QWidget* parent = nullptr);

    void cmdOk_Click();
    void txtAnwendung_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The controls; each carries its name as objectName.
    QGroupBox* Frame1 = nullptr;
    QLabel* lblErklaerung = nullptr;
    QCheckBox* chkAktiv = nullptr;
    QLabel* lblAnwendung = nullptr;
    QLineEdit* txtAnwendung = nullptr;
    QGroupBox* FrameWerte = nullptr;
    QCheckBox* chkNr = nullptr;
    QCheckBox* chkDatum = nullptr;
    QCheckBox* chkEinheit = nullptr;
    QCheckBox* chkMaterial = nullptr;
    QGroupBox* FrameZeilenende = nullptr;
    QRadioButton* optEnter = nullptr;
    QRadioButton* optKeins = nullptr;
    QPushButton* cmdOk = nullptr;

    void BuildLayout();
    void ShowSettings();

    KeyForwardingSettings& settings_;
    bool& targetStarted_;
    int language_;
    Prompt& prompt_;
    FileChooser chooseFile_;
};

} // namespace qc
