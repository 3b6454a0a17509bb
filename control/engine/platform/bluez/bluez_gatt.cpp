// The GATT objects through BlueZ: services, their characteristics and descriptors.
#include "bluez_gatt.h"

#include <algorithm>
#include <iterator>
#include <type_traits>
#include <utility>

#include "../gatt_constants.h"
#include "bluez_notify.h"

namespace vornik::bluez {

platform::GattResult Ok() { return {}; }

platform::GattResult Unreachable(std::string detail)
{
    platform::GattResult result;
    result.status = platform::GattStatus::Unreachable;
    result.detail = std::move(detail);
    return result;
}

platform::GattResult Failed(const CallError& error, Request request)
{
    return MapError(error.name, error.message, request);
}

Uuid UuidOf(const Properties* properties)
{
    const auto text = Get<std::string>(properties, "UUID");
    return text ? ParseUuid(*text).value_or(Uuid{}) : Uuid{};
}

namespace {

using namespace platform;

// The handle a GATT object's path carries; none when it is no handle an
// attribute can have (0, or a declaration at 0xFFFF with no room for its
// value). BlueZ never names objects so; something posing as it may.
std::optional<std::uint16_t> UsableHandle(const std::string& path, std::string_view kind)
{
    const auto handle = HandleFromPath(path, kind);
    if (!handle || *handle == 0 || (kind == "char" && *handle == 0xFFFF))
        return std::nullopt;
    return handle;
}

CccdValue NotifyingKind(const Properties* characteristic)
{
    if (!Get<bool>(characteristic, "Notifying").value_or(false))
        return CccdValue::None;
    const std::uint16_t bits = PropertiesFromFlags(
        Get<std::vector<std::string>>(characteristic, "Flags").value_or(std::vector<std::string>{}));
    return (bits & prop::kNotify) || !(bits & prop::kIndicate) ? CccdValue::Notify : CccdValue::Indicate;
}

Bytes CccdBytes(CccdValue value) { return {static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) & 0xFF), 0}; }

// A read from the cache answers with the value BlueZ holds for the object;
// false when it holds none and the device must be asked.
bool AnswerFromCache(Core& core, const Properties* object, const Completion<ValueResult>& done)
{
    auto cached = Get<Bytes>(object, "Value");
    if (!cached)
        return false;
    core.Post([done, value = std::move(*cached)] {
        ValueResult result;
        result.value = value;
        done(result);
    });
    return true;
}

// ----------------------------------------------------------------------

class BluezDescriptor final : public GattDescriptor {
public:
    BluezDescriptor(std::shared_ptr<Core> core, std::string path, std::string characteristicPath)
        : core_(std::move(core))
        , path_(std::move(path))
        , characteristicPath_(std::move(characteristicPath))
        , handle_(HandleFromPath(path_, "desc").value_or(0))
        , uuid_(UuidOf(core_->PropertiesOf(path_, kDescriptorInterface)))
    {
    }

    std::uint16_t AttributeHandle() const override { return handle_; }
    Uuid GetUuid() const override { return uuid_; }

    bool IsCccd() const { return uuid_ == Uuid::FromShort(gatt::descriptor::kCccd); }

    void ReadValue(CacheMode mode, Completion<ValueResult> done) override
    {
        if (IsCccd()) {
            // BlueZ keeps the configuration itself; it is what Notifying
            // says.
            core_->Post([core = core_, path = characteristicPath_, done] {
                const Properties* characteristic = core->PropertiesOf(path, kCharacteristicInterface);
                if (!characteristic) {
                    done(WithStatus<ValueResult>(Unreachable("The characteristic is gone.")));
                    return;
                }
                ValueResult result;
                result.value = CccdBytes(NotifyingKind(characteristic));
                done(result);
            });
            return;
        }
        if (mode == CacheMode::Cached &&
            AnswerFromCache(*core_, core_->PropertiesOf(path_, kDescriptorInterface), done))
            return;
        const auto call = core_->Call(
            path_, kDescriptorInterface, "ReadValue", [](sdbus::MethodCall& call) { call << Options{}; },
            [done](sdbus::MethodReply* reply, const CallError* error) {
                if (error) {
                    done(WithStatus<ValueResult>(Failed(*error, Request::Read)));
                    return;
                }
                ValueResult result;
                try {
                    *reply >> result.value;
                } catch (const sdbus::Error& e) {
                    done(WithStatus<ValueResult>(Unreachable("Malformed reply: " + e.getMessage())));
                    return;
                }
                done(result);
            });
        DropOnCancel(done, call);
    }

