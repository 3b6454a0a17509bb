#include "ui/message_box_prompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "shell/texts.h"

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

struct ButtonCaption {
    QMessageBox::StandardButton Button;
    const char16_t* German;
    const char16_t* English;
};

constexpr ButtonCaption kButtonCaptions[] = {
    {QMessageBox::Ok, u"OK", u"OK"},
    {QMessageBox::Yes, u"&Ja", u"&Yes"},
    {QMessageBox::No, u"&Nein", u"&No"},
    {QMessageBox::Cancel, u"Abbrechen", u"Cancel"},
};

} // namespace

void SpeakLanguage(QMessageBox& box, int language)
{
    const bool english = ClampLanguage(language) == kEnglish;
    for (const ButtonCaption& c : kButtonCaptions) {
        if (QAbstractButton* button = box.button(c.Button))
            button->setText(QString::fromUtf16(english ? c.English : c.German));
    }
}

// A dialog open above the window owns the box, so it stays in front of it.
QWidget* MessageBoxPrompt::Parent() const
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return parent_;
}

int MessageBoxPrompt::Exec(QMessageBox& box)
{
    SpeakLanguage(box, language_ ? language_() : kGerman);
    if (onShow_)
        onShow_(box);
    return box.exec();
}

void MessageBoxPrompt::Tell(const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, Parent());
    Exec(box);
}

bool MessageBoxPrompt::AskYesNo(const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, Parent());
    // Closing the box (Esc, the window's close button) answers No.
    box.setEscapeButton(QMessageBox::No);
    return Exec(box) == QMessageBox::Yes;
}

} // namespace qc
