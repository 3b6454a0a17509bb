#pragma once

#include <QDialog>
#include <QLocale>

#include "data/limits.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qc {

class Prompt;

// Limits dialog: minimum, maximum, target and the 80/20 rule. Entries take
// effect in `limits` at once; "Speichern" only says they are to be stored.
class frmWerte : public QDialog {
    Q_OBJECT
public:
    // `profileRule` "-" hides the 80/20 rule and its explanation.
    frmWerte(Limits& limits, int language, const QString& profileRule, Prompt& prompt,
             const QLocale& locale = QLocale(), QWidget* parent = nullptr);

    bool LimitsChanged() const { return limitsChanged_; }

    enum class Box { Min, Max, Target };
    // Validation of one box when it loses the focus; false keeps the focus there.
    bool ValidateBox(Box box);
    void chk8020_Click();
    void cmdLoeschen_Click();
    void cmdSpeichern_Click();
    void cmdInfo_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The controls; each carries its name as objectName.
    QGroupBox* Frame1 = nullptr;
    QLineEdit* txtMin = nullptr;
    QLineEdit* txtMax = nullptr;
    QLineEdit* txtSollwert = nullptr;
    QLabel* lblMin = nullptr;
    QLabel* lblMax = nullptr;
    QLabel* lblSollwert = nullptr;
    QCheckBox* chk8020 = nullptr;
    QPushButton* cmdSpeichern = nullptr;
    QPushButton* cmdLoeschen = nullptr;
    QPushButton* cmdInfo = nullptr;

    void BuildLayout(const QString& profileRule);
    void ShowValues();
    void CheckConsistency();
    void Tell(const QString& text, bool information = false);
    QLineEdit* BoxEdit(Box box) const;

    Limits& limits_;
    int language_;
    Prompt& prompt_;
    QLocale locale_;
    bool limitsChanged_ = false;
    bool validating_ = false;
};

} // namespace qc