    void WriteValue(Bytes value, Completion<GattResult> done) override
    {
        if (IsCccd()) {
            // BlueZ refuses raw writes here: the configuration is asked
            // for through StartNotify and StopNotify.
            if (value.size() != 2) {
                core_->Post([done] {
                    GattResult result;
                    result.status = GattStatus::ProtocolError;
                    result.protocolError = 0x0D; // invalid attribute value length
                    result.detail = "A configuration value is two bytes.";
                    done(result);
                });
                return;
            }
            done.OnCancel(SetNotifying(core_, characteristicPath_, (value[0] & 0x03) != 0,
                                       [done](const GattResult& outcome) { done(outcome); }));
            return;
        }
        DropOnCancel(done, core_->Call(
                               path_, kDescriptorInterface, "WriteValue",
                               [&value](sdbus::MethodCall& call) { call << value << Options{}; },
                               [done](sdbus::MethodReply*, const CallError* error) {
                                   done(error ? Failed(*error, Request::Write) : Ok());
                               }));
    }

private:
    std::shared_ptr<Core> core_;
    std::string path_;
    std::string characteristicPath_;
    std::uint16_t handle_;
    Uuid uuid_;
};

// ----------------------------------------------------------------------

class BluezCharacteristic final : public GattCharacteristic,
                                  public Listener,
                                  public std::enable_shared_from_this<BluezCharacteristic> {
public:
    BluezCharacteristic(std::shared_ptr<Core> core, std::string path)
        : core_(std::move(core))
        , path_(std::move(path))
        ,
        // The path carries the declaration handle; the value follows it.
        handle_(static_cast<std::uint16_t>(HandleFromPath(path_, "char").value_or(0) + 1))
        , uuid_(UuidOf(core_->PropertiesOf(path_, kCharacteristicInterface)))
        , properties_(PropertiesFromFlags(
              Get<std::vector<std::string>>(core_->PropertiesOf(path_, kCharacteristicInterface), "Flags")
                  .value_or(std::vector<std::string>{})))
    {
    }

    std::uint16_t AttributeHandle() const override { return handle_; }
    Uuid GetUuid() const override { return uuid_; }
    std::uint16_t Properties() const override { return properties_; }

    // Reads every user description and presentation format descriptor
    // anew (the values bluetoothd keeps may be older than the server's).
    void GetDetails(Completion<DetailsResult> done) override
    {
        auto self = shared_from_this();
        core_->Post([self, done] {
            if (done.Cancelled())
                return;
            if (!self->core_->Object(self->path_)) {
                done(WithStatus<DetailsResult>(Unreachable("The characteristic is gone.")));
                return;
            }
            std::vector<std::string> paths = self->DescriptorsOf(Uuid::FromShort(gatt::descriptor::kUserDescription));
            const std::size_t userDescriptions = paths.size();
            for (const std::string& path : self->DescriptorsOf(Uuid::FromShort(gatt::descriptor::kPresentationFormat)))
                paths.push_back(path);
            auto reads = std::make_shared<DetailReads>();
            reads->values.resize(paths.size());
            reads->remaining = paths.size();
            reads->userDescriptions = userDescriptions;
            if (paths.empty()) {
                done(DetailReads::Answer(*reads));
                return;
            }
            for (std::size_t i = 0; i < paths.size(); ++i)
                self->ReadDetail(paths[i], reads, i, done);
        });
    }

    void GetDescriptors(std::optional<Uuid> uuid, Completion<ListResult<GattDescriptor>> done) override
    {
        auto self = shared_from_this();
        core_->Post([self, uuid, done] {
            if (done.Cancelled())
                return;
            if (!self->core_->Object(self->path_)) {
                done(WithStatus<ListResult<GattDescriptor>>(Unreachable("The characteristic is gone.")));
                return;
            }
            ListResult<GattDescriptor> list;
            for (const std::string& path : self->core_->Children(kDescriptorInterface, "Characteristic", self->path_)) {
                if (!UsableHandle(path, "desc"))
                    continue;
                auto descriptor = std::make_shared<BluezDescriptor>(self->core_, path, self->path_);
                if (!uuid || descriptor->GetUuid() == *uuid)
                    list.objects.push_back(std::move(descriptor));
            }
            done(std::move(list));
        });
    }

    void ReadValue(CacheMode mode, Completion<ValueResult> done) override
    {
        if (mode == CacheMode::Cached &&
            AnswerFromCache(*core_, core_->PropertiesOf(path_, kCharacteristicInterface), done))
            return;
        ++readsInFlight_;
        auto self = shared_from_this();
        std::weak_ptr<BluezCharacteristic> weak = self;
        auto read = std::make_shared<ReadInFlight>();
        read->call = core_->Call(
            path_, kCharacteristicInterface, "ReadValue", [](sdbus::MethodCall& call) { call << Options{}; },
            [weak, done, read](sdbus::MethodReply* reply, const CallError* error) {
                ValueResult result;
                if (error) {
                    result = WithStatus<ValueResult>(Failed(*error, Request::Read));
                } else {
                    try {
                        *reply >> result.value;
                    } catch (const sdbus::Error& e) {
                        result = WithStatus<ValueResult>(Unreachable("Malformed reply: " + e.getMessage()));
                    }
                }
                if (auto characteristic = weak.lock())
                    characteristic->Settle(*read, result.status == GattStatus::Success ? &result.value : nullptr);
                done(std::move(result));
            });
        // bluetoothd finishes a read nobody waits for and sets Value just
        // before its reply: the call is kept so that change is still known
        // as the read's. Changes held meanwhile go out with the reply, or
        // after the grace when it is slow.
        done.OnCancel([weak, read] {
            auto characteristic = weak.lock();
            if (!characteristic) {
                read->call.cancel(); // nobody is left to hold values for
                return;
            }
            if (read->settled)
                return;
            read->grace = characteristic->core_->After(kLateReplyGrace, [weak, read] {
                read->grace = 0;
                if (auto late = weak.lock())
                    late->GiveUp(*read);
                else
                    read->call.cancel();
            });
            if (!read->grace) // shut down: no reply comes
                characteristic->GiveUp(*read);
        });
    }

    void WriteValue(Bytes value, WriteOption option, Completion<GattResult> done) override
    {
        const std::string type = option == WriteOption::WithResponse ? "request" : "command";
        const auto call = core_->Call(
            path_, kCharacteristicInterface, "WriteValue",
            [&](sdbus::MethodCall& call) {
                call << value << Options{{"type", sdbus::Variant(type)}};
            },
            [done](sdbus::MethodReply*, const CallError* error) {
                done(error ? Failed(*error, Request::Write) : Ok());
            });
        DropOnCancel(done, call);
    }

    void ReadCccd(Completion<CccdResult> done) override
    {
        core_->Post([core = core_, path = path_, done] {
            const auto* characteristic = core->PropertiesOf(path, kCharacteristicInterface);
            if (!characteristic) {
                done(WithStatus<CccdResult>(Unreachable("The characteristic is gone.")));
                return;
            }
            CccdResult result;
            result.value = NotifyingKind(characteristic);
            done(result);
        });
    }

    void WriteCccd(CccdValue value, Completion<CccdResult> done) override
    {
        const bool on = value != CccdValue::None;
        auto answer = [core = core_, path = path_, on, done](const GattResult& outcome) {
            CccdResult result = WithStatus<CccdResult>(outcome);
            if (outcome.status == GattStatus::Success && on) {
                // Notifying may still be on its way as a signal: the
                // call's success says it is on, the flags say which kind.
                bluez::Properties assumed;
                if (const auto* known = core->PropertiesOf(path, kCharacteristicInterface))
                    assumed = *known;
                assumed["Notifying"] = sdbus::Variant(true);
                result.value = NotifyingKind(&assumed);
            }
            done(result);
        };
        done.OnCancel(SetNotifying(core_, path_, on, std::move(answer)));
    }

    void SetValueChangedHandler(ValueChangedHandler handler) override { handler_ = std::move(handler); }

    void OnChanged(const std::string& path, const std::string& interface, const bluez::Properties& changed) override
    {
        if (path != path_ || interface != kCharacteristicInterface)
            return;
        auto value = Get<Bytes>(&changed, "Value");
        if (!value || core_->Notifications().Unwanted(path_))
            return; // notifications the engine does not know are on
        // BlueZ sets Value after a read too, just before the read's reply:
        // held until the reply says which change was the read's.
        if (readsInFlight_ > 0) {
            held_.push_back(std::move(*value));
            return;
        }
        Deliver(*value);
    }
    void OnAdded(const std::string&, const Interfaces&) override { }
    void OnRemoved(const std::string&, const std::vector<std::string>&) override { }

private:
    // The answers of one GetDetails: the user descriptions' values first,
    // then the presentation formats', in server order.
    struct DetailReads {
        std::vector<Bytes> values;
        std::size_t userDescriptions = 0;
        std::size_t remaining = 0;
        std::optional<GattResult> failure;

        static DetailsResult Answer(const DetailReads& reads)
        {
            if (reads.failure)
                return WithStatus<DetailsResult>(*reads.failure);
            DetailsResult result;
            if (reads.userDescriptions > 0)
                result.details.userDescription.assign(reads.values[0].begin(), reads.values[0].end());
            for (std::size_t i = reads.userDescriptions; i < reads.values.size(); ++i) {
                const Bytes& value = reads.values[i];
                if (value.size() != 7)
                    continue;
                PresentationFormat format;
                format.formatType = value[0];
                format.exponent = static_cast<std::int8_t>(value[1]);
                format.unit = Uuid::FromShort(static_cast<std::uint16_t>(value[2] | value[3] << 8));
                result.details.presentationFormats.push_back(format);
            }
            return result;
        }
    };

    void ReadDetail(const std::string& path, const std::shared_ptr<DetailReads>& reads, std::size_t index,
                    const Completion<DetailsResult>& done)
    {
        const auto call = core_->Call(
            path, kDescriptorInterface, "ReadValue", [](sdbus::MethodCall& call) { call << Options{}; },
            [core = core_, path, reads, index, done](sdbus::MethodReply* reply, const CallError* error) {
                if (error) {
                    if (!reads->failure)
                        reads->failure = Failed(*error, Request::Read);
                } else {
                    try {
                        *reply >> reads->values[index];
                        core->Remember(path, kDescriptorInterface, "Value", sdbus::Variant(reads->values[index]));
                    } catch (const sdbus::Error& e) {
                        if (!reads->failure)
                            reads->failure = Unreachable("Malformed reply: " + e.getMessage());
                    }
                }
                if (--reads->remaining == 0)
                    done(DetailReads::Answer(*reads));
            });
        DropOnCancel(done, call);
    }

    std::vector<std::string> DescriptorsOf(const Uuid& uuid) const
    {
        std::vector<std::string> out;
        for (const std::string& path : core_->Children(kDescriptorInterface, "Characteristic", path_))
            if (UsableHandle(path, "desc") && UuidOf(core_->PropertiesOf(path, kDescriptorInterface)) == uuid)
                out.push_back(path);
        return out;
    }

    // A read's bus call, and the wait for its reply once the engine has
    // stopped waiting.
    struct ReadInFlight {
        sdbus::PendingAsyncCall call;
        bool settled = false;
        std::uint64_t grace = 0;
    };

    void Settle(ReadInFlight& read, const Bytes* readValue)
    {
        if (read.settled)
            return;
        read.settled = true;
        if (read.grace)
            core_->CancelTimer(read.grace);
        read.grace = 0;
        --readsInFlight_;
        ReleaseHeld(readValue);
    }

    // No reply in the grace: the read's echo, should it still come, can no
    // longer be told from a notification.
    void GiveUp(ReadInFlight& read)
    {
        read.call.cancel();
        Settle(read, nullptr);
    }

    void ReleaseHeld(const Bytes* readValue)
    {
        if (readValue) {
            // The echo came just before the reply: the last equal change.
            const auto echo = std::find(held_.rbegin(), held_.rend(), *readValue);
            if (echo != held_.rend())
                held_.erase(std::next(echo).base());
        }
        if (readsInFlight_ > 0)
            return;
        std::vector<Bytes> held;
        held.swap(held_);
        for (const Bytes& value : held)
            Deliver(value);
    }

    void Deliver(const Bytes& value)
    {
        if (handler_) {
            auto keep = shared_from_this(); // the handler may drop the last reference
            ValueChangedHandler handler = handler_;
            handler(*this, value);
        }
    }

    std::shared_ptr<Core> core_;
    std::string path_;
    std::uint16_t handle_;
    Uuid uuid_;
    std::uint16_t properties_;
    ValueChangedHandler handler_;
    int readsInFlight_ = 0;
    std::vector<Bytes> held_;
};

