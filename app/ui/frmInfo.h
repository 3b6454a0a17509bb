#pragma once

#include <QDialog>

#include "data/gauge_profile.h"

class QLabel;

namespace qc {

// Device information: the gauge, its software and probe, and this
// program's version. Filled each time it becomes active.
class frmInfo : public QDialog {
    Q_OBJECT
public:
    frmInfo(const GaugeContext& gauge, int language, QWidget* parent = nullptr);

    // Fills the fields from the gauge as it is now.
    void Form_Activate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const GaugeContext& gauge_;
    int language_;
    QLabel* lblGeraet = nullptr;
    QLabel* txtGeraet = nullptr;
    QLabel* lblPC = nullptr;
    QLabel* txtPC = nullptr;
    QLabel* lblSoftware = nullptr;
    QLabel* txtSoftware = nullptr;
    QLabel* lblAdresse = nullptr;
    QLabel* txtAdresse = nullptr;
    QLabel* lblSondenversion = nullptr;
    QLabel* txtSondenversion = nullptr;
    QLabel* lblSondentyp = nullptr;
    QLabel* txtSondentyp = nullptr;
};

} // namespace qc
