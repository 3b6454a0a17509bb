#include "ui/message_box_prompt.h"

#include <QApplication>
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

// A dialog open above the window owns the box, so it stays in front of it.
QWidget* MessageBoxPrompt::Parent() const
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return parent_;
}

void MessageBoxPrompt::Tell(const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, Parent());
    box.exec();
}

bool MessageBoxPrompt::AskYesNo(const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, Parent());
    return box.exec() == QMessageBox::Yes;
}

} // namespace qc
