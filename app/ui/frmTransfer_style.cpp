// The look of the main window: light panels, rounded frames, one accent colour.
#include "ui/frmTransfer.h"

namespace qc {
namespace {

const char* const kStyleSheet = R"(
QMainWindow#frmTransfer { background: #f3f5f8; }
QMenuBar { background: #ffffff; border-bottom: 1px solid #d5dbe3; padding: 2px 4px; }
QMenuBar::item { padding: 4px 10px; border-radius: 4px; }
QMenuBar::item:selected { background: #e6eef9; }
QGroupBox {
    background: #ffffff; border: 1px solid #d5dbe3; border-radius: 8px;
    margin-top: 16px; padding: 12px 8px 8px 8px; font-weight: 600;
}
QGroupBox::title { subcontrol-origin: margin; left: 12px; padding: 0 4px; color: #1e5aa8; }
QGroupBox QWidget { font-weight: normal; }
QPushButton {
    background: #ffffff; border: 1px solid #c3ccd8; border-radius: 6px;
    padding: 6px 10px; color: #1f2a37;
}
QPushButton:hover { background: #eef3fa; border-color: #1e5aa8; }
QPushButton:pressed { background: #dce7f6; }
QPushButton:disabled { color: #a0a8b3; background: #f5f6f8; border-color: #dde2e8; }
QPushButton#cmdConnect { background: #1e5aa8; color: #ffffff; border: 1px solid #1e5aa8; font-weight: 600; }
QPushButton#cmdConnect:hover { background: #174a8c; }
QLineEdit, QComboBox { border: 1px solid #c3ccd8; border-radius: 5px; padding: 4px 6px; background: #ffffff; }
QLineEdit:read-only { background: #f7f9fb; }
QLineEdit#txtSpeicher { color: #1e5aa8; font-weight: 600; }
QTableView, QListWidget {
    border: 1px solid #d5dbe3; border-radius: 6px; background: #ffffff;
    gridline-color: #e3e7ed; selection-background-color: #cfe0f7; selection-color: #1f2a37;
}
QTableView { alternate-background-color: #f8fafc; }
QHeaderView::section {
    background: #e9eef5; color: #1f2a37; border: none; border-right: 1px solid #d5dbe3;
    border-bottom: 1px solid #d5dbe3; padding: 6px 8px; font-weight: 600;
}
QLabel#txtWait { font-weight: 600; }
)";

} // namespace

QString frmTransfer::StyleSheet() { return QString::fromLatin1(kStyleSheet); }

} // namespace qc
