// Connecting to a server and following its connection state.
#include "ble_engine.h"
#include "connection_state.h"

namespace vornik {

int BleEngine::Connect(const std::string& /*serverId*/)
{
    return Done(NotImplementedError());
}

int BleEngine::Disconnect()
{
    return Done(NotImplementedError());
}

int BleEngine::GetServerId(std::string& out) const
{
    out.clear();
    return 0;
}

int BleEngine::GetServerName(std::string& out) const
{
    out.clear();
    return 0;
}

bool BleEngine::IsConnected() const
{
    return connection_->device != nullptr && !connection_->connectionLost;
}

bool BleEngine::ConnectionInProgress() const
{
    return connection_->connectInProgress;
}

}  // namespace vornik
