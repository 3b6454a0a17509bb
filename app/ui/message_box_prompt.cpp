#include "ui/message_box_prompt.h"

#include <QMessageBox>

namespace qc {

namespace {

QMessageBox::Icon BoxIcon(Prompt::Icon icon)
{
    switch (icon) {
    case Prompt::Icon::Information:
        return QMessageBox::Information;
    case Prompt::Icon::Question:
        return QMessageBox::Question;
    case Prompt::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void MessageBoxPrompt::Tell(QWidget* parent, const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool MessageBoxPrompt::AskYesNo(QWidget* parent, const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

} // namespace qc
