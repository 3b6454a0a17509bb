#include "shell/frmTransfer.h"

#include "shell/app_identity.h"

namespace qc {

frmTransfer::frmTransfer(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmTransfer"));
    setWindowTitle(MainCaption());
    resize(1100, 720);
}

} // namespace qc
