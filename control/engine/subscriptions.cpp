// Subscribing to notifications and indications through the Client
// Characteristic Configuration descriptor, and the subscription state the
// engine last saw.
#include <algorithm>

#include "ble_engine.h"
#include "engine_ops.h"
#include "errors.h"
#include "object_id.h"
#include "platform/gatt_constants.h"

namespace vornik {

namespace {


bool CanSubscribe(std::uint16_t flags)
{
    return (flags & (kFlagNotify | kFlagIndicate)) != 0;
}

// A CCCD value of any non-zero bit means notifications or indications are on.
bool AnyBitSet(const platform::Bytes& value)
{
    return std::any_of(value.begin(), value.end(), [](std::uint8_t b) { return b != 0; });
}

platform::CccdValue ChooseCccdValue(std::uint16_t flags, bool subscribe, bool preferIndications)
{
    if (!subscribe)
        return platform::CccdValue::None;
    const bool hasIndicate = (flags & kFlagIndicate) != 0;
    if ((flags & kFlagNotify) == 0 || (preferIndications && hasIndicate))
        return platform::CccdValue::Indicate;
    return platform::CccdValue::Notify;
}

}  // namespace

// The CCCD is looked for once per characteristic; a characteristic without
// one still gets its write, which the server then refuses.
Status EngineOps::EnsureCccd(BleEngine& engine, CharacteristicRecord& record)
{
    if (record.cccdEnsured)
        return Status::Ok();
    if (Status status = engine.EnsureDescriptorKind(record, gatt::descriptor::kCccd); !status.ok())
        return status;
    record.cccdEnsured = true;
    return Status::Ok();
}

Status EngineOps::SetSubscription(BleEngine& engine, CharacteristicRecord& record, bool subscribe)
{
    // Also between the characteristics of an Unsubscribe of many, where an
    // event handler may have disconnected.
    if (Status status = RequireConnection(engine); !status.ok())
        return status;
    const Session session = Begin(engine);
    std::uint16_t flags = 0;
    if (Status status = engine.FlagsOf(record, flags); !status.ok())
        return status;
    if (Status status = Check(engine, session); !status.ok())
        return status;
    if (!CanSubscribe(flags))
        return Status::Error(err::kUsage, std::string(text::kCannotSubscribe));
    if (auto known = engine.model_.Subscriptions().find(record.id);
        known != engine.model_.Subscriptions().end() && known->second == subscribe)
        return Status::Ok();

    const platform::CccdValue value = ChooseCccdValue(flags, subscribe, engine.settings_.preferIndications);
    if (Status status = EnsureCccd(engine, record); !status.ok())
        return status;
    if (Status status = Check(engine, session); !status.ok())
        return status;
    const std::string id = Quoted(record.id);
    engine.Log(LogLevel::Basic, LogType::Subscriptions,
               (subscribe ? "Subscribing to characteristic ID " : "Unsubscribing from characteristic ID ") + id + ".");
    const auto characteristic = record.characteristic;
    platform::CccdResult result;
    Status status = Request<platform::CccdResult>(
        engine, session, LogType::Subscriptions,
        [&](platform::Completion<platform::CccdResult> done) { characteristic->WriteCccd(value, std::move(done)); },
        result);
    if (!status.ok())
        return status;
    // The stack may have chosen the other kind; what counts is whether
    // anything is on now. A subscription that turned nothing on (or an
    // unsubscription that left something on) is the server's CCCD refusal,
    // not a success.
    const bool on = result.value == platform::CccdValue::Notify || result.value == platform::CccdValue::Indicate;
    if (on != subscribe) {
        engine.model_.Subscriptions()[record.id] = on;
        return AttError(gatt::att::kCccdImproperlyConfigured);
    }
    // Recorded only for the link the CCCD was written on (Request checked).
    engine.model_.Subscriptions()[record.id] = subscribe;
    engine.Log(LogLevel::Basic, LogType::Subscriptions,
               (subscribe ? "Successfully subscribed to characteristic ID "
                          : "Successfully unsubscribed from characteristic ID ") +
                   id + ".");
    if (status = Check(engine, session); !status.ok())
        return status;
    engine.events_.Raise(subscribe ? &EngineEvents::Subscribed : &EngineEvents::Unsubscribed,
                         OwningServiceId(record.id), record.id, record.uuid, record.description);
    return Status::Ok();
}

void EngineOps::NoteCccdValue(BleEngine& engine, const DescriptorRecord& cccd, const platform::Bytes& value,
                              bool written)
{
    const std::string characteristicId = cccd.id.substr(0, 8) + "0000";
    const CharacteristicPtr record = engine.model_.CharacteristicById(characteristicId);
    if (!record)
        return;
    const bool subscribed = AnyBitSet(value);
    auto& subscriptions = engine.model_.Subscriptions();
    const auto known = subscriptions.find(record->id);
    const bool before = known != subscriptions.end() && known->second;
    subscriptions[record->id] = subscribed;
    if (before == subscribed)
        return;
    const std::string id = Quoted(record->id);
    if (written)
        engine.Log(LogLevel::Basic, LogType::Subscriptions,
                   (subscribed ? "Successfully subscribed to characteristic ID "
                               : "Successfully unsubscribed from characteristic ID ") +
                       id + ".");
    else
        engine.Log(LogLevel::Detailed, LogType::Subscriptions,
                   (subscribed ? "Discovered that we are subscribed to characteristic ID "
                               : "Discovered that we are unsubscribed from characteristic ID ") +
                       id + ".");
    engine.events_.Raise(subscribed ? &EngineEvents::Subscribed : &EngineEvents::Unsubscribed,
                         OwningServiceId(record->id), record->id, record->uuid, record->description);
}

Status BleEngine::SubscriptionState(CharacteristicRecord& record, bool& out)
{
    out = false;
    // The flags may need a descriptor request, which needs the link.
    if (!record.flagsComputed)
        if (Status status = EngineOps::RequireConnection(*this); !status.ok())
            return status;
    std::uint16_t flags = 0;
    if (Status status = FlagsOf(record, flags); !status.ok())
        return status;
    if (!CanSubscribe(flags))
        return Status::Ok();
    if (auto known = model_.Subscriptions().find(record.id); known != model_.Subscriptions().end()) {
        out = known->second;
        return Status::Ok();
    }
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return status;
    const EngineOps::Session session = EngineOps::Begin(*this);
    if (Status status = EngineOps::EnsureCccd(*this, record); !status.ok())
        return status;
    if (Status status = EngineOps::Check(*this, session); !status.ok())
        return status;
    const std::string id = EngineOps::Quoted(record.id);
    Log(LogLevel::Debug, LogType::Subscriptions, "Getting CCCD state for characteristic ID " + id + " from device.");
    const auto characteristic = record.characteristic;
    platform::CccdResult result;
    Status status = EngineOps::Request<platform::CccdResult>(
        *this, session, LogType::Subscriptions,
        [&](platform::Completion<platform::CccdResult> done) { characteristic->ReadCccd(std::move(done)); }, result);
    if (!status.ok())
        return status;
    out = result.value == platform::CccdValue::Notify || result.value == platform::CccdValue::Indicate;
    model_.Subscriptions()[record.id] = out;
    Log(LogLevel::Debug, LogType::Subscriptions, "Got CCCD state for characteristic ID " + id + " from device.");
    return EngineOps::Check(*this, session);
}

int BleEngine::GetCharacteristicSubscribed(int index, bool& out)
{
    out = false;
    CharacteristicPtr record;
    if (Status status = EngineOps::CharacteristicAt(*this, index, record); !status.ok())
        return Done(status);
    return Done(SubscriptionState(*record, out));
}

int BleEngine::SetCharacteristicSubscribed(int index, bool subscribed)
{
    CharacteristicPtr record;
    if (Status status = EngineOps::CharacteristicAt(*this, index, record); !status.ok())
        return Done(status);
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);
    return Done(EngineOps::SetSubscription(*this, *record, subscribed));
}

