#pragma once

#include <QStringList>
#include <deque>
#include <vector>

#include "shell/prompt.h"

namespace qc::test {

// Records every message box and answers the questions from a script
// (No once the script is used up).
class ScriptedPrompt : public Prompt {
public:
    void Tell(const QString& title, const QString& text, Icon icon) override
    {
        told << text;
        titles << title;
        icons.push_back(icon);
    }
    bool AskYesNo(const QString& title, const QString& text, Icon icon) override
    {
        asked << text;
        titles << title;
        icons.push_back(icon);
        if (answers.empty())
            return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    QStringList told;
    QStringList asked;
    QStringList titles;
    std::vector<Icon> icons;
    std::deque<bool> answers;
};

} // namespace qc::test
