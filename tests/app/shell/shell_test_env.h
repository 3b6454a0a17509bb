#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qc::test {

// Points the settings, data and runtime folders of the program at a fresh
// temporary folder, so a test never touches the real home.
class ShellFolders {
public:
    ShellFolders()
    {
        qputenv("QUENCONNECT_SETTINGS_DIR", (m_root.path() + QStringLiteral("/settings")).toLocal8Bit());
        qputenv("QUENCONNECT_DATA_DIR", (m_root.path() + QStringLiteral("/data")).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", m_root.path().toLocal8Bit());
    }
    QString Root() const { return m_root.path(); }
    QString Settings() const { return m_root.path() + QStringLiteral("/settings"); }
    QString Data() const { return m_root.path() + QStringLiteral("/data"); }

private:
    QTemporaryDir m_root;
};

} // namespace qc::test
