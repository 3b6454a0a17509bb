#include "sim_core.h"

#include <algorithm>

namespace vornik::sim {

using platform::GattStatus;

namespace {

// ATT error codes the simulated server answers with on its own.
constexpr std::uint8_t kAttInvalidHandle = gatt::att::kInvalidHandle;
constexpr std::uint8_t kAttReadNotPermitted = gatt::att::kReadNotPermitted;
constexpr std::uint8_t kAttWriteNotPermitted = gatt::att::kWriteNotPermitted;
constexpr std::uint8_t kAttAttributeNotFound = gatt::att::kAttributeNotFound;
constexpr std::uint8_t kAttCccdImproperlyConfigured = gatt::att::kCccdImproperlyConfigured;

constexpr std::uint16_t kExtReliableWrite = 0x0001;
constexpr std::uint16_t kExtWritableAuxiliaries = 0x0002;
constexpr std::size_t kPresentationFormatSize = 7;

template <class Result>
Result Refused(std::uint8_t attError)
{
    Result result{};
    result.status = GattStatus::ProtocolError;
    result.protocolError = attError;
    result.detail = SimCore::RefusalDetail(attError);
    return result;
}

std::string Hex(std::uint8_t code)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[code >> 4] + kDigits[code & 0x0F];
}

bool Matches(const std::optional<Uuid>& wanted, const Uuid& uuid) { return !wanted || *wanted == uuid; }

const SimDescriptor* DescriptorOfKind(const SimCharacteristic& chr, std::uint16_t kind)
{
    for (const SimDescriptor& descriptor : chr.descriptors)
        if (descriptor.uuid == Uuid::FromShort(kind))
            return &descriptor;
    return nullptr;
}

std::uint16_t LittleEndian16(const Bytes& value, std::size_t offset)
{
    if (value.size() < offset + 2)
        return 0;
    return static_cast<std::uint16_t>(value[offset] | (value[offset + 1] << 8));
}

using ValueCache = std::shared_ptr<std::optional<Bytes>>;

// The platform's cache answers without asking the server: what the last
// read saw, or the server's value when nothing was read yet.
void AnswerFromCache(SimCore& core, const std::shared_ptr<SimPeripheral>& peripheral, std::uint16_t handle,
                     const ValueCache& cache, platform::Completion<platform::ValueResult> done)
{
    peripheral->CountRequest(SimOp::ReadCachedValue, handle);
    const platform::Completion<platform::ValueResult> cancellable = done;
    const auto key =
        core.scheduler.After(std::chrono::milliseconds(0), [peripheral, handle, cache, done = std::move(done)] {
            platform::ValueResult result;
            result.value = cache->has_value() ? **cache : peripheral->Value(handle);
            done(std::move(result));
        });
    core.DropOnCancel(cancellable, key, peripheral, SimOp::ReadCachedValue);
}

// The server side of a read once the attribute is known to be readable:
// the behaviour may refuse it, otherwise the value is answered and cached.
platform::ValueResult AnswerRead(SimPeripheral& peripheral, std::uint16_t handle, const ValueCache& cache)
{
    if (SimBehaviour* behaviour = peripheral.Behaviour())
        if (std::uint8_t att = behaviour->OnRead(peripheral, handle))
            return Refused<platform::ValueResult>(att);
    platform::ValueResult result;
    result.value = peripheral.Value(handle);
    *cache = result.value;
    return result;
}

} // namespace

std::string SimCore::InjectedDetail(const SimFault& fault)
{
    switch (fault.status) {
    case GattStatus::ProtocolError:
        return "simulated: ATT error " + Hex(fault.attError) + " injected";
    case GattStatus::Unreachable:
        return "simulated: unreachable injected";
    case GattStatus::AccessDenied:
        return "simulated: access denied injected";
    case GattStatus::Success:
        break;
    }
    return {};
}

std::string SimCore::RefusalDetail(std::uint8_t attError)
{
    return "simulated: the server answered ATT error " + Hex(attError);
}

std::function<void()> SimCore::Dropper(SimScheduler::TaskKey key, const std::shared_ptr<SimPeripheral>& peripheral,
                                       SimOp op)
{
    // Weak: the completion holding this may outlive the radio.
    return [weakCore = weak_from_this(), weakPeripheral = std::weak_ptr<SimPeripheral>(peripheral), key, op] {
        auto core = weakCore.lock();
        if (!core || !core->scheduler.Cancel(key))
            return;
        if (auto peripheral = weakPeripheral.lock())
            peripheral->CountCancelled(op);
        if (op == SimOp::DefaultAdapter || op == SimOp::DeviceFromAddress) {
            std::lock_guard lock(core->mutex_);
            ++core->cancelled_[op];
        }
    };
}

