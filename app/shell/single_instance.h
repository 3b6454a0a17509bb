#pragma once

#include <QLockFile>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class QLocalServer;

namespace qc {

// Holds the program's lock in the runtime folder for as long as it lives.
// A lock left by a program that died is taken over. The first instance
// listens beside the lock, so a second start can ask it to come to the front.
class SingleInstance {
public:
    explicit SingleInstance(const QString& runtimeDir);
    ~SingleInstance();

    // True when this is the only running instance.
    bool IsFirst() const { return m_first; }
    const QString& LockPath() const { return m_path; }

    // First instance: `raise` runs (in the event loop) whenever a second
    // start asks for the window.
    void OnRaiseRequest(std::function<void()> raise);

    // Second instance: asks the first to show its window; false when it did
    // not answer within the deadline.
    bool AskRunningToRaise(std::chrono::milliseconds deadline) const;

private:
    QString m_path;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_raise;
    bool m_first = false;
};

} // namespace qc
