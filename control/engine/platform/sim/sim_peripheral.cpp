#include "sim_peripheral.h"

#include <algorithm>
#include <stdexcept>

#include "sim_core.h"

namespace vornik::sim {

SimPeripheral::SimPeripheral(std::uint64_t address, std::string name, platform::AddressType addressType)
    : address_(address), addressType_(addressType), name_(std::move(name))
{
    advertising_.data.localName = name_;
    advertising_.data.flags = 0x06;  // LE general discoverable, BR/EDR not supported
}

std::string SimPeripheral::Name() const
{
    std::lock_guard lock(mutex_);
    return name_;
}

std::uint16_t SimPeripheral::TakeHandle(std::uint16_t wanted, int count)
{
    std::uint16_t handle = wanted != 0 ? wanted : nextHandle_;
    nextHandle_ = static_cast<std::uint16_t>(std::max<int>(nextHandle_, handle + count));
    return handle;
}

std::uint16_t SimPeripheral::AddService(const Uuid& uuid, bool primary, std::uint16_t handle)
{
    SimService service;
    service.handle = TakeHandle(handle, 1);
    service.uuid = uuid;
    service.primary = primary;
    services_.push_back(service);
    std::sort(services_.begin(), services_.end(), [](auto& a, auto& b) { return a.handle < b.handle; });
    return service.handle;
}

void SimPeripheral::IncludeService(std::uint16_t service, std::uint16_t included)
{
    SimService* parent = FindService(service);
    if (parent == nullptr || FindService(included) == nullptr)
        throw std::invalid_argument("IncludeService: unknown service handle");
    parent->includes.push_back(included);
}

std::uint16_t SimPeripheral::AddCharacteristic(std::uint16_t service, const Uuid& uuid, std::uint16_t properties,
                                               Bytes value, std::uint16_t handle)
{
    SimService* owner = FindService(service);
    if (owner == nullptr)
        throw std::invalid_argument("AddCharacteristic: unknown service handle");
    SimCharacteristic chr;
    // The declaration sits just before the value.
    chr.declarationHandle = TakeHandle(handle != 0 ? static_cast<std::uint16_t>(handle - 1) : 0, 2);
    chr.handle = static_cast<std::uint16_t>(chr.declarationHandle + 1);
    chr.uuid = uuid;
    chr.properties = properties;
    chr.value = std::move(value);
    owner->characteristics.push_back(chr);
    std::sort(owner->characteristics.begin(), owner->characteristics.end(),
              [](auto& a, auto& b) { return a.handle < b.handle; });
    if (properties & (platform::prop::kNotify | platform::prop::kIndicate))
        AddDescriptor(chr.handle, Uuid::FromShort(descriptor_uuid::kCccd), Bytes{0, 0}, true);
    return chr.handle;
}

std::uint16_t SimPeripheral::AddDescriptor(std::uint16_t characteristic, const Uuid& uuid, Bytes value,
                                           bool writable, std::uint16_t handle)
{
    SimCharacteristic& chr = CharacteristicOrThrow(characteristic);
    SimDescriptor descriptor;
    descriptor.handle = TakeHandle(handle, 1);
    descriptor.uuid = uuid;
    descriptor.value = std::move(value);
    descriptor.writable = writable;
    chr.descriptors.push_back(descriptor);
    std::sort(chr.descriptors.begin(), chr.descriptors.end(), [](auto& a, auto& b) { return a.handle < b.handle; });
    return descriptor.handle;
}

std::uint16_t SimPeripheral::AddUserDescription(std::uint16_t characteristic, const std::string& text,
                                                bool writable)
{
    return AddDescriptor(characteristic, Uuid::FromShort(descriptor_uuid::kUserDescription),
                         Bytes(text.begin(), text.end()), writable);
}

std::uint16_t SimPeripheral::AddPresentationFormat(std::uint16_t characteristic, std::uint8_t format,
                                                   std::int8_t exponent, std::uint16_t unit)
{
    // Format, exponent, unit (LE), name space 0x01 (SIG), description 0.
    Bytes value{format, static_cast<std::uint8_t>(exponent), static_cast<std::uint8_t>(unit & 0xFF),
                static_cast<std::uint8_t>(unit >> 8), 0x01, 0x00, 0x00};
    return AddDescriptor(characteristic, Uuid::FromShort(descriptor_uuid::kPresentationFormat), value);
}

std::uint16_t SimPeripheral::AddAggregateFormat(std::uint16_t characteristic,
                                                const std::vector<std::uint16_t>& formats)
{
    Bytes value;
    for (std::uint16_t handle : formats) {
        value.push_back(static_cast<std::uint8_t>(handle & 0xFF));
        value.push_back(static_cast<std::uint8_t>(handle >> 8));
    }
    return AddDescriptor(characteristic, Uuid::FromShort(descriptor_uuid::kAggregateFormat), value);
}

std::uint16_t SimPeripheral::AddExtendedProperties(std::uint16_t characteristic, std::uint16_t bits)
{
    SimCharacteristic& chr = CharacteristicOrThrow(characteristic);
    chr.properties |= platform::prop::kExtendedProperties;
    return AddDescriptor(characteristic, Uuid::FromShort(descriptor_uuid::kExtendedProperties),
                         Bytes{static_cast<std::uint8_t>(bits & 0xFF), static_cast<std::uint8_t>(bits >> 8)});
}

SimService* SimPeripheral::FindService(std::uint16_t handle)
{
    for (SimService& service : services_)
        if (service.handle == handle)
            return &service;
    return nullptr;
}

SimCharacteristic* SimPeripheral::FindCharacteristic(std::uint16_t handle)
{
    for (SimService& service : services_)
        for (SimCharacteristic& chr : service.characteristics)
            if (chr.handle == handle)
                return &chr;
    return nullptr;
}

SimCharacteristic& SimPeripheral::CharacteristicOrThrow(std::uint16_t handle)
{
    SimCharacteristic* chr = FindCharacteristic(handle);
    if (chr == nullptr)
        throw std::invalid_argument("unknown characteristic handle");
    return *chr;
}

SimDescriptor* SimPeripheral::FindDescriptor(std::uint16_t handle, SimCharacteristic** owner)
{
    for (SimService& service : services_)
        for (SimCharacteristic& chr : service.characteristics)
            for (SimDescriptor& descriptor : chr.descriptors)
                if (descriptor.handle == handle) {
                    if (owner != nullptr)
                        *owner = &chr;
                    return &descriptor;
                }
    return nullptr;
}

Bytes SimPeripheral::Value(std::uint16_t handle)
{
    if (SimCharacteristic* chr = FindCharacteristic(handle))
        return chr->value;
    if (SimDescriptor* descriptor = FindDescriptor(handle))
        return descriptor->value;
    return {};
}

void SimPeripheral::SetValue(std::uint16_t handle, Bytes value)
{
    if (SimCharacteristic* chr = FindCharacteristic(handle)) {
        chr->value = std::move(value);
        return;
    }
    SimCharacteristic* owner = nullptr;
    if (SimDescriptor* descriptor = FindDescriptor(handle, &owner)) {
        if (descriptor->uuid == Uuid::FromShort(descriptor_uuid::kCccd)) {
            owner->cccd = static_cast<std::uint16_t>((value.size() > 0 ? value[0] : 0) |
                                                     (value.size() > 1 ? value[1] << 8 : 0));
        }
        descriptor->value = std::move(value);
    }
}

std::uint16_t SimPeripheral::Cccd(std::uint16_t characteristic)
{
    SimCharacteristic* chr = FindCharacteristic(characteristic);
    return chr == nullptr ? 0 : chr->cccd;
}

void SimPeripheral::SetLatency(std::chrono::milliseconds latency)
{
    std::lock_guard lock(mutex_);
    latency_ = latency;
    opLatency_.clear();
}

void SimPeripheral::SetLatency(SimOp op, std::chrono::milliseconds latency)
{
    std::lock_guard lock(mutex_);
    opLatency_[op] = latency;
}

std::chrono::milliseconds SimPeripheral::Latency(SimOp op) const
{
    std::lock_guard lock(mutex_);
    auto found = opLatency_.find(op);
    return found == opLatency_.end() ? latency_ : found->second;
}

void SimPeripheral::InjectFault(const SimFault& fault)
{
    std::lock_guard lock(mutex_);
    faults_.push_back(fault);
}

std::optional<SimFault> SimPeripheral::TakeFault(SimOp op, std::uint16_t handle)
{
    std::lock_guard lock(mutex_);
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if ((it->op != SimOp::Any && it->op != op) || (it->handle != 0 && it->handle != handle))
            continue;
        SimFault fault = *it;
        if (it->count > 0 && --it->count == 0)
            faults_.erase(it);
        return fault;
    }
    return std::nullopt;
}

