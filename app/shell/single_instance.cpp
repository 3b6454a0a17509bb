#include "shell/single_instance.h"

namespace qc {

SingleInstance::SingleInstance(const QString& runtimeDir)
    : m_path(runtimeDir + QStringLiteral("/quenconnect.lock"))
    , m_lock(std::make_unique<QLockFile>(m_path))
{
    // Only a dead owner makes the lock stale, never its age: the first
    // instance may run for days.
    m_lock->setStaleLockTime(0);
    m_first = m_lock->tryLock(0);
}

} // namespace qc
