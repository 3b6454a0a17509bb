// Connecting to a server and following its connection state.
#include <cctype>

#include "advertisement_data.h"
#include "ble_engine.h"
#include "connection_state.h"
#include "engine_ops.h"
#include "errors.h"
#include "object_id.h"

namespace vornik {

namespace {

constexpr std::size_t kServerIdDigits = 12;
constexpr const char* kOk = "OK";
constexpr const char* kOnline = "Online";
constexpr const char* kOffline = "Offline";

std::string TrimSpaces(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// "A4C138F0B27D" -> 0xA4C138F0B27D; exactly twelve hex digits.
bool ParseServerId(const std::string& id, std::uint64_t& out)
{
    if (id.size() != kServerIdDigits)
        return false;
    out = 0;
    for (char c : id) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10;
        out = out << 4 | static_cast<std::uint64_t>(digit);
    }
    return true;
}

bool SameId(const std::string& a, const std::string& b)
{
    return NormaliseId(a) == NormaliseId(b);
}

}  // namespace

Status EngineOps::RequireConnection(const BleEngine& engine)
{
    if (!engine.IsConnected())
        return Status::Error(err::kNotConnected, std::string(text::kNotConnected));
    return Status::Ok();
}

EngineOps::Session EngineOps::Begin(const BleEngine& engine)
{
    return Session{engine.connection_->generation};
}

Status EngineOps::Check(const BleEngine& engine, const Session& session)
{
    if (engine.connection_->generation != session.generation)
        return Status::Error(err::kNotConnected, std::string(text::kNotConnected));
    return Status::Ok();
}

int BleEngine::Connect(const std::string& serverId)
{
    const std::string id = TrimSpaces(serverId);
    if (id.empty())
        return Done(Status::Ok());
    std::string connectedId;
    GetServerId(connectedId);
    if (connection_->device && !connection_->connectionLost && SameId(id, connectedId))
        return Done(Status::Ok());

    // A malformed Id is the caller's mistake, found before anything has
    // been touched: the scan and the connection keep running, and no
    // Connected event claims that a connection attempt failed.
    const Status failed = ConnectFailedError(id);
    std::uint64_t address = 0;
    if (!ParseServerId(id, address)) {
        Log(LogLevel::Basic, LogType::Connection, failed.text);
        return Done(failed);
    }
    if (EngineOps::WatcherRunning(*this))
        StopScanning();
    if (connection_->device)
        Disconnect();

    std::shared_ptr<platform::Device> device;
    connection_->connectInProgress = true;
    const Status requested = Await<std::shared_ptr<platform::Device>>(
        [this, address](platform::Completion<std::shared_ptr<platform::Device>> done) {
            platform_->DeviceFromAddress(address, std::move(done));
        },
        device);
    connection_->connectInProgress = false;
    if (!requested.ok())
        return Done(requested);
    platform::GattResult linked;
    if (device) {
        // A device object is no connection yet: Connected(0) only once the
        // link is up.
        connection_->connectInProgress = true;
        const Status opened = Await<platform::GattResult>(
            [device](platform::Completion<platform::GattResult> done) { device->Connect(std::move(done)); }, linked);
        connection_->connectInProgress = false;
        if (!opened.ok()) {
            device->Disconnect([](platform::GattResult) {});
            return Done(opened);
        }
    }
    if (!device || linked.status != platform::GattStatus::Success) {
        Log(LogLevel::Basic, LogType::Connection, failed.text);
        events_.Raise(&EngineEvents::Connected, static_cast<short>(failed.code), failed.text);
        return Done(failed);
    }

    // A handler run during the wait may have connected meanwhile.
    if (connection_->device)
        Disconnect();
    device->SetGattServicesChangedHandler([this](const std::string& changed) {
        EngineOps::Deliver(*this, [this, changed] { EngineOps::OnServicesChanged(*this, changed); });
    });
    device->SetNameChangedHandler(
        [this] { EngineOps::Deliver(*this, [this] { EngineOps::OnNameChanged(*this); }); });
    // A new link starts with a clean model: nothing learnt on another link
    // (subscriptions above all) is trusted on this one.
    model_.Clear();
    connection_->device = device;
    connection_->connectionLost = false;
    ++connection_->generation;
    const EngineOps::Session session = EngineOps::Begin(*this);
    Log(LogLevel::Basic, LogType::Connection, "Successfully connected to server ID " + id + ".");
    if (Status status = EngineOps::Check(*this, session); !status.ok())
        return Done(status);
    events_.Raise(&EngineEvents::Connected, short{0}, std::string(kOk));
    if (connection_->device == device)
        device->SetConnectionStatusChangedHandler([this] {
            EngineOps::Deliver(*this, [this] { EngineOps::OnConnectionStatusChanged(*this); });
        });
    return Done(Status::Ok());
}

int BleEngine::Disconnect()
{
    const std::shared_ptr<platform::Device> device = connection_->device;
    if (!device)
        return Done(Status::Ok());
    std::string id;
    GetServerId(id);
    Log(LogLevel::Basic, LogType::Connection, "Disconnecting from server ID " + id + ".");
    // The host may have disconnected (or connected anew) from that Log
    // event: the device this call was asked to release is gone then.
    if (connection_->device != device)
        return Done(Status::Ok());
    EngineOps::ReleaseDevice(*this);
    Log(LogLevel::Basic, LogType::Connection, "Disconnected from server ID " + id + ".");
    events_.Raise(&EngineEvents::Disconnected, short{0}, std::string(kOk));
    return Done(Status::Ok());
}

void EngineOps::ReleaseDevice(BleEngine& engine)
{
    // Characteristic handlers would otherwise keep calling into a model
    // that no longer knows their records.
    for (const ServicePtr& service : engine.model_.Services())
        for (const CharacteristicPtr& record : engine.model_.CharacteristicsOf(service->id))
            if (record && record->characteristic)
                record->characteristic->SetValueChangedHandler({});
    engine.model_.Clear();
    engine.connection_->includeChain.clear();
    std::shared_ptr<platform::Device> device = std::move(engine.connection_->device);
    engine.connection_->device.reset();
    engine.connection_->connectionLost = true;
    ++engine.connection_->generation;
    if (!device)
        return;
    device->SetConnectionStatusChangedHandler({});
    device->SetNameChangedHandler({});
    device->SetGattServicesChangedHandler({});
    // Nobody waits for the link to go down; the completion only ends the request.
    device->Disconnect([](platform::GattResult) {});
}

int BleEngine::GetServerId(std::string& out) const
{
    out = connection_->device ? FormatServerAddress(connection_->device->Address()) : std::string();
    return 0;
}

int BleEngine::GetServerName(std::string& out) const
{
    out = connection_->device ? connection_->device->Name() : std::string();
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

void EngineOps::OnConnectionStatusChanged(BleEngine& engine)
{
    const std::shared_ptr<platform::Device> device = engine.connection_->device;
    if (!device)
        return;
    const bool connected = device->GetConnectionStatus() == platform::ConnectionStatus::Connected;
    engine.Log(LogLevel::Debug, LogType::Debug,
               std::string("System updated device connection status to \"") +
                   (connected ? "Connected" : "Disconnected") + "\".");
    ConnectionState& state = *engine.connection_;
    if (engine.connection_->device != device)
        return;
    // Either way the link changes: calls waiting on the old one end, and
    // subscriptions seen on it are not trusted on the returned one (a
    // server that does not keep them would otherwise never notify again).
    if (state.connectionLost && connected) {
        state.connectionLost = false;
        ++state.generation;
        engine.model_.Subscriptions().clear();
        engine.events_.Raise(&EngineEvents::Connected, short{0}, std::string(kOnline));
    } else if (!state.connectionLost && !connected) {
        state.connectionLost = true;
        ++state.generation;
        engine.events_.Raise(&EngineEvents::Disconnected, short{0}, std::string(kOffline));
    }
}

void EngineOps::OnNameChanged(BleEngine& engine)
{
    if (!engine.connection_->device)
        return;
    const std::string name = engine.connection_->device->Name();
    engine.Log(LogLevel::Detailed, LogType::Verbose, "Server's name has changed to " + name + ".");
    engine.events_.Raise(&EngineEvents::ServerUpdate, name, std::string());
}

void EngineOps::OnServicesChanged(BleEngine& engine, const std::string& changedServices)
{
    if (!engine.connection_->device)
        return;
    engine.Log(LogLevel::Detailed, LogType::Verbose, "Server's services have changed.");
    engine.events_.Raise(&EngineEvents::ServerUpdate, std::string(), changedServices);
}

}  // namespace vornik