void SimPeripheral::Notify(std::uint16_t characteristic, Bytes value)
{
    if (core_ == nullptr)
        return;
    auto self = shared_from_this();
    core_->scheduler.After(Latency(SimOp::Any), [self, characteristic, value = std::move(value)] {
        if (self->core_ != nullptr)
            self->core_->DeliverValue(*self, characteristic, value);
    });
}

std::uint64_t SimPeripheral::NotifyEvery(std::chrono::milliseconds period, std::uint16_t characteristic,
                                         std::function<Bytes()> next)
{
    if (core_ == nullptr)
        return 0;
    std::weak_ptr<SimPeripheral> weak = shared_from_this();
    return core_->scheduler.Every(period, [weak, characteristic, next = std::move(next)] {
        if (auto self = weak.lock(); self && self->core_ != nullptr)
            self->core_->DeliverValue(*self, characteristic, next());
    });
}

void SimPeripheral::StopTimer(std::uint64_t timer)
{
    if (core_ != nullptr)
        core_->scheduler.StopTimer(timer);
}

void SimPeripheral::After(std::chrono::milliseconds delay, std::function<void()> task)
{
    if (core_ != nullptr)
        core_->scheduler.After(delay, std::move(task));
}

bool SimPeripheral::LinkUp() const
{
    std::lock_guard lock(mutex_);
    return linkUp_;
}