int SimCore::CancelledRequests(SimOp op) const
{
    std::lock_guard lock(mutex_);
    const auto found = cancelled_.find(op);
    return found == cancelled_.end() ? 0 : found->second;
}

void SimCore::AddPeripheral(const std::shared_ptr<SimPeripheral>& peripheral)
{
    std::lock_guard lock(mutex_);
    peripheral->core_ = this;
    peripherals_.push_back(peripheral);
}

std::shared_ptr<SimPeripheral> SimCore::Peripheral(std::uint64_t address) const
{
    std::lock_guard lock(mutex_);
    for (const auto& peripheral : peripherals_)
        if (peripheral->Address() == address)
            return peripheral;
    return nullptr;
}

std::vector<std::shared_ptr<SimPeripheral>> SimCore::Peripherals() const
{
    std::lock_guard lock(mutex_);
    return peripherals_;
}

SimAdapterState SimCore::AdapterState() const
{
    std::lock_guard lock(mutex_);
    return adapter_;
}

void SimCore::SetAdapterState(SimAdapterState state)
{
    std::lock_guard lock(mutex_);
    adapter_ = state;
}

void SimCore::Register(const std::shared_ptr<SimCharacteristicObject>& object)
{
    std::lock_guard lock(mutex_);
    characteristics_.emplace(std::make_pair(object->Owner(), object->AttributeHandle()), object);
}

void SimCore::Register(const std::shared_ptr<SimDeviceObject>& device)
{
    std::lock_guard lock(mutex_);
    devices_.emplace(device->Owner(), device);
}

void SimCore::Register(const std::shared_ptr<SimWatcher>& watcher)
{
    std::lock_guard lock(mutex_);
    watchers_.push_back(watcher);
}

std::vector<std::shared_ptr<SimWatcher>> SimCore::Watchers()
{
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<SimWatcher>> live;
    for (const auto& weak : watchers_)
        if (auto watcher = weak.lock())
            live.push_back(watcher);
    return live;
}

void SimCore::DeliverValue(SimPeripheral& peripheral, std::uint16_t characteristic, const Bytes& value)
{
    SimCharacteristic* chr = peripheral.FindCharacteristic(characteristic);
    if (chr == nullptr || !peripheral.LinkUp() || chr->cccd == 0)
        return;
    chr->value = value;
    std::vector<std::shared_ptr<SimCharacteristicObject>> receivers;
    {
        std::lock_guard lock(mutex_);
        auto range = characteristics_.equal_range({&peripheral, characteristic});
        for (auto it = range.first; it != range.second;) {
            if (auto object = it->second.lock()) {
                receivers.push_back(object);
                ++it;
            } else {
                it = characteristics_.erase(it);
            }
        }
    }
    for (const auto& object : receivers)
        object->Deliver(value);
}

template <class Fire>
static void ForEachDevice(std::mutex& mutex,
                          std::multimap<const SimPeripheral*, std::weak_ptr<SimDeviceObject>>& devices,
                          const SimPeripheral& peripheral, Fire fire)
{
    std::vector<std::shared_ptr<SimDeviceObject>> live;
    {
        std::lock_guard lock(mutex);
        auto range = devices.equal_range(&peripheral);
        for (auto it = range.first; it != range.second; ++it)
            if (auto device = it->second.lock())
                live.push_back(device);
    }
    for (const auto& device : live)
        fire(*device);
}

void SimCore::DeliverConnectionStatus(SimPeripheral& peripheral)
{
    ForEachDevice(mutex_, devices_, peripheral, [](SimDeviceObject& device) { device.FireConnectionStatus(); });
}

void SimCore::DeliverNameChanged(SimPeripheral& peripheral)
{
    ForEachDevice(mutex_, devices_, peripheral, [](SimDeviceObject& device) { device.FireNameChanged(); });
}

void SimCore::DeliverServicesChanged(SimPeripheral& peripheral, const std::string& text)
{
    ForEachDevice(mutex_, devices_, peripheral, [&text](SimDeviceObject& device) { device.FireServicesChanged(text); });
}

// ---- device -------------------------------------------------------------

platform::ConnectionStatus SimDeviceObject::GetConnectionStatus() const
{
    return peripheral_->LinkUp() ? platform::ConnectionStatus::Connected : platform::ConnectionStatus::Disconnected;
}

// The link of the simulated radio is the peripheral's: a connect answers
// after the peripheral's latency, Unreachable while it is out of range or
// with an injected fault.
void SimDeviceObject::Connect(platform::Completion<platform::GattResult> done)
{
    core_->Request<platform::GattResult>(
        peripheral_, SimOp::Connect, 0, [] { return platform::GattResult{}; }, std::move(done));
}

