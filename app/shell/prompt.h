#pragma once

#include <QString>

namespace qc {

// Message boxes behind a seam: the windows show real boxes, tests read what
// the user is told and answer the questions, a command-line tool prints.
class Prompt {
public:
    enum class Icon { None, Information, Question };
    virtual ~Prompt() = default;
    // OK box.
    virtual void Tell(const QString& title, const QString& text, Icon icon) = 0;
    // Yes/No box; true for Yes.
    virtual bool AskYesNo(const QString& title, const QString& text, Icon icon) = 0;
};

} // namespace qc