void SimPeripheral::DropLink()
{
    {
        std::lock_guard lock(mutex_);
        if (!linkUp_)
            return;
        linkUp_ = false;
    }
    if (core_ == nullptr)
        return;
    auto self = shared_from_this();
    core_->scheduler.After(std::chrono::milliseconds(0), [self] {
        if (self->behaviour_)
            self->behaviour_->OnLinkChanged(*self, false);
        self->core_->DeliverConnectionStatus(*self);
    });
}

void SimPeripheral::RestoreLink()
{
    {
        std::lock_guard lock(mutex_);
        if (linkUp_)
            return;
        linkUp_ = true;
    }
    if (core_ == nullptr)
        return;
    auto self = shared_from_this();
    core_->scheduler.After(std::chrono::milliseconds(0), [self] {
        if (self->behaviour_)
            self->behaviour_->OnLinkChanged(*self, true);
        self->core_->DeliverConnectionStatus(*self);
    });
}

void SimPeripheral::SetCccd(std::uint16_t characteristic, std::uint16_t value)
{
    SimCharacteristic& chr = CharacteristicOrThrow(characteristic);
    chr.cccd = value;
    for (SimDescriptor& descriptor : chr.descriptors)
        if (descriptor.uuid == Uuid::FromShort(descriptor_uuid::kCccd))
            descriptor.value = Bytes{static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
}

void SimPeripheral::SetCccdChoice(CccdChoice choice)
{
    std::lock_guard lock(mutex_);
    cccdChoice_ = choice;
}

std::optional<platform::CccdValue> SimPeripheral::StackChosenCccd(const SimCharacteristic& chr) const
{
    std::lock_guard lock(mutex_);
    switch (cccdChoice_) {
    case CccdChoice::Asked:
        return std::nullopt;
    case CccdChoice::Stack:
        return (chr.properties & platform::prop::kNotify) ? platform::CccdValue::Notify
                                                          : platform::CccdValue::Indicate;
    case CccdChoice::Nothing:
        return platform::CccdValue::None;
    }
    return std::nullopt;
}

void SimPeripheral::SetName(std::string name)
{
    {
        std::lock_guard lock(mutex_);
        name_ = std::move(name);
    }
    if (core_ == nullptr)
        return;
    auto self = shared_from_this();
    core_->scheduler.After(std::chrono::milliseconds(0), [self] { self->core_->DeliverNameChanged(*self); });
}

void SimPeripheral::ChangeServices(std::string changedServiceText)
{
    if (core_ == nullptr)
        return;
    auto self = shared_from_this();
    core_->scheduler.After(std::chrono::milliseconds(0), [self, text = std::move(changedServiceText)] {
        self->core_->DeliverServicesChanged(*self, text);
    });
}

int SimPeripheral::Count(SimOp op, std::uint16_t handle) const
{
    std::lock_guard lock(mutex_);
    int total = 0;
    for (const auto& [key, count] : counters_)
        if ((op == SimOp::Any || key.first == op) && (handle == 0 || key.second == handle))
            total += count;
    return total;
}

void SimPeripheral::CountRequest(SimOp op, std::uint16_t handle)
{
    std::lock_guard lock(mutex_);
    ++counters_[{op, handle}];
}

int SimPeripheral::CancelledRequests(SimOp op) const
{
    std::lock_guard lock(mutex_);
    int total = 0;
    for (const auto& [kind, count] : cancelled_)
        if (op == SimOp::Any || kind == op)
            total += count;
    return total;
}

void SimPeripheral::CountCancelled(SimOp op)
{
    std::lock_guard lock(mutex_);
    ++cancelled_[op];
}

void SimPeripheral::ResetCounters()
{
    std::lock_guard lock(mutex_);
    counters_.clear();
    cancelled_.clear();
}

}  // namespace vornik::sim