void SimDeviceObject::Disconnect(platform::Completion<platform::GattResult> done)
{
    core_->Request<platform::GattResult>(
        peripheral_, SimOp::Disconnect, 0, [] { return platform::GattResult{}; }, std::move(done));
}

void SimDeviceObject::GetGattServices(std::optional<Uuid> uuid,
                                      platform::Completion<platform::ListResult<platform::GattService>> done)
{
    using Result = platform::ListResult<platform::GattService>;
    std::weak_ptr<SimCore> weakCore = core_;
    auto peripheral = peripheral_;
    core_->Request<Result>(
        peripheral, SimOp::DiscoverServices, 0,
        [weakCore, peripheral, uuid] {
            Result result;
            auto core = weakCore.lock();
            for (const SimService& service : peripheral->Services())
                if (core && service.primary && Matches(uuid, service.uuid))
                    result.objects.push_back(
                        std::make_shared<SimServiceObject>(core, peripheral, service.handle, service.uuid));
            return result;
        },
        std::move(done));
}

// ---- service ------------------------------------------------------------

void SimServiceObject::GetIncludedServices(std::optional<Uuid> uuid,
                                           platform::Completion<platform::ListResult<platform::GattService>> done)
{
    using Result = platform::ListResult<platform::GattService>;
    std::weak_ptr<SimCore> weakCore = core_;
    auto peripheral = peripheral_;
    std::uint16_t handle = handle_;
    core_->Request<Result>(
        peripheral, SimOp::DiscoverIncludedServices, handle,
        [weakCore, peripheral, handle, uuid] {
            SimService* service = peripheral->FindService(handle);
            auto core = weakCore.lock();
            if (service == nullptr || !core)
                return Refused<Result>(kAttInvalidHandle);
            std::vector<std::uint16_t> included = service->includes;
            std::sort(included.begin(), included.end());
            Result result;
            for (std::uint16_t includedHandle : included) {
                SimService* child = peripheral->FindService(includedHandle);
                if (child != nullptr && Matches(uuid, child->uuid))
                    result.objects.push_back(
                        std::make_shared<SimServiceObject>(core, peripheral, child->handle, child->uuid));
            }
            return result;
        },
        std::move(done));
}

void SimServiceObject::GetCharacteristics(std::optional<Uuid> uuid,
                                          platform::Completion<platform::ListResult<platform::GattCharacteristic>> done)
{
    using Result = platform::ListResult<platform::GattCharacteristic>;
    std::weak_ptr<SimCore> weakCore = core_;
    auto peripheral = peripheral_;
    std::uint16_t handle = handle_;
    core_->Request<Result>(
        peripheral, SimOp::DiscoverCharacteristics, handle,
        [weakCore, peripheral, handle, uuid] {
            SimService* service = peripheral->FindService(handle);
            auto core = weakCore.lock();
            if (service == nullptr || !core)
                return Refused<Result>(kAttInvalidHandle);
            Result result;
            for (const SimCharacteristic& chr : service->characteristics) {
                if (!Matches(uuid, chr.uuid))
                    continue;
                auto object = std::make_shared<SimCharacteristicObject>(core, peripheral, chr);
                core->Register(object);
                result.objects.push_back(object);
            }
            return result;
        },
        std::move(done));
}

// ---- characteristic -----------------------------------------------------

std::uint16_t SimCharacteristicObject::Properties() const
{
    SimCharacteristic* chr = peripheral_->FindCharacteristic(handle_);
    if (chr == nullptr)
        return 0;
    std::uint16_t properties = chr->properties;
    if (const SimDescriptor* ext = DescriptorOfKind(*chr, descriptor_uuid::kExtendedProperties)) {
        std::uint16_t bits = LittleEndian16(ext->value, 0);
        if (bits & kExtReliableWrite)
            properties |= platform::prop::kReliableWrites;
        if (bits & kExtWritableAuxiliaries)
            properties |= platform::prop::kWritableAuxiliaries;
    }
    return properties;
}

// The details as the server holds them when the request is answered.
static platform::CharacteristicDetails DetailsOf(const SimCharacteristic& chr)
{
    platform::CharacteristicDetails details;
    if (const SimDescriptor* user = DescriptorOfKind(chr, descriptor_uuid::kUserDescription))
        details.userDescription.assign(user->value.begin(), user->value.end());
    for (const SimDescriptor& descriptor : chr.descriptors) {
        if (descriptor.uuid != Uuid::FromShort(descriptor_uuid::kPresentationFormat) ||
            descriptor.value.size() < kPresentationFormatSize)
            continue;
        platform::PresentationFormat format;
        format.formatType = descriptor.value[0];
        format.exponent = static_cast<std::int8_t>(descriptor.value[1]);
        format.unit = Uuid::FromShort(LittleEndian16(descriptor.value, 2));
        details.presentationFormats.push_back(format);
    }
    return details;
}