int BleEngine::CheckCharacteristicSubscribed(short index, bool& out)
{
    return GetCharacteristicSubscribed(index, out);
}

// Subscribe names its objects strictly: an empty Id is just an unknown one.
static Status FindSubscribable(const GattModel& model, const std::string& serviceId,
                               const std::string& characteristicId, CharacteristicPtr& out)
{
    if (serviceId.empty())
        return NoServiceError(serviceId);
    if (characteristicId.empty())
        return NoCharacteristicError(characteristicId, serviceId);
    return model.FindCharacteristic(serviceId, characteristicId, out);
}

int BleEngine::Subscribe(const std::string& serviceId, const std::string& characteristicId)
{
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);
    CharacteristicPtr record;
    if (Status status = FindSubscribable(model_, serviceId, characteristicId, record); !status.ok())
        return Done(status);
    return Done(EngineOps::SetSubscription(*this, *record, true));
}

int BleEngine::Unsubscribe(const std::string& serviceId, const std::string& characteristicId)
{
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);
    if (serviceId.empty() && !characteristicId.empty())
        return Done(Status::Error(err::kBadArgument, std::string(text::kNeedServiceId)));
    if (!characteristicId.empty()) {
        CharacteristicPtr record;
        if (Status status = FindSubscribable(model_, serviceId, characteristicId, record); !status.ok())
            return Done(status);
        return Done(EngineOps::SetSubscription(*this, *record, false));
    }

    std::vector<ServicePtr> services;
    if (serviceId.empty()) {
        services = model_.Services();
    } else {
        ServicePtr service;
        if (Status status = model_.FindService(serviceId, service); !status.ok())
            return Done(status);
        services.push_back(service);
    }
    for (const ServicePtr& service : services) {
        // A copy: discovering a CCCD may not change the list, but a handler
        // raised meanwhile may call back into the engine.
        const std::vector<CharacteristicPtr> characteristics = model_.CharacteristicsOf(service->id);
        for (const CharacteristicPtr& record : characteristics) {
            std::uint16_t flags = 0;
            if (Status status = FlagsOf(*record, flags); !status.ok())
                return Done(status);
            if (!CanSubscribe(flags))
                continue;
            if (Status status = EngineOps::SetSubscription(*this, *record, false); !status.ok())
                return Done(status);
        }
    }
    return Done(Status::Ok());
}

}  // namespace vornik
