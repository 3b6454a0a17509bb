#pragma once

#include "shell/prompt.h"

class QWidget;

namespace qc {

// The real message boxes, over the window given (or the active one).
class MessageBoxPrompt : public Prompt {
public:
    explicit MessageBoxPrompt(QWidget* parent = nullptr)
        : parent_(parent)
    {
    }
    void Tell(const QString& title, const QString& text, Icon icon) override;
    bool AskYesNo(const QString& title, const QString& text, Icon icon) override;

private:
    QWidget* Parent() const;
    QWidget* parent_;
};

} // namespace qc
