#include "gatt_model.h"

#include <algorithm>
#include <array>

#include "errors.h"
#include "object_id.h"
#include "sig_names.h"
#include "uuid.h"

namespace vornik {

namespace {

struct FlagBit {
    std::uint16_t flag;
    std::uint16_t platformBit;
    std::string_view letters;
};

// In the order of the flags text.
constexpr std::array<FlagBit, 9> kFlagBits = {{
    {0x0001, platform::prop::kBroadcast, "B"},
    {0x0002, platform::prop::kRead, ",R"},
    {0x0004, platform::prop::kWriteWithoutResponse, ",WWR"},
    {0x0008, platform::prop::kWrite, ",W"},
    {0x0010, platform::prop::kNotify, ",N"},
    {0x0020, platform::prop::kIndicate, ",I"},
    {0x0040, platform::prop::kAuthenticatedSignedWrites, ",ASR"},
    {0x0080, platform::prop::kReliableWrites, ",RW"},
    {0x0100, platform::prop::kWritableAuxiliaries, ",WA"},
}};

void AddOnce(std::vector<std::string>& ids, const std::string& id)
{
    if (std::find(ids.begin(), ids.end(), id) == ids.end())
        ids.push_back(id);
}

template <class Record>
std::shared_ptr<Record> FindById(const std::vector<std::shared_ptr<Record>>& list, const std::string& id)
{
    for (const auto& record : list)
        if (record && record->id == id)
            return record;
    return nullptr;
}

template <class Record, class Object>
std::shared_ptr<Record> NewRecord(const std::shared_ptr<Object>& object, const std::string& id, SigKind kind)
{
    auto record = std::make_shared<Record>();
    record->handle = object->AttributeHandle();
    record->id = id;
    record->uuid = FormatUuid(object->GetUuid());
    record->description = SigName(kind, record->uuid);
    return record;
}

}  // namespace

std::uint16_t MapCharacteristicFlags(std::uint16_t platformProperties)
{
    std::uint16_t flags = 0;
    for (const FlagBit& bit : kFlagBits)
        if (platformProperties & bit.platformBit)
            flags |= bit.flag;
    return flags;
}

std::string FlagsText(std::uint16_t flags)
{
    std::string text;
    for (const FlagBit& bit : kFlagBits)
        if (flags & bit.flag)
            text += bit.letters;
    if (!text.empty() && text.front() == ',')
        text.erase(0, 1);
    return text;
}

Status GattModel::AddService(const std::shared_ptr<platform::GattService>& service, const ServicePtr& parent,
                             Added<ServiceRecord>& out)
{
    std::string id;
    Status status = BuildObjectId(service->AttributeHandle(), 0, 0, id);
    if (!status.ok())
        return status;
    out.record = FindById(services_, id);
    out.isNew = out.record == nullptr;
    if (out.isNew) {
        out.record = NewRecord<ServiceRecord>(service, id, SigKind::Service);
        out.record->service = service;
        services_.push_back(out.record);
        characteristics_[id];
    }
    if (parent) {
        AddOnce(out.record->parentIds, parent->id);
        AddOnce(parent->includedIds, id);
    }
    return Status::Ok();
}

Status GattModel::AddCharacteristic(const ServiceRecord& owner,
                                    const std::shared_ptr<platform::GattCharacteristic>& chr,
                                    Added<CharacteristicRecord>& out)
{
    std::string id;
    Status status = BuildObjectId(owner.handle, chr->AttributeHandle(), 0, id);
    if (!status.ok())
        return status;
    auto& list = characteristics_[owner.id];
    out.record = FindById(list, id);
    out.isNew = out.record == nullptr;
    if (out.isNew) {
        out.record = NewRecord<CharacteristicRecord>(chr, id, SigKind::Characteristic);
        out.record->characteristic = chr;
        list.push_back(out.record);
        characteristicsByHandle_.emplace(out.record->handle, out.record);
        descriptors_[id];
    }
    return Status::Ok();
}

Status GattModel::AddDescriptor(const ServiceRecord& service, const CharacteristicRecord& owner,
                                const std::shared_ptr<platform::GattDescriptor>& descriptor,
                                Added<DescriptorRecord>& out)
{
    std::string id;
    Status status = BuildObjectId(service.handle, owner.handle, descriptor->AttributeHandle(), id);
    if (!status.ok())
        return status;
    auto& list = descriptors_[owner.id];
    out.record = FindById(list, id);
    out.isNew = out.record == nullptr;
    if (out.isNew) {
        out.record = NewRecord<DescriptorRecord>(descriptor, id, SigKind::Descriptor);
        out.record->descriptor = descriptor;
        list.push_back(out.record);
    }
    return Status::Ok();
}

Status GattModel::FindService(std::string_view serviceId, ServicePtr& out) const
{
    std::string id = NormaliseId(serviceId);
    if (id.empty())
        return Status::Error(err::kBadArgument, std::string(text::kNeedServiceId));
    out = FindById(services_, id);
    return out ? Status::Ok() : NoServiceError(serviceId);
}

Status GattModel::FindCharacteristic(std::string_view serviceId, std::string_view characteristicId,
                                     CharacteristicPtr& out) const
{
    ServicePtr service;
    Status status = FindService(serviceId, service);
    if (!status.ok())
        return status;
    std::string id = NormaliseId(characteristicId);
    if (id.empty())
        return Status::Error(err::kBadArgument, std::string(text::kNeedCharacteristicId));
    out = FindById(CharacteristicsOf(service->id), id);
    return out ? Status::Ok() : NoCharacteristicError(characteristicId, serviceId);
}

Status GattModel::FindDescriptor(std::string_view characteristicId, std::string_view descriptorId,
                                 DescriptorPtr& out) const
{
    out = FindById(DescriptorsOf(NormaliseId(characteristicId)), NormaliseId(descriptorId));
    return out ? Status::Ok() : NoDescriptorError(descriptorId, characteristicId);
}

CharacteristicPtr GattModel::CharacteristicById(std::string_view characteristicId) const
{
    std::string id = NormaliseId(characteristicId);
    auto found = characteristics_.find(OwningServiceId(id));
    return found == characteristics_.end() ? nullptr : FindById(found->second, id);
}

CharacteristicPtr GattModel::CharacteristicByHandle(std::uint16_t handle) const
{
    const auto found = characteristicsByHandle_.find(handle);
    return found == characteristicsByHandle_.end() ? nullptr : found->second;
}

const std::vector<CharacteristicPtr>& GattModel::CharacteristicsOf(const std::string& serviceId) const
{
    static const std::vector<CharacteristicPtr> kNone;
    auto found = characteristics_.find(serviceId);
    return found == characteristics_.end() ? kNone : found->second;
}

const std::vector<DescriptorPtr>& GattModel::DescriptorsOf(const std::string& characteristicId) const
{
    static const std::vector<DescriptorPtr> kNone;
    auto found = descriptors_.find(characteristicId);
    return found == descriptors_.end() ? kNone : found->second;
}

void GattModel::ShowCharacteristicsOf(const std::string& serviceId)
{
    characteristicArray_ = CharacteristicsOf(serviceId);
}

void GattModel::ShowDescriptorsOf(const std::string& characteristicId)
{
    descriptorArray_ = DescriptorsOf(characteristicId);
}

void GattModel::SetCharacteristicCount(int count)
{
    characteristicArray_.resize(static_cast<std::size_t>(std::max(count, 0)));
}

Status GattModel::SetService(std::string_view serviceId)
{
    selectedCharacteristic_.clear();
    descriptorArray_.clear();
    std::string id = NormaliseId(serviceId);
    if (id.empty()) {
        selectedService_.clear();
        characteristicArray_.clear();
        return Status::Ok();
    }
    ServicePtr service;
    Status status = FindService(serviceId, service);
    if (!status.ok())
        return status;
    selectedService_ = service->id;
    // A service whose characteristics were never discovered shows none.
    ShowCharacteristicsOf(service->id);
    return Status::Ok();
}

Status GattModel::SetCharacteristic(std::string_view characteristicId)
{
    if (NormaliseId(characteristicId).empty()) {
        selectedCharacteristic_.clear();
        descriptorArray_.clear();
        return Status::Ok();
    }
    if (selectedService_.empty())
        return Status::Error(err::kUsage, std::string(text::kSelectServiceFirst));
    return SelectCharacteristicIn(selectedService_, characteristicId);
}

Status GattModel::SelectCharacteristicIn(std::string_view serviceId, std::string_view characteristicId)
{
    CharacteristicPtr chr;
    Status status = FindCharacteristic(serviceId, characteristicId, chr);
    if (!status.ok())
        return status;
    selectedCharacteristic_ = chr->id;
    ShowDescriptorsOf(chr->id);
    return Status::Ok();
}

void GattModel::Clear()
{
    services_.clear();
    characteristics_.clear();
    characteristicsByHandle_.clear();
    descriptors_.clear();
    characteristicArray_.clear();
    descriptorArray_.clear();
    selectedService_.clear();
    selectedCharacteristic_.clear();
    subscriptions_.clear();
}

}  // namespace vornik
