#pragma once

#include <QDialog>

#include "gauge/device_info.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qc {

// Set-time dialog: shows the gauge clock as it runs and sets it to the PC
// clock. The clock loop runs while the dialog is open and ends on Esc, on
// the update button and on closing; live readings are subscribed again
// afterwards.
class frmTime : public QDialog {
    Q_OBJECT
public:
    frmTime(GaugeLink& link, int language, QWidget* parent = nullptr);

    void cmdUpdate_Click();
    // Ends the clock loop (Esc, closing).
    void StopLoop() { stop_ = true; }
    bool LoopRunning() const { return session_.Running(); }
    int ReadsShown() const { return reads_; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void RunClock();
    void Finish();

    GaugeLink& link_;
    GaugeClockSession session_;
    int language_;
    bool stop_ = false;
    bool started_ = false;
    bool closing_ = false;
    bool finished_ = false;
    int reads_ = 0;
    QLineEdit* txtDatumZeit = nullptr;
    QLabel* lblErgebnis = nullptr;
    QPushButton* cmdUpdate = nullptr;
};

} // namespace qc
