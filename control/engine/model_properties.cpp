// The Service, Characteristic and Descriptor arrays and the selection, as
// the host's properties see them.
#include <algorithm>

#include "ble_engine.h"
#include "errors.h"
#include "object_id.h"
#include "platform/gatt_constants.h"

namespace vornik {

namespace {

std::string JoinIds(const std::vector<std::string>& ids)
{
    std::string out;
    for (const std::string& id : ids)
        out += (out.empty() ? "" : ",") + id;
    return out;
}

template <class Record>
bool InRange(const std::vector<std::shared_ptr<Record>>& list, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

short ClampToShort(std::size_t count)
{
    return static_cast<short>(std::min<std::size_t>(count, 32767));
}

}  // namespace

Status BleEngine::ServiceAt(int index, ServicePtr& out) const
{
    if (!InRange(model_.Services(), index))
        return Status::Error(err::kIndexOutOfBounds, std::string(text::kBadServiceIndex));
    out = model_.Services()[static_cast<std::size_t>(index)];
    return Status::Ok();
}

// A slot added by growing CharacteristicCount holds no record: its
// properties read as empty.
Status BleEngine::CharacteristicAt(int index, CharacteristicPtr& out) const
{
    if (!InRange(model_.CharacteristicArray(), index))
        return Status::Error(err::kIndexOutOfBounds, std::string(text::kBadCharacteristicIndex));
    out = model_.CharacteristicArray()[static_cast<std::size_t>(index)];
    return Status::Ok();
}

Status BleEngine::DescriptorAt(int index, DescriptorPtr& out) const
{
    if (!InRange(model_.DescriptorArray(), index))
        return Status::Error(err::kIndexOutOfBounds, std::string(text::kBadDescriptorIndex));
    out = model_.DescriptorArray()[static_cast<std::size_t>(index)];
    return Status::Ok();
}

Status BleEngine::FlagsOf(CharacteristicRecord& record, std::uint16_t& out)
{
    if (!record.flagsComputed) {
        // Reliable writes and writable auxiliaries live in the extended
        // properties descriptor; make sure it is known first.
        Status status = EnsureDescriptorKind(record, gatt::descriptor::kExtendedProperties);
        if (!status.ok())
            return status;
        record.flags = MapCharacteristicFlags(record.characteristic->Properties());
        record.flagsComputed = true;
    }
    out = record.flags;
    return Status::Ok();
}

int BleEngine::GetServiceCount(short& out) const
{
    out = ClampToShort(model_.Services().size());
    return 0;
}

#define VORNIK_SERVICE_TEXT_GETTER(Name, expression)              \
    int BleEngine::Name(int index, std::string& out) const        \
    {                                                             \
        ServicePtr record;                                        \
        Status status = ServiceAt(index, record);                 \
        out = status.ok() ? (expression) : std::string();         \
        return Done(status);        \
    }

VORNIK_SERVICE_TEXT_GETTER(GetServiceId, record->id)
VORNIK_SERVICE_TEXT_GETTER(GetServiceUuid, record->uuid)
VORNIK_SERVICE_TEXT_GETTER(GetServiceDescription, record->description)
VORNIK_SERVICE_TEXT_GETTER(GetServiceIncludedSvcIds, JoinIds(record->includedIds))
VORNIK_SERVICE_TEXT_GETTER(GetServiceParentSvcIds, JoinIds(record->parentIds))
#undef VORNIK_SERVICE_TEXT_GETTER

#define VORNIK_RECORD_TEXT_GETTER(Name, Ptr, At, expression)      \
    int BleEngine::Name(int index, std::string& out) const        \
    {                                                             \
        Ptr record;                                               \
        Status status = At(index, record);                        \
        out = status.ok() && record ? (expression) : std::string(); \
        return Done(status);        \
    }

VORNIK_RECORD_TEXT_GETTER(GetCharacteristicId, CharacteristicPtr, CharacteristicAt, record->id)
VORNIK_RECORD_TEXT_GETTER(GetCharacteristicUuid, CharacteristicPtr, CharacteristicAt, record->uuid)
VORNIK_RECORD_TEXT_GETTER(GetCharacteristicDescription, CharacteristicPtr, CharacteristicAt, record->description)
VORNIK_RECORD_TEXT_GETTER(GetDescriptorId, DescriptorPtr, DescriptorAt, record->id)
VORNIK_RECORD_TEXT_GETTER(GetDescriptorUuid, DescriptorPtr, DescriptorAt, record->uuid)
VORNIK_RECORD_TEXT_GETTER(GetDescriptorDescription, DescriptorPtr, DescriptorAt, record->description)
#undef VORNIK_RECORD_TEXT_GETTER

int BleEngine::GetCharacteristicFlags(int index, short& out)
{
    out = 0;
    CharacteristicPtr record;
    Status status = CharacteristicAt(index, record);
    std::uint16_t flags = 0;
    if (status.ok() && record)
        status = FlagsOf(*record, flags);
    out = static_cast<short>(flags);
    return Done(status);
}

int BleEngine::GetCharacteristicCanSubscribe(int index, bool& out)
{
    short flags = 0;
    int code = GetCharacteristicFlags(index, flags);
    out = code == 0 && (flags & (kFlagNotify | kFlagIndicate)) != 0;
    return code;
}

int BleEngine::GetCharacteristicCount(short& out) const
{
    out = ClampToShort(model_.CharacteristicArray().size());
    return 0;
}

int BleEngine::SetCharacteristicCount(short count)
{
    model_.SetCharacteristicCount(count);
    return 0;
}

int BleEngine::GetDescriptorCount(short& out) const
{
    out = ClampToShort(model_.DescriptorArray().size());
    return 0;
}

int BleEngine::GetService(std::string& out) const
{
    out = model_.SelectedService();
    return 0;
}

int BleEngine::SetService(const std::string& serviceId)
{
    return Done(model_.SetService(serviceId));
}

int BleEngine::GetCharacteristic(std::string& out) const
{
    out = model_.SelectedCharacteristic();
    return 0;
}

int BleEngine::SetCharacteristic(const std::string& characteristicId)
{
    return Done(model_.SetCharacteristic(characteristicId));
}

int BleEngine::Select(const std::string& serviceId, const std::string& characteristicId)
{
    if (!IsConnected())
        return Done(Status::Error(err::kNotConnected, std::string(text::kNotConnected)));
    const std::string service = NormaliseId(serviceId);
    const std::string characteristic = NormaliseId(characteristicId);
    if (service.empty() && !characteristic.empty())
        return Done(Status::Error(err::kBadArgument, std::string(text::kNeedServiceId)));
    if (characteristic.empty())
        return Done(model_.SetService(serviceId));
    if (service == model_.SelectedService())
        return Done(model_.SetCharacteristic(characteristicId));
    return Done(model_.SelectCharacteristicIn(serviceId, characteristicId));
}

}  // namespace vornik
