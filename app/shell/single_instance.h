#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace qc {

// Holds the program's lock in the runtime folder for as long as it lives.
// A lock left by a program that died is taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString& runtimeDir);

    // True when this is the only running instance.
    bool IsFirst() const { return m_first; }
    const QString& LockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = false;
};

} // namespace qc