// ----------------------------------------------------------------------

template <class Object>
std::vector<std::shared_ptr<Object>> Made(const std::shared_ptr<Core>& core, const std::vector<std::string>& paths,
                                          const std::optional<Uuid>& uuid, const char* interface)
{
    std::vector<std::shared_ptr<Object>> out;
    for (const std::string& path : paths) {
        if (uuid && UuidOf(core->PropertiesOf(path, interface)) != *uuid)
            continue;
        auto object = std::make_shared<Object>(core, path);
        if constexpr (std::is_base_of_v<Listener, Object>)
            core->Listen(object);
        out.push_back(std::move(object));
    }
    return out;
}

// Objects without a usable handle are left out: nothing could name them.
std::vector<std::string> ByHandle(std::vector<std::string> paths, std::string_view kind)
{
    std::erase_if(paths, [kind](const std::string& path) { return !UsableHandle(path, kind); });
    std::sort(paths.begin(), paths.end(), [kind](const std::string& a, const std::string& b) {
        return HandleFromPath(a, kind).value_or(0) < HandleFromPath(b, kind).value_or(0);
    });
    return paths;
}

// A characteristic's handle lies between its service's and the next
// service's on the device: one outside would be taken for another
// service's attribute at that handle (one handle is one attribute).
std::vector<std::string> WithinService(const Core& core, const std::string& service, std::vector<std::string> paths)
{
    const auto own = UsableHandle(service, "service");
    const std::size_t slash = service.rfind('/');
    if (!own || slash == std::string::npos)
        return paths;
    const std::string siblings = service.substr(0, slash + 1);
    std::uint32_t end = 0x10000;
    for (auto next = core.NextObject(service); next && next->starts_with(siblings); next = core.NextObject(*next)) {
        const auto handle = UsableHandle(*next, "service");
        if (handle && core.PropertiesOf(*next, kServiceInterface)) {
            end = *handle;
            break;
        }
    }
    std::erase_if(paths, [&](const std::string& path) {
        const auto handle = UsableHandle(path, "char");
        return !handle || *handle <= *own || *handle >= end;
    });
    return paths;
}

