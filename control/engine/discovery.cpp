// Discovering services, included services, characteristics and descriptors.
#include <algorithm>

#include "ble_engine.h"
#include "connection_state.h"
#include "engine_ops.h"
#include "errors.h"
#include "object_id.h"
#include "sig_names.h"
#include "uuid.h"

namespace vornik {

namespace {

constexpr short kGattTypeService = 0;
constexpr short kGattTypeCharacteristic = 1;
constexpr short kGattTypeDescriptor = 2;

using ServiceList = platform::ListResult<platform::GattService>;
using CharacteristicList = platform::ListResult<platform::GattCharacteristic>;
using DescriptorList = platform::ListResult<platform::GattDescriptor>;

// The requests for one UUID filter: none (all objects) or each UUID in turn.
std::vector<std::optional<Uuid>> Filters(const std::vector<Uuid>& uuids)
{
    if (uuids.empty())
        return {std::nullopt};
    return {uuids.begin(), uuids.end()};
}

std::string Count(std::size_t n)
{
    return std::to_string(n);
}

// Restores a setting when the call that changed it ends, also on failure.
class RestoreBool {
public:
    explicit RestoreBool(bool& setting) : setting_(setting), saved_(setting) {}
    ~RestoreBool() { setting_ = saved_; }
    RestoreBool(const RestoreBool&) = delete;
    RestoreBool& operator=(const RestoreBool&) = delete;

private:
    bool& setting_;
    bool saved_;
};

}  // namespace

void EngineOps::RaiseDiscovered(BleEngine& engine, short gattType, std::string serviceId,
                                std::string characteristicId, std::string descriptorId, std::string uuid,
                                std::string description)
{
    engine.events_.Raise(&EngineEvents::Discovered, gattType, std::move(serviceId), std::move(characteristicId),
                         std::move(descriptorId), std::move(uuid), std::move(description));
}

namespace {

// The one request loop of every discovery: one request per UUID of the
// filter (one for all when it is empty), each logged, waited for on the
// session's link and checked; `add` takes each result in turn. `plural`
// names the objects in the log lines ("root services", "characteristics").
template <class List>
Status RequestPerFilter(BleEngine& engine, const EngineOps::Session& session, const std::vector<Uuid>& uuids,
                        const std::string& plural,
                        const std::function<void(const std::optional<Uuid>&, platform::Completion<List>)>& start,
                        const std::function<Status(const List&)>& add, std::size_t& total)
{
    for (const std::optional<Uuid>& filter : Filters(uuids)) {
        const std::string uuidText = filter ? EngineOps::Quoted(FormatUuid(*filter)) : std::string();
        EngineOps::LogDiscovery(engine, LogLevel::Detailed,
                                filter ? "Attempting to discover " + plural + " with UUID " + uuidText + "."
                                       : "Attempting to discover all " + plural + ".");
        List result;
        Status status = EngineOps::Request<List>(
            engine, session, LogType::Discovery,
            [&](platform::Completion<List> done) { start(filter, std::move(done)); }, result);
        if (!status.ok())
            return status;
        if (filter)
            EngineOps::LogDiscovery(engine, LogLevel::Debug,
                                    "Discovered " + Count(result.objects.size()) + " " + plural + " with UUID " +
                                        uuidText + ".");
        total += result.objects.size();
        if (status = add(result); !status.ok())
            return status;
    }
    return Status::Ok();
}

}  // namespace

Status EngineOps::AddServices(BleEngine& engine, const Session& session,
                              const std::vector<std::shared_ptr<platform::GattService>>& services,
                              const ServicePtr& parent, std::vector<ServicePtr>* found)
{
    for (const std::shared_ptr<platform::GattService>& service : services) {
        // A handler of the previous Discovered event may have disconnected.
        if (Status status = Check(engine, session); !status.ok())
            return status;
        Added<ServiceRecord> added;
        if (Status status = engine.model_.AddService(service, parent, added); !status.ok())
            return status;
        const ServicePtr record = added.record;
        if (found != nullptr)
            found->push_back(record);
        if (added.isNew || engine.settings_.includeRediscovered)
            RaiseDiscovered(engine, kGattTypeService, record->id, "", "", record->uuid, record->description);
        if (engine.settings_.autoDiscoverIncludedServices) {
            if (Status status = DiscoverIncludedServices(engine, session, record, {}, nullptr); !status.ok())
                return status;
        }
        if (engine.settings_.autoDiscoverCharacteristics) {
            if (Status status = DiscoverCharacteristicsOf(engine, session, record, {}); !status.ok())
                return status;
        }
    }
    return Status::Ok();
}

Status EngineOps::DiscoverRootServices(BleEngine& engine, const Session& session, const std::vector<Uuid>& uuids,
                                       std::vector<ServicePtr>* found)
{
    if (Status status = RequireConnection(engine); !status.ok())
        return status;
    if (Status status = Check(engine, session); !status.ok())
        return status;
    // Held for the whole call: the host may disconnect from any event.
    const std::shared_ptr<platform::Device> device = engine.connection_->device;
    engine.connection_->includeChain.clear();
    engine.Log(LogLevel::Basic, LogType::Discovery, "Beginning discovery of root services.");
    std::size_t total = 0;
    const Status status = RequestPerFilter<ServiceList>(
        engine, session, uuids, "root services",
        [&](const std::optional<Uuid>& filter, platform::Completion<ServiceList> done) {
            device->GetGattServices(filter, std::move(done));
        },
        [&](const ServiceList& result) { return AddServices(engine, session, result.objects, nullptr, found); },
        total);
    if (!status.ok())
        return status;
    engine.Log(LogLevel::Basic, LogType::Discovery, "Finished discovering root services.");
    engine.Log(LogLevel::Detailed, LogType::Discovery, "Discovered " + Count(total) + " root services.");
    return Status::Ok();
}

Status EngineOps::DiscoverIncludedServices(BleEngine& engine, const Session& session, const ServicePtr& parent,
                                           const std::vector<Uuid>& uuids, std::vector<ServicePtr>* found)
{
    if (Status status = RequireConnection(engine); !status.ok())
        return status;
    if (Status status = Check(engine, session); !status.ok())
        return status;
    std::vector<std::string>& chain = engine.connection_->includeChain;
    // The chain holds the services whose includes are being discovered, so a
    // service included twice on different branches is no cycle.
    bool pushed = false;
    if (engine.settings_.autoDiscoverIncludedServices) {
        if (std::find(chain.begin(), chain.end(), parent->id) != chain.end()) {
            std::string text = std::string(text::kIncludeCyclePrefix) + parent->id;
            for (const std::string& id : chain)
                text += " < " + id;
            return Status::Error(err::kIncludeCycle, text);
        }
        chain.push_back(parent->id);
        pushed = true;
    }
    const std::size_t depth = chain.size();
    Status status = [&] {
        const std::string& id = parent->id;
        engine.Log(LogLevel::Basic, LogType::Discovery,
                   "Beginning discovery of services included by service ID " + Quoted(id) + ".");
        std::size_t total = 0;
        const std::shared_ptr<platform::GattService> service = parent->service;
        const Status step = RequestPerFilter<ServiceList>(
            engine, session, uuids, "included services",
            [&](const std::optional<Uuid>& filter, platform::Completion<ServiceList> done) {
                service->GetIncludedServices(filter, std::move(done));
            },
            [&](const ServiceList& result) { return AddServices(engine, session, result.objects, parent, found); },
            total);
        if (!step.ok())
            return step;
        engine.Log(LogLevel::Basic, LogType::Discovery,
                   "Finished discovering services included by service ID " + Quoted(id) + ".");
        engine.Log(LogLevel::Detailed, LogType::Discovery,
                   "Discovered " + Count(total) + " services included by service ID " + Quoted(id) + ".");
        return Status::Ok();
    }();
    // A disconnect meanwhile emptied the chain; only our own entry goes.
    if (pushed && chain.size() == depth && !chain.empty() && chain.back() == parent->id)
        chain.pop_back();
    return status;
}

Status EngineOps::DiscoverCharacteristicsOf(BleEngine& engine, const Session& session, const ServicePtr& service,
                                            const std::vector<Uuid>& uuids)
{
    if (Status status = RequireConnection(engine); !status.ok())
        return status;
    if (Status status = Check(engine, session); !status.ok())
        return status;
    const std::string& id = service->id;
    engine.Log(LogLevel::Basic, LogType::Discovery,
               "Beginning discovery of characteristics for service ID " + Quoted(id) + ".");
    std::size_t total = 0;
    const std::shared_ptr<platform::GattService> platformService = service->service;
    const Status requested = RequestPerFilter<CharacteristicList>(
        engine, session, uuids, "characteristics",
        [&](const std::optional<Uuid>& filter, platform::Completion<CharacteristicList> done) {
            platformService->GetCharacteristics(filter, std::move(done));
        },
        [&](const CharacteristicList& result) {
            Status status = Status::Ok();
            for (const std::shared_ptr<platform::GattCharacteristic>& characteristic : result.objects) {
                if (status = Check(engine, session); !status.ok())
                    return status;
                Added<CharacteristicRecord> added;
                if (status = engine.model_.AddCharacteristic(*service, characteristic, added); !status.ok())
                    return status;
                const CharacteristicPtr record = added.record;
                if (added.isNew) {
                    BleEngine* owner = &engine;
                    characteristic->SetValueChangedHandler(
                        [owner](platform::GattCharacteristic& sender, const platform::Bytes& value) {
                            // The handle, not the sender: a held-back value may
                            // come after its characteristic is gone.
                            const std::uint16_t handle = sender.AttributeHandle();
                            const std::uint64_t generation = owner->connection_->generation;
                            // The hot path of notifications: no copy unless held.
                            if (Holding(*owner)) {
                                Hold(*owner, [owner, handle, copy = value, generation] {
                                    OnValueChanged(*owner, handle, copy, generation);
                                });
                                return;
                            }
                            OnValueChanged(*owner, handle, value, generation);
                        });
                }
                if (added.isNew || engine.settings_.includeRediscovered)
                    RaiseDiscovered(engine, kGattTypeCharacteristic, id, record->id, "", record->uuid,
                                    record->description);
                if (engine.settings_.autoDiscoverDescriptors) {
                    if (status = DiscoverDescriptorsOf(engine, session, *service, record); !status.ok())
                        return status;
                }
            }
            return Status::Ok();
        },
        total);
    if (!requested.ok())
        return requested;
    if (Status status = Check(engine, session); !status.ok())
        return status;
    engine.model_.ShowCharacteristicsOf(id);
    engine.Log(LogLevel::Basic, LogType::Discovery,
               "Finished discovering characteristics for service ID " + Quoted(id) + ".");
    engine.Log(LogLevel::Detailed, LogType::Discovery,
               "Discovered " + Count(total) + " characteristics for service ID " + Quoted(id) + ".");
    return Status::Ok();
}

Status EngineOps::DiscoverDescriptorsOf(BleEngine& engine, const Session& session, const ServiceRecord& service,
                                        const CharacteristicPtr& characteristic)
{
    if (Status status = RequireConnection(engine); !status.ok())
        return status;
    if (Status status = Check(engine, session); !status.ok())
        return status;
    const std::string& id = characteristic->id;
    engine.Log(LogLevel::Basic, LogType::Discovery,
               "Beginning discovery of descriptors for characteristic ID " + Quoted(id) + ".");
    engine.Log(LogLevel::Detailed, LogType::Discovery, "Attempting to discover all descriptors.");
    // The server's descriptors are asked for anew; so are the details.
    characteristic->details.reset();
    DescriptorList result;
    const std::shared_ptr<platform::GattCharacteristic> platformCharacteristic = characteristic->characteristic;
    Status status = Request<DescriptorList>(
        engine, session, LogType::Discovery,
        [&](platform::Completion<DescriptorList> done) {
            platformCharacteristic->GetDescriptors(std::nullopt, std::move(done));
        },
        result);
    if (!status.ok())
        return status;
    for (const std::shared_ptr<platform::GattDescriptor>& descriptor : result.objects) {
        if (status = Check(engine, session); !status.ok())
            return status;
        Added<DescriptorRecord> added;
        if (status = engine.model_.AddDescriptor(service, *characteristic, descriptor, added); !status.ok())
            return status;
        if (added.isNew || engine.settings_.includeRediscovered)
            RaiseDiscovered(engine, kGattTypeDescriptor, service.id, id, added.record->id, added.record->uuid,
                            added.record->description);
    }
    if (status = Check(engine, session); !status.ok())
        return status;
    engine.model_.ShowDescriptorsOf(id);
    engine.Log(LogLevel::Basic, LogType::Discovery,
               "Finished discovering descriptors for characteristic ID " + Quoted(id) + ".");
    engine.Log(LogLevel::Detailed, LogType::Discovery,
               "Discovered " + Count(result.objects.size()) + " descriptors for characteristic ID " + Quoted(id) +
                   ".");
    return Status::Ok();
}

Status BleEngine::EnsureDescriptorKind(CharacteristicRecord& record, std::uint16_t uuid16)
{
    // No connection check of its own: the model's callers decide, and an
    // unreachable server answers the request itself. But the link must stay
    // the one the call found: every log line and event may change it.
    const EngineOps::Session session = EngineOps::Begin(*this);
    const Uuid uuid = Uuid::FromShort(uuid16);
    const std::string uuidText = FormatUuid(uuid);
    const std::string kind = EngineOps::Quoted(SigName(SigKind::Descriptor, uuid));
    const std::string id = EngineOps::Quoted(record.id);
    Log(LogLevel::Debug, LogType::Debug,
        "Ensuring that any " + kind + " descriptors has been discovered for characteristic ID " + id + ".");
    if (Status status = EngineOps::Check(*this, session); !status.ok())
        return status;
    const std::vector<DescriptorPtr> known = model_.DescriptorsOf(record.id);
    if (std::any_of(known.begin(), known.end(), [&](const DescriptorPtr& d) { return d && d->uuid == uuidText; }))
        return Status::Ok();

    ServicePtr service;
    if (Status status = model_.FindService(OwningServiceId(record.id), service); !status.ok())
        return status;
    CharacteristicPtr owner;
    if (Status status = model_.FindCharacteristic(service->id, record.id, owner); !status.ok())
        return status;
    Log(LogLevel::Debug, LogType::Discovery,
        "Trying to discover the " + kind + " descriptor for characteristic ID " + id + ".");
    DescriptorList result;
    const std::shared_ptr<platform::GattCharacteristic> characteristic = record.characteristic;
    Status status = EngineOps::Request<DescriptorList>(
        *this, session, LogType::Discovery,
        [&](platform::Completion<DescriptorList> done) { characteristic->GetDescriptors(uuid, std::move(done)); },
        result);
    if (!status.ok())
        return status;
    for (const std::shared_ptr<platform::GattDescriptor>& descriptor : result.objects) {
        // A handler of the previous Discovered event may have disconnected.
        if (status = EngineOps::Check(*this, session); !status.ok())
            return status;
        Added<DescriptorRecord> added;
        if (status = model_.AddDescriptor(*service, *owner, descriptor, added); !status.ok())
            return status;
        if (added.isNew || settings_.includeRediscovered)
            EngineOps::RaiseDiscovered(*this, kGattTypeDescriptor, service->id, record.id, added.record->id,
                                       added.record->uuid, added.record->description);
    }
    Log(LogLevel::Debug, LogType::Discovery,
        "Finished; discovered " + Count(result.objects.size()) + " " + kind + " descriptors for characteristic ID " +
            id + ".");
    return EngineOps::Check(*this, session);
}

int BleEngine::DiscoverServices(const std::string& serviceUuids, const std::string& includedByServiceId)
{
    std::vector<Uuid> uuids;
    if (Status status = ParseUuidList(serviceUuids, uuids); !status.ok())
        return Done(status);
    const EngineOps::Session session = EngineOps::Begin(*this);
    if (includedByServiceId.empty())
        return Done(EngineOps::DiscoverRootServices(*this, session, uuids, nullptr));
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);
    ServicePtr parent;
    if (Status status = model_.FindService(includedByServiceId, parent); !status.ok())
        return Done(status);
    return Done(EngineOps::DiscoverIncludedServices(*this, session, parent, uuids, nullptr));
}

