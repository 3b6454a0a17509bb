// Reading, writing and posting characteristic and descriptor values, and
// delivering received values.
#include "ble_engine.h"
#include "connection_state.h"
#include "engine_ops.h"
#include "errors.h"
#include "object_id.h"
#include "platform/gatt_constants.h"
#include "scan_state.h"
#include "uuid.h"

namespace vornik {

namespace {

const std::string kCccdUuid = FormatUuid(Uuid::FromShort(gatt::descriptor::kCccd));

// Which object a value operation names, resolved with the host's Id checks.
struct Target {
    CharacteristicPtr characteristic;
    DescriptorPtr descriptor;  // null for the characteristic itself

    const char* Kind() const { return descriptor ? "descriptor" : "characteristic"; }
    std::string QuotedId() const { return EngineOps::Quoted(descriptor ? descriptor->id : characteristic->id); }
    const std::string& UuidText() const { return descriptor ? descriptor->uuid : characteristic->uuid; }
    const std::string& Description() const
    {
        return descriptor ? descriptor->description : characteristic->description;
    }
    bool IsCccd() const { return descriptor && descriptor->uuid == kCccdUuid; }

    void StartRead(platform::Completion<platform::ValueResult> done) const
    {
        if (descriptor)
            descriptor->descriptor->ReadValue(platform::CacheMode::Uncached, std::move(done));
        else
            characteristic->characteristic->ReadValue(platform::CacheMode::Uncached, std::move(done));
    }
    void StartWrite(const platform::Bytes& value, platform::Completion<platform::GattResult> done) const
    {
        if (descriptor)
            descriptor->descriptor->WriteValue(value, std::move(done));
        else
            characteristic->characteristic->WriteValue(value, platform::WriteOption::WithResponse, std::move(done));
    }
};

}  // namespace

static Status ResolveTarget(const GattModel& model, const std::string& serviceId, const std::string& characteristicId,
                            const std::string& descriptorId, Target& out)
{
    if (serviceId.empty())
        return Status::Error(err::kBadArgument, std::string(text::kNeedServiceId));
    if (characteristicId.empty())
        return Status::Error(err::kBadArgument, std::string(text::kNeedCharacteristicId));
    if (Status status = model.FindCharacteristic(serviceId, characteristicId, out.characteristic); !status.ok())
        return status;
    out.descriptor.reset();
    if (descriptorId.empty())
        return Status::Ok();
    return model.FindDescriptor(out.characteristic->id, descriptorId, out.descriptor);
}

Status EngineOps::CharacteristicAt(const BleEngine& engine, int index, CharacteristicPtr& out)
{
    if (Status status = engine.CharacteristicAt(index, out); !status.ok())
        return status;
    if (!out)
        return Status::Error(err::kIndexOutOfBounds, std::string(text::kBadCharacteristicIndex));
    return Status::Ok();
}

Status EngineOps::DescriptorAt(const BleEngine& engine, int index, DescriptorPtr& out)
{
    if (Status status = engine.DescriptorAt(index, out); !status.ok())
        return status;
    if (!out)
        return Status::Error(err::kIndexOutOfBounds, std::string(text::kBadDescriptorIndex));
    return Status::Ok();
}

void EngineOps::RaiseValue(BleEngine& engine, std::string serviceId, std::string characteristicId,
                           std::string descriptorId, std::string uuid, std::string description,
                           const platform::Bytes& value)
{
    // ValueValueB reads these bytes while the event is being raised; a
    // nested Value event (raised from a wait inside a handler) has its own.
    const std::string bytes = ToText(value);
    const std::string* outer = engine.scan_->currentValue;
    engine.scan_->currentValue = &bytes;
    engine.events_.Raise(&EngineEvents::Value, std::move(serviceId), std::move(characteristicId),
                         std::move(descriptorId), std::move(uuid), std::move(description), bytes);
    engine.scan_->currentValue = outer;
}

int BleEngine::GetValueValueB(std::string& out) const
{
    out = scan_->currentValue != nullptr ? *scan_->currentValue : std::string();
    return 0;
}

int BleEngine::ReadValue(const std::string& serviceId, const std::string& characteristicId,
                         const std::string& descriptorId, std::string& out)
{
    out.clear();
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);
    Target target;
    if (Status status = ResolveTarget(model_, serviceId, characteristicId, descriptorId, target); !status.ok())
        return Done(status);

    const EngineOps::Session session = EngineOps::Begin(*this);
    const std::string subject = std::string(target.Kind()) + " ID " + target.QuotedId() + ".";
    Log(LogLevel::Basic, LogType::Read, "Reading value for " + subject);
    platform::ValueResult result;
    Status status = EngineOps::Request<platform::ValueResult>(
        *this, session, LogType::Read,
        [&](platform::Completion<platform::ValueResult> done) { target.StartRead(std::move(done)); }, result);
    if (!status.ok())
        return Done(status);
    Log(LogLevel::Basic, LogType::Read, "Successfully read value for " + subject);
    // A value read on a link the host has left meanwhile is no result.
    if (status = EngineOps::Check(*this, session); !status.ok())
        return Done(status);
    EngineOps::RaiseValue(*this, serviceId, characteristicId, descriptorId, target.UuidText(), target.Description(),
                          result.value);
    if (target.IsCccd() && EngineOps::Check(*this, session).ok())
        EngineOps::NoteCccdValue(*this, *target.descriptor, result.value, false);
    out = EngineOps::ToText(result.value);
    return Done(Status::Ok());
}

