#pragma once

#include <functional>

#include "shell/prompt.h"

class QMessageBox;
class QWidget;

namespace qc {

// Captions the buttons of `box` in the program's language ("Ja"/"Nein" for
// a German question), whatever language the desktop runs in.
void SpeakLanguage(QMessageBox& box, int language);

// The real message boxes, over the window given (or the active one), with
// buttons in the program's language.
class MessageBoxPrompt : public Prompt {
public:
    using LanguageSource = std::function<int()>;

    explicit MessageBoxPrompt(QWidget* parent = nullptr, LanguageSource language = {})
        : parent_(parent)
        , language_(std::move(language))
    {
    }
    void Tell(const QString& title, const QString& text, Icon icon) override;
    bool AskYesNo(const QString& title, const QString& text, Icon icon) override;

    // Called with each box just before it shows (tests answer it there).
    void SetOnShow(std::function<void(QMessageBox&)> onShow) { onShow_ = std::move(onShow); }

private:
    QWidget* Parent() const;
    int Exec(QMessageBox& box);
    QWidget* parent_;
    LanguageSource language_;
    std::function<void(QMessageBox&)> onShow_;
};

} // namespace qc