void SimCharacteristicObject::GetDetails(platform::Completion<platform::DetailsResult> done)
{
    using Result = platform::DetailsResult;
    auto peripheral = peripheral_;
    std::uint16_t handle = handle_;
    core_->Request<Result>(
        peripheral, SimOp::GetDetails, handle,
        [peripheral, handle] {
            SimCharacteristic* chr = peripheral->FindCharacteristic(handle);
            if (chr == nullptr)
                return Refused<Result>(kAttInvalidHandle);
            Result result;
            result.details = DetailsOf(*chr);
            return result;
        },
        std::move(done));
}

void SimCharacteristicObject::GetDescriptors(std::optional<Uuid> uuid,
                                             platform::Completion<platform::ListResult<platform::GattDescriptor>> done)
{
    using Result = platform::ListResult<platform::GattDescriptor>;
    std::weak_ptr<SimCore> weakCore = core_;
    auto peripheral = peripheral_;
    std::uint16_t handle = handle_;
    core_->Request<Result>(
        peripheral, SimOp::DiscoverDescriptors, handle,
        [weakCore, peripheral, handle, uuid] {
            SimCharacteristic* chr = peripheral->FindCharacteristic(handle);
            auto core = weakCore.lock();
            if (chr == nullptr || !core)
                return Refused<Result>(kAttInvalidHandle);
            Result result;
            for (const SimDescriptor& descriptor : chr->descriptors)
                if (Matches(uuid, descriptor.uuid))
                    result.objects.push_back(
                        std::make_shared<SimDescriptorObject>(core, peripheral, descriptor.handle, descriptor.uuid));
            return result;
        },
        std::move(done));
}

void SimCharacteristicObject::ReadValue(platform::CacheMode mode, platform::Completion<platform::ValueResult> done)
{
    using Result = platform::ValueResult;
    auto peripheral = peripheral_;
    std::uint16_t handle = handle_;
    auto cache = cache_;
    if (mode == platform::CacheMode::Cached) {
        AnswerFromCache(*core_, peripheral, handle, cache, std::move(done));
        return;
    }
    core_->Request<Result>(
        peripheral, SimOp::ReadValue, handle,
        [peripheral, handle, cache] {
            SimCharacteristic* chr = peripheral->FindCharacteristic(handle);
            if (chr == nullptr)
                return Refused<Result>(kAttInvalidHandle);
            if (!(chr->properties & platform::prop::kRead))
                return Refused<Result>(kAttReadNotPermitted);
            return AnswerRead(*peripheral, handle, cache);
        },
        std::move(done));
}

void SimCharacteristicObject::WriteValue(Bytes value, platform::WriteOption option,
                                         platform::Completion<platform::GattResult> done)
{
    using Result = platform::GattResult;
    const bool withResponse = option == platform::WriteOption::WithResponse;
    auto peripheral = peripheral_;
    std::uint16_t handle = handle_;
    auto cache = cache_;
    core_->Request<Result>(
        peripheral, withResponse ? SimOp::WriteValue : SimOp::WriteWithoutResponse, handle,
        [peripheral, handle, cache, withResponse, value = std::move(value)] {
            SimCharacteristic* chr = peripheral->FindCharacteristic(handle);
            if (chr == nullptr)
                return Refused<Result>(kAttInvalidHandle);
            std::uint16_t needed = withResponse ? platform::prop::kWrite : platform::prop::kWriteWithoutResponse;
            if (!(chr->properties & needed))
                return Refused<Result>(kAttWriteNotPermitted);
            Bytes old = chr->value;
            chr->value = value;
            if (SimBehaviour* behaviour = peripheral->Behaviour()) {
                if (std::uint8_t att = behaviour->OnWrite(*peripheral, handle, value, withResponse)) {
                    peripheral->SetValue(handle, std::move(old));
                    return Refused<Result>(att);
                }
            }
            *cache = value;
            return Result{};
        },
        std::move(done));
}

