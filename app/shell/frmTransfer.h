#pragma once

#include <QMainWindow>

namespace qc {

// The main window of the program.
class frmTransfer : public QMainWindow {
    Q_OBJECT
public:
    explicit frmTransfer(QWidget* parent = nullptr);
};

} // namespace qc
