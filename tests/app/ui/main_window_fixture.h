#pragma once

#include <QWidget>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "ui/frmTransfer.h"
#include "../shell/shell_test_env.h"

namespace qc {

// A main window started in private folders; message boxes are collected
// instead of shown.
class MainWindowTest : public ::testing::Test {
protected:
    test::ShellFolders folders;
    frmTransfer window;
    std::vector<std::pair<QString, QString>> messages;

    MainWindowTest()
    {
        window.SetMessageSink([this](const QString& title, const QString& text) { messages.emplace_back(title, text); });
    }

    template <typename T>
    T* Control(const char* name)
    {
        T* control = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
};

} // namespace qc