void SimCharacteristicObject::ReadCccd(platform::Completion<platform::CccdResult> done)
{
    using Result = platform::CccdResult;
    auto peripheral = peripheral_;
    std::uint16_t handle = handle_;
    core_->Request<Result>(
        peripheral, SimOp::ReadCccd, handle,
        [peripheral, handle] {
            SimCharacteristic* chr = peripheral->FindCharacteristic(handle);
            if (chr == nullptr)
                return Refused<Result>(kAttInvalidHandle);
            if (DescriptorOfKind(*chr, descriptor_uuid::kCccd) == nullptr)
                return Refused<Result>(kAttAttributeNotFound);
            Result result;
            result.value = static_cast<platform::CccdValue>(chr->cccd);
            return result;
        },
        std::move(done));
}

void SimCharacteristicObject::WriteCccd(platform::CccdValue value, platform::Completion<platform::CccdResult> done)
{
    using Result = platform::CccdResult;
    auto peripheral = peripheral_;
    std::uint16_t handle = handle_;
    core_->Request<Result>(
        peripheral, SimOp::WriteCccd, handle,
        [peripheral, handle, value]() mutable {
            SimCharacteristic* chr = peripheral->FindCharacteristic(handle);
            if (chr == nullptr)
                return Refused<Result>(kAttInvalidHandle);
            if (DescriptorOfKind(*chr, descriptor_uuid::kCccd) == nullptr)
                return Refused<Result>(kAttAttributeNotFound);
            if (value != platform::CccdValue::None) {
                if (const auto chosen = peripheral->StackChosenCccd(*chr))
                    value = *chosen;
            }
            bool allowed = value == platform::CccdValue::None ||
                           (value == platform::CccdValue::Notify && (chr->properties & platform::prop::kNotify)) ||
                           (value == platform::CccdValue::Indicate && (chr->properties & platform::prop::kIndicate));
            if (!allowed)
                return Refused<Result>(kAttCccdImproperlyConfigured);
            SimBehaviour* behaviour = peripheral->Behaviour();
            if (behaviour != nullptr)
                if (std::uint8_t att = behaviour->OnCccdWrite(*peripheral, handle, static_cast<std::uint16_t>(value)))
                    return Refused<Result>(att);
            peripheral->SetCccd(handle, static_cast<std::uint16_t>(value));
            if (behaviour != nullptr)
                behaviour->OnCccdChanged(*peripheral, handle, static_cast<std::uint16_t>(value));
            Result result;
            result.value = static_cast<platform::CccdValue>(chr->cccd);
            return result;
        },
        std::move(done));
}

void SimCharacteristicObject::Deliver(const Bytes& value)
{
    *cache_ = value;
    if (handler_)
        handler_(*this, value);
}

// ---- descriptor ---------------------------------------------------------

void SimDescriptorObject::ReadValue(platform::CacheMode mode, platform::Completion<platform::ValueResult> done)
{
    using Result = platform::ValueResult;
    auto peripheral = peripheral_;
    std::uint16_t handle = handle_;
    auto cache = cache_;
    if (mode == platform::CacheMode::Cached) {
        AnswerFromCache(*core_, peripheral, handle, cache, std::move(done));
        return;
    }
    core_->Request<Result>(
        peripheral, SimOp::ReadDescriptor, handle,
        [peripheral, handle, cache] {
            if (peripheral->FindDescriptor(handle) == nullptr)
                return Refused<Result>(kAttInvalidHandle);
            return AnswerRead(*peripheral, handle, cache);
        },
        std::move(done));
}

void SimDescriptorObject::WriteValue(Bytes value, platform::Completion<platform::GattResult> done)
{
    using Result = platform::GattResult;
    auto peripheral = peripheral_;
    std::uint16_t handle = handle_;
    auto cache = cache_;
    core_->Request<Result>(
        peripheral, SimOp::WriteDescriptor, handle,
        [peripheral, handle, cache, value = std::move(value)] {
            SimCharacteristic* owner = nullptr;
            SimDescriptor* descriptor = peripheral->FindDescriptor(handle, &owner);
            if (descriptor == nullptr)
                return Refused<Result>(kAttInvalidHandle);
            if (!descriptor->writable)
                return Refused<Result>(kAttWriteNotPermitted);
            Bytes old = descriptor->value;
            const std::uint16_t oldCccd = owner->cccd;
            peripheral->SetValue(handle, value);
            SimBehaviour* behaviour = peripheral->Behaviour();
            if (behaviour != nullptr) {
                if (std::uint8_t att = behaviour->OnWrite(*peripheral, handle, value, true)) {
                    peripheral->SetValue(handle, std::move(old));
                    return Refused<Result>(att);
                }
                if (owner->cccd != oldCccd)
                    behaviour->OnCccdChanged(*peripheral, owner->handle, owner->cccd);
            }
            *cache = value;
            return Result{};
        },
        std::move(done));
}

} // namespace vornik::sim
