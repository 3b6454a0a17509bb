#pragma once

#include <QString>

class QWidget;

namespace qc {

// Message boxes of the table and the limits, behind a seam so widget tests
// can read what the user is told and answer the questions.
class Prompt {
public:
    enum class Icon { None, Information, Question };
    virtual ~Prompt() = default;
    // OK box.
    virtual void Tell(QWidget* parent, const QString& title, const QString& text, Icon icon) = 0;
    // Yes/No box; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text, Icon icon) = 0;
};

// The real message boxes.
class MessageBoxPrompt : public Prompt {
public:
    void Tell(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
};

} // namespace qc