class BluezService final : public GattService {
public:
    BluezService(std::shared_ptr<Core> core, std::string path)
        : core_(std::move(core))
        , path_(std::move(path))
        , handle_(HandleFromPath(path_, "service").value_or(0))
        , uuid_(UuidOf(core_->PropertiesOf(path_, kServiceInterface)))
    {
    }

    std::uint16_t AttributeHandle() const override { return handle_; }
    Uuid GetUuid() const override { return uuid_; }

    void GetIncludedServices(std::optional<Uuid> uuid, Completion<ListResult<GattService>> done) override
    {
        core_->Post([core = core_, path = path_, uuid, done] {
            const auto* service = core->PropertiesOf(path, kServiceInterface);
            if (!service) {
                done(WithStatus<ListResult<GattService>>(Unreachable("The service is gone.")));
                return;
            }
            std::vector<std::string> included;
            for (const auto& member :
                 Get<std::vector<sdbus::ObjectPath>>(service, "Includes").value_or(std::vector<sdbus::ObjectPath>{}))
                if (core->PropertiesOf(member, kServiceInterface))
                    included.push_back(member);
            ListResult<GattService> result;
            for (auto& made : Made<BluezService>(core, ByHandle(included, "service"), uuid, kServiceInterface))
                result.objects.push_back(std::move(made));
            done(std::move(result));
        });
    }