int BleEngine::WriteValue(const std::string& serviceId, const std::string& characteristicId,
                          const std::string& descriptorId, const std::string& value)
{
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);
    Target target;
    if (Status status = ResolveTarget(model_, serviceId, characteristicId, descriptorId, target); !status.ok())
        return Done(status);

    const EngineOps::Session session = EngineOps::Begin(*this);
    const std::string subject = std::string(target.Kind()) + " ID " + target.QuotedId() + ".";
    Log(LogLevel::Basic, LogType::Write, "Writing value to " + subject);
    const platform::Bytes bytes = EngineOps::ToBytes(value);
    platform::GattResult result;
    Status status = EngineOps::Request<platform::GattResult>(
        *this, session, LogType::Write,
        [&](platform::Completion<platform::GattResult> done) { target.StartWrite(bytes, std::move(done)); }, result);
    if (!status.ok())
        return Done(status);
    Log(LogLevel::Basic, LogType::Write, "Successfully wrote value to " + subject);
    if (status = EngineOps::Check(*this, session); !status.ok())
        return Done(status);
    events_.Raise(&EngineEvents::WriteResponse, serviceId, characteristicId, descriptorId, target.UuidText(),
                  target.Description());
    if (target.IsCccd() && EngineOps::Check(*this, session).ok())
        EngineOps::NoteCccdValue(*this, *target.descriptor, bytes, true);
    return Done(Status::Ok());
}

int BleEngine::PostValue(const std::string& serviceId, const std::string& characteristicId, const std::string& value)
{
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);
    Target target;
    if (Status status = ResolveTarget(model_, serviceId, characteristicId, "", target); !status.ok())
        return Done(status);
    const CharacteristicRecord& record = *target.characteristic;
    const EngineOps::Session session = EngineOps::Begin(*this);
    const std::string id = EngineOps::Quoted(record.id);
    Log(LogLevel::Basic, LogType::Write, "Posting value to characteristic ID " + id + ".");
    const platform::Bytes bytes = EngineOps::ToBytes(value);
    const auto characteristic = record.characteristic;
    platform::GattResult result;
    Status status = EngineOps::Request<platform::GattResult>(
        *this, session, LogType::Write,
        [&](platform::Completion<platform::GattResult> done) {
            characteristic->WriteValue(bytes, platform::WriteOption::WithoutResponse, std::move(done));
        },
        result);
    if (!status.ok())
        return Done(status);
    Log(LogLevel::Basic, LogType::Write, "Successfully posted value to characteristic ID " + id + ".");
    return Done(EngineOps::Check(*this, session));
}

namespace {

// Cached reads give an empty value on any failure of the read itself; only
// a bad index is an error. `object` is the platform characteristic or
// descriptor behind the record.
template <class Object>
std::string ReadCachedText(BleEngine& engine, const EngineOps::Session& session, const std::shared_ptr<Object>& object)
{
    platform::ValueResult result;
    const Status status = EngineOps::Request<platform::ValueResult>(
        engine, session, LogType::Debug,
        [&](platform::Completion<platform::ValueResult> done) {
            object->ReadValue(platform::CacheMode::Cached, std::move(done));
        },
        result);
    return status.ok() ? EngineOps::ToText(result.value) : std::string();
}

}  // namespace

int BleEngine::GetCharacteristicCachedValue(int index, std::string& out)
{
    out.clear();
    CharacteristicPtr record;
    if (Status status = EngineOps::CharacteristicAt(*this, index, record); !status.ok())
        return Done(status);
    const EngineOps::Session session = EngineOps::Begin(*this);
    Log(LogLevel::Debug, LogType::Debug,
        "Getting cached value for characteristic ID " + EngineOps::Quoted(record->id) + ".");
    out = ReadCachedText(*this, session, record->characteristic);
    return Done(Status::Ok());
}

int BleEngine::GetDescriptorCachedValue(int index, std::string& out)
{
    out.clear();
    DescriptorPtr record;
    if (Status status = EngineOps::DescriptorAt(*this, index, record); !status.ok())
        return Done(status);
    const EngineOps::Session session = EngineOps::Begin(*this);
    Log(LogLevel::Debug, LogType::Debug, "Getting cached value for descriptor ID " + EngineOps::Quoted(record->id) + ".");
    out = ReadCachedText(*this, session, record->descriptor);
    return Done(Status::Ok());
}

int BleEngine::QueryCharacteristicCachedVal(short index, std::string& out)
{
    return GetCharacteristicCachedValue(index, out);
}

int BleEngine::QueryDescriptorCachedVal(short index, std::string& out)
{
    return GetDescriptorCachedValue(index, out);
}

void EngineOps::OnValueChanged(BleEngine& engine, std::uint16_t handle, const platform::Bytes& value,
                               std::uint64_t generation)
{
    if (engine.connection_->generation != generation)
        return;
    const CharacteristicPtr record = engine.model_.CharacteristicByHandle(handle);
    if (!record)
        return;
    auto& subscriptions = engine.model_.Subscriptions();
    if (auto known = subscriptions.find(record->id); known != subscriptions.end())
        known->second = true;
    RaiseValue(engine, OwningServiceId(record->id), record->id, "", record->uuid, record->description, value);
}

}  // namespace vornik
