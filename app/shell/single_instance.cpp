#include "shell/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace qc {
namespace {

const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");

} // namespace

SingleInstance::SingleInstance(const QString& runtimeDir)
    : m_path(runtimeDir + QStringLiteral("/quenconnect.lock"))
    , m_socketPath(runtimeDir + QStringLiteral("/quenconnect.socket"))
    , m_lock(std::make_unique<QLockFile>(m_path))
{
    // Only a dead owner makes the lock stale, never its age: the first
    // instance may run for days.
    m_lock->setStaleLockTime(0);
    m_first = m_lock->tryLock(0);
    if (!m_first)
        return;
    // Holding the lock, any socket left there belongs to a run that died.
    QLocalServer::removeServer(m_socketPath);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) {
        m_server.reset(); // the program runs on; a second start is still told
        return;
    }
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] {
        while (QLocalSocket* client = m_server->nextPendingConnection()) {
            QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
                if (client->readAll().contains(kRaiseRequest.trimmed()) && m_raise)
                    m_raise();
            });
        }
    });
}

SingleInstance::~SingleInstance() = default;

void SingleInstance::OnRaiseRequest(std::function<void()> raise) { m_raise = std::move(raise); }

bool SingleInstance::AskRunningToRaise(std::chrono::milliseconds deadline) const
{
    if (m_first)
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    const int millis = static_cast<int>(deadline.count());
    if (!socket.waitForConnected(millis))
        return false;
    socket.write(kRaiseRequest);
    const bool sent = socket.waitForBytesWritten(millis);
    socket.disconnectFromServer();
    return sent;
}

} // namespace qc