    void GetCharacteristics(std::optional<Uuid> uuid, Completion<ListResult<GattCharacteristic>> done) override
    {
        core_->Post([core = core_, path = path_, uuid, done] {
            if (!core->PropertiesOf(path, kServiceInterface)) {
                done(WithStatus<ListResult<GattCharacteristic>>(Unreachable("The service is gone.")));
                return;
            }
            ListResult<GattCharacteristic> result;
            const auto paths =
                WithinService(*core, path, ByHandle(core->Children(kCharacteristicInterface, "Service", path), "char"));
            for (auto& made : Made<BluezCharacteristic>(core, paths, uuid, kCharacteristicInterface))
                result.objects.push_back(std::move(made));
            done(std::move(result));
        });
    }

private:
    std::shared_ptr<Core> core_;
    std::string path_;
    std::uint16_t handle_;
    Uuid uuid_;
};

} // namespace

std::vector<std::shared_ptr<platform::GattService>>
MakeServices(const std::shared_ptr<Core>& core, std::vector<std::string> paths, const std::optional<Uuid>& uuid)
{
    std::vector<std::shared_ptr<platform::GattService>> out;
    for (auto& made : Made<BluezService>(core, ByHandle(std::move(paths), "service"), uuid, kServiceInterface))
        out.push_back(std::move(made));
    return out;
}

} // namespace vornik::bluez
