#pragma once

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

namespace qc::test {

// A control of a window or dialog by its name, as a user's script finds it;
// windows hand none out.
template <typename T>
T* Named(const QObject& window, const QString& name)
{
    T* control = window.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
}

} // namespace qc::test