int BleEngine::DiscoverCharacteristics(const std::string& serviceId, const std::string& characteristicUuids)
{
    std::vector<Uuid> uuids;
    if (Status status = ParseUuidList(characteristicUuids, uuids); !status.ok())
        return Done(status);
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);
    ServicePtr service;
    if (Status status = model_.FindService(serviceId, service); !status.ok())
        return Done(status);
    return Done(EngineOps::DiscoverCharacteristicsOf(*this, EngineOps::Begin(*this), service, uuids));
}

int BleEngine::DiscoverDescriptors(const std::string& serviceId, const std::string& characteristicId)
{
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);
    ServicePtr service;
    if (Status status = model_.FindService(serviceId, service); !status.ok())
        return Done(status);
    CharacteristicPtr characteristic;
    if (Status status = model_.FindCharacteristic(serviceId, characteristicId, characteristic); !status.ok())
        return Done(status);
    return Done(EngineOps::DiscoverDescriptorsOf(*this, EngineOps::Begin(*this), *service, characteristic));
}

int BleEngine::Discover(const std::string& serviceUuids, const std::string& characteristicUuids,
                        bool discoverDescriptors, const std::string& includedByServiceId)
{
    std::vector<Uuid> services;
    std::vector<Uuid> characteristics;
    if (Status status = ParseUuidList(serviceUuids, services); !status.ok())
        return Done(status);
    if (Status status = ParseUuidList(characteristicUuids, characteristics); !status.ok())
        return Done(status);
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);

    RestoreBool restore(settings_.autoDiscoverDescriptors);
    settings_.autoDiscoverDescriptors = settings_.autoDiscoverDescriptors || discoverDescriptors;
    const EngineOps::Session session = EngineOps::Begin(*this);
    std::vector<ServicePtr> found;
    if (includedByServiceId.empty()) {
        if (Status status = EngineOps::DiscoverRootServices(*this, session, services, &found); !status.ok())
            return Done(status);
    } else {
        ServicePtr parent;
        if (Status status = model_.FindService(includedByServiceId, parent); !status.ok())
            return Done(status);
        if (Status status = EngineOps::DiscoverIncludedServices(*this, session, parent, services, &found);
            !status.ok())
            return Done(status);
    }
    if (!settings_.autoDiscoverCharacteristics) {
        for (const ServicePtr& service : found)
            if (Status status = EngineOps::DiscoverCharacteristicsOf(*this, session, service, characteristics);
                !status.ok())
                return Done(status);
    }
    return Done(Status::Ok());
}

}  // namespace vornik
