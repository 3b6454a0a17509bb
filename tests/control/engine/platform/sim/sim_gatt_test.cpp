#include <gtest/gtest.h>

#include <thread>

#include "sim_test_support.h"
#include "uuid.h"

namespace vornik::sim {
namespace {

using namespace std::chrono_literals;
using platform::GattStatus;
namespace prop = platform::prop;

constexpr std::uint64_t kAddress = 0xA4C138F0B27DULL;

class SimGatt : public testing::SimFixture {
protected:
    SimGatt()
    {
        peripheral_ = radio_->AddPeripheral(kAddress, "Gauge");
        info_ = peripheral_->AddService(Uuid::FromShort(0x180A));                                         // 1
        model_ = peripheral_->AddCharacteristic(info_, Uuid::FromShort(0x2A24), prop::kRead, {'M', '1'}); // 2, 3
        command_ = peripheral_->AddCharacteristic(info_, Uuid::FromShort(0x2A3D),
                                                  prop::kRead | prop::kWrite | prop::kWriteWithoutResponse |
                                                      prop::kNotify | prop::kIndicate); // 4, 5, CCCD 6
        user_ = peripheral_->AddUserDescription(command_, "Command", true);             // 7
        format_ = peripheral_->AddPresentationFormat(command_, 0x19, -2, 0x2728);       // 8
        peripheral_->AddExtendedProperties(command_, 0x0003);                           // 9
        battery_ = peripheral_->AddService(Uuid::FromShort(0x180F), true, 0x0020);
        level_ = peripheral_->AddCharacteristic(battery_, Uuid::FromShort(0x2A19), prop::kRead, {87});
        peripheral_->IncludeService(info_, battery_);
        device_ = DeviceOf(kAddress);
    }

    std::shared_ptr<platform::GattCharacteristic> Characteristic(std::uint16_t handle)
    {
        for (auto& service : ServicesOf(*device_))
            for (auto& chr : CharacteristicsOf(*service))
                if (chr->AttributeHandle() == handle)
                    return chr;
        ADD_FAILURE() << "no characteristic " << handle;
        return nullptr;
    }

    platform::DetailsResult Details(platform::GattCharacteristic& chr)
    {
        return Await<platform::DetailsResult>([&](auto done) { chr.GetDetails(std::move(done)); });
    }

    platform::ValueResult Read(platform::GattCharacteristic& chr,
                               platform::CacheMode mode = platform::CacheMode::Uncached)
    {
        return Await<platform::ValueResult>([&](auto done) { chr.ReadValue(mode, std::move(done)); });
    }

    platform::GattResult Write(platform::GattCharacteristic& chr, Bytes value,
                               platform::WriteOption option = platform::WriteOption::WithResponse)
    {
        return Await<platform::GattResult>(
            [&](auto done) { chr.WriteValue(std::move(value), option, std::move(done)); });
    }

    platform::CccdResult WriteCccd(platform::GattCharacteristic& chr, platform::CccdValue value)
    {
        return Await<platform::CccdResult>([&](auto done) { chr.WriteCccd(value, std::move(done)); });
    }

    std::shared_ptr<SimPeripheral> peripheral_;
    std::uint16_t info_ = 0, model_ = 0, command_ = 0, user_ = 0, format_ = 0, battery_ = 0, level_ = 0;
    std::shared_ptr<platform::Device> device_;
};

TEST_F(SimGatt, HandlesFollowTheOrderOfDefinition)
{
    struct Expected {
        const char* what;
        std::uint16_t actual;
        std::uint16_t handle;
    };
    for (const Expected& e :
         {Expected{"service", info_, 1}, Expected{"first value", model_, 3}, Expected{"second value", command_, 5},
          Expected{"user description", user_, 7}, Expected{"presentation format", format_, 8},
          Expected{"placed service", battery_, 0x20}, Expected{"after placed service", level_, 0x22}})
        EXPECT_EQ(e.actual, e.handle) << e.what;
}

TEST_F(SimGatt, DiscoveryReportsObjectsInHandleOrderWithTheirUuids)
{
    ASSERT_TRUE(device_);
    auto services = ServicesOf(*device_);
    ASSERT_EQ(services.size(), 2u);
    EXPECT_EQ(services[0]->AttributeHandle(), 1);
    EXPECT_EQ(FormatUuid(services[1]->GetUuid()), "0000180F-0000-1000-8000-00805F9B34FB");

    auto chars = CharacteristicsOf(*services[0]);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0]->AttributeHandle(), 3);
    EXPECT_EQ(chars[1]->AttributeHandle(), 5);

    auto descriptors = DescriptorsOf(*chars[1]);
    std::vector<std::uint16_t> handles;
    std::vector<std::string> uuids;
    for (auto& d : descriptors) {
        handles.push_back(d->AttributeHandle());
        uuids.push_back(FormatUuid(d->GetUuid()).substr(4, 4));
    }
    EXPECT_EQ(handles, (std::vector<std::uint16_t>{6, 7, 8, 9}));
    EXPECT_EQ(uuids, (std::vector<std::string>{"2902", "2901", "2904", "2900"}));
}

TEST_F(SimGatt, DiscoveryForOneUuidAndIncludedServices)
{
    EXPECT_EQ(ServicesOf(*device_, Uuid::FromShort(0x180F)).size(), 1u);
    EXPECT_TRUE(ServicesOf(*device_, Uuid::FromShort(0x1817)).empty());
    auto info = ServicesOf(*device_)[0];
    auto included = Await<platform::ListResult<platform::GattService>>(
        [&](auto done) { info->GetIncludedServices(std::nullopt, std::move(done)); });
    ASSERT_EQ(included.objects.size(), 1u);
    EXPECT_EQ(included.objects[0]->AttributeHandle(), 0x20);
    auto cccds = DescriptorsOf(*Characteristic(command_), Uuid::FromShort(0x2902));
    ASSERT_EQ(cccds.size(), 1u);
    EXPECT_EQ(cccds[0]->AttributeHandle(), 6);
}

TEST_F(SimGatt, CharacteristicDetails)
{
    auto command = Characteristic(command_);
    // Extended properties 0x0003 add reliable writes and writable auxiliaries.
    EXPECT_EQ(command->Properties(), 0x0010 | 0x0020 | 0x0002 | 0x0004 | 0x0008 | 0x0080 | 0x0100 | 0x0200);
    EXPECT_EQ(Characteristic(model_)->Properties(), prop::kRead);
    const auto details = Details(*command);
    ASSERT_EQ(details.status, GattStatus::Success);
    EXPECT_EQ(details.details.userDescription, "Command");
    const auto& formats = details.details.presentationFormats;
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].formatType, 0x19);
    EXPECT_EQ(formats[0].exponent, -2);
    EXPECT_EQ(FormatUuid(formats[0].unit), "00002728-0000-1000-8000-00805F9B34FB");
    EXPECT_EQ(peripheral_->Count(SimOp::GetDetails, command_), 1);
    // The server's text as it is when asked, and none without the descriptors.
    peripheral_->SetValue(user_, {'C', '2'});
    EXPECT_EQ(Details(*command).details.userDescription, "C2");
    const auto bare = Details(*Characteristic(model_));
    EXPECT_EQ(bare.status, GattStatus::Success);
    EXPECT_TRUE(bare.details.userDescription.empty());
    EXPECT_TRUE(bare.details.presentationFormats.empty());
}

TEST_F(SimGatt, DetailsFailWithTheFaultThenAnswerAgain)
{
    auto command = Characteristic(command_);
    for (const GattStatus status : {GattStatus::ProtocolError, GattStatus::AccessDenied, GattStatus::Unreachable}) {
        peripheral_->InjectFault({SimOp::GetDetails, command_, status, 0x0E, 1});
        const auto failed = Details(*command);
        EXPECT_EQ(failed.status, status);
        EXPECT_TRUE(failed.details.userDescription.empty() && failed.details.presentationFormats.empty());
        EXPECT_EQ(Details(*command).details.userDescription, "Command");
    }
    peripheral_->DropLink();
    EXPECT_EQ(Details(*command).status, GattStatus::Unreachable);
    peripheral_->RestoreLink();
    EXPECT_EQ(Details(*command).details.userDescription, "Command");
}

TEST_F(SimGatt, ReadsAndWritesWithTheServersRules)
{
    auto model = Characteristic(model_);
    auto command = Characteristic(command_);
    EXPECT_EQ(Read(*model).value, (Bytes{'M', '1'}));

    auto written = Write(*model, {1});
    EXPECT_EQ(written.status, GattStatus::ProtocolError);
    EXPECT_EQ(written.protocolError.value_or(0), 0x03) << "write to a read-only characteristic";
    EXPECT_EQ(Write(*command, {'$', '!'}).status, GattStatus::Success);
    EXPECT_EQ(peripheral_->Value(command_), (Bytes{'$', '!'}));
    EXPECT_EQ(Write(*command, {'x'}, platform::WriteOption::WithoutResponse).status, GattStatus::Success);
    EXPECT_EQ(WriteCccd(*model, platform::CccdValue::Notify).protocolError.value_or(0), 0x0A) << "no CCCD";
}

TEST_F(SimGatt, InjectedFaultsAnswerTheNextMatchingRequests)
{
    auto model = Characteristic(model_);
    peripheral_->InjectFault({SimOp::ReadValue, model_, GattStatus::ProtocolError, 0x85, 1});
    peripheral_->InjectFault({SimOp::ReadValue, 0, GattStatus::AccessDenied, 0, 1});
    peripheral_->InjectFault({SimOp::ReadValue, 0, GattStatus::Unreachable, 0, 1});

    auto first = Read(*model);
    EXPECT_EQ(first.status, GattStatus::ProtocolError);
    EXPECT_EQ(first.protocolError.value_or(0), 0x85);
    EXPECT_EQ(Read(*model).status, GattStatus::AccessDenied);
    EXPECT_EQ(Read(*model).status, GattStatus::Unreachable);
    auto fourth = Read(*model);
    EXPECT_EQ(fourth.status, GattStatus::Success);
    EXPECT_EQ(fourth.value, (Bytes{'M', '1'}));
}

TEST_F(SimGatt, LatencyDelaysTheAnswer)
{
    auto model = Characteristic(model_);
    peripheral_->SetLatency(SimOp::ReadValue, 1500ms);
    auto started = Clock::now();
    Read(*model, platform::CacheMode::Uncached);
    EXPECT_TRUE(lastStatus_.ok());
    EXPECT_GE(Clock::now() - started, 1500ms);

    // One second is not enough.
    Await<platform::ValueResult>([&](auto done) { model->ReadValue(platform::CacheMode::Uncached, std::move(done)); },
                                 1);
    EXPECT_EQ(lastStatus_.code, 301);
    EXPECT_EQ(lastStatus_.text, "Timeout.");
}

TEST_F(SimGatt, CachedReadsDoNotAskTheServer)
{
    auto model = Characteristic(model_);
    peripheral_->SetLatency(SimOp::ReadValue, 60s);
    EXPECT_EQ(Read(*model, platform::CacheMode::Cached).value, (Bytes{'M', '1'}));
    EXPECT_EQ(peripheral_->Count(SimOp::ReadValue), 0);
    EXPECT_EQ(peripheral_->Count(SimOp::ReadCachedValue, model_), 1);
}

TEST_F(SimGatt, CountersCountEveryRequestByKindAndHandle)
{
    // Each look-up discovers the services, then the first service's characteristics.
    auto command = Characteristic(command_);
    auto model = Characteristic(model_);
    Read(*model);
    Read(*model);
    WriteCccd(*command, platform::CccdValue::Notify);
    EXPECT_EQ(peripheral_->Count(SimOp::DiscoverServices), 2);
    EXPECT_EQ(peripheral_->Count(SimOp::DiscoverCharacteristics), 2);
    EXPECT_EQ(peripheral_->Count(SimOp::DiscoverCharacteristics, info_), 2);
    EXPECT_EQ(peripheral_->Count(SimOp::DiscoverCharacteristics, battery_), 0);
    EXPECT_EQ(peripheral_->Count(SimOp::ReadValue, model_), 2);
    EXPECT_EQ(peripheral_->Count(SimOp::ReadValue, command_), 0);
    EXPECT_EQ(peripheral_->Count(SimOp::WriteCccd), 1);
    EXPECT_EQ(radio_->Count(SimOp::DeviceFromAddress), 1);
    peripheral_->ResetCounters();
    EXPECT_EQ(peripheral_->Count(SimOp::Any), 0);
}

TEST_F(SimGatt, NotificationsNeedTheCccdAndArriveOnTheLoopThread)
{
    auto command = Characteristic(command_);
    std::vector<Bytes> received;
    std::thread::id receiver;
    command->SetValueChangedHandler([&](platform::GattCharacteristic& sender, const Bytes& value) {
        EXPECT_EQ(sender.AttributeHandle(), command_);
        received.push_back(value);
        receiver = std::this_thread::get_id();
    });
    peripheral_->Notify(command_, {1});
    loop_.RunRound(50ms, false);
    EXPECT_TRUE(received.empty()) << "not subscribed yet";

    ASSERT_EQ(WriteCccd(*command, platform::CccdValue::Indicate).status, GattStatus::Success);
    EXPECT_EQ(peripheral_->Cccd(command_), 2);
    std::thread other([&] { peripheral_->Notify(command_, {2, 3}); });
    other.join();
    EXPECT_TRUE(RunUntil([&] { return !received.empty(); }));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], (Bytes{2, 3}));
    EXPECT_EQ(receiver, std::this_thread::get_id());
    EXPECT_EQ(Read(*command, platform::CacheMode::Cached).value, (Bytes{2, 3}));
}

// A CCCD write answers with what is on now; a read's answer never goes to
// the value-changed handler.
TEST_F(SimGatt, CccdResultSaysTheKindAndReadsStayOffTheHandler)
{
    auto command = Characteristic(command_);
    int handled = 0;
    command->SetValueChangedHandler([&](platform::GattCharacteristic&, const Bytes&) { ++handled; });
    struct Case {
        SimPeripheral::CccdChoice choice;
        platform::CccdValue asked;
        platform::CccdValue on;
    };
    using C = SimPeripheral::CccdChoice;
    using V = platform::CccdValue;
    for (const Case& c : {Case{C::Asked, V::Indicate, V::Indicate}, Case{C::Asked, V::Notify, V::Notify},
                          Case{C::Stack, V::Indicate, V::Notify}, Case{C::Nothing, V::Notify, V::None},
                          Case{C::Stack, V::None, V::None}}) {
        peripheral_->SetCccdChoice(c.choice);
        const platform::CccdResult result = WriteCccd(*command, c.asked);
        ASSERT_EQ(result.status, GattStatus::Success);
        EXPECT_EQ(result.value, c.on);
        EXPECT_EQ(peripheral_->Cccd(command_), static_cast<std::uint16_t>(c.on));
        Read(*command, platform::CacheMode::Uncached);
        loop_.RunRound(10ms, false);
        EXPECT_EQ(handled, 0);
    }
}

TEST_F(SimGatt, TimedNotificationsRepeatUntilStopped)
{
    auto command = Characteristic(command_);
    int count = 0;
    command->SetValueChangedHandler([&](platform::GattCharacteristic&, const Bytes& value) {
        EXPECT_EQ(value, Bytes{static_cast<std::uint8_t>(count + 1)});
        ++count;
    });
    WriteCccd(*command, platform::CccdValue::Notify);
    std::uint8_t next = 0;
    auto timer = peripheral_->NotifyEvery(10ms, command_, [&] { return Bytes{++next}; });
    EXPECT_TRUE(RunUntil([&] { return count >= 3; }));
    peripheral_->StopTimer(timer);
    int stoppedAt = count;
    loop_.RunRound(50ms, false);
    loop_.RunRound(50ms, false);
    EXPECT_LE(count, stoppedAt + 1); // at most one already due
}

TEST_F(SimGatt, LinkLossAndReturn)
{
    auto model = Characteristic(model_);
    int statusEvents = 0;
    device_->SetConnectionStatusChangedHandler([&] { ++statusEvents; });
    EXPECT_EQ(device_->GetConnectionStatus(), platform::ConnectionStatus::Connected);

    peripheral_->DropLink();
    EXPECT_TRUE(RunUntil([&] { return statusEvents == 1; }));
    EXPECT_EQ(device_->GetConnectionStatus(), platform::ConnectionStatus::Disconnected);
    EXPECT_EQ(Read(*model).status, GattStatus::Unreachable);
    peripheral_->DropLink(); // already down: no second event
    peripheral_->RestoreLink();
    EXPECT_TRUE(RunUntil([&] { return statusEvents == 2; }));
    EXPECT_EQ(device_->GetConnectionStatus(), platform::ConnectionStatus::Connected);
    EXPECT_EQ(Read(*model).status, GattStatus::Success);
}

TEST_F(SimGatt, NameAndServiceChangesReachTheDevice)
{
    std::string changed;
    int names = 0;
    device_->SetNameChangedHandler([&] { ++names; });
    device_->SetGattServicesChangedHandler([&](const std::string& text) { changed = text; });
    peripheral_->SetName("Gauge 2");
    peripheral_->ChangeServices("0000180F-0000-1000-8000-00805F9B34FB");
    EXPECT_TRUE(RunUntil([&] { return names == 1 && !changed.empty(); }));
    EXPECT_EQ(device_->Name(), "Gauge 2");
    EXPECT_EQ(changed, "0000180F-0000-1000-8000-00805F9B34FB");
}

TEST_F(SimGatt, UnknownAddressGivesNoDevice)
{
    EXPECT_EQ(DeviceOf(0x112233445566ULL), nullptr);
    EXPECT_TRUE(lastStatus_.ok());
}

// A gauge-like peer: a "$" command written to the characteristic is
// answered in its value and by a notification.
class EchoBehaviour : public SimBehaviour {
public:
    std::uint8_t OnWrite(SimPeripheral& peripheral, std::uint16_t handle, const Bytes& value, bool) override
    {
        if (value.empty() || value[0] != '$')
            return 0x80; // application error: not a command
        Bytes reply{'O', 'K'};
        peripheral.SetValue(handle, reply);
        peripheral.Notify(handle, reply);
        return 0;
    }
};

TEST_F(SimGatt, BehaviourAnswersWritesInCode)
{
    auto command = Characteristic(command_);
    peripheral_->SetBehaviour(std::make_shared<EchoBehaviour>());
    Bytes notified;
    command->SetValueChangedHandler([&](platform::GattCharacteristic&, const Bytes& value) { notified = value; });
    WriteCccd(*command, platform::CccdValue::Notify);

    auto refused = Write(*command, {'x'});
    EXPECT_EQ(refused.protocolError.value_or(0), 0x80);
    EXPECT_EQ(peripheral_->Value(command_), Bytes{}) << "refused write restores the old value";
    EXPECT_EQ(Write(*command, {'$', 'q', '!'}).status, GattStatus::Success);
    EXPECT_EQ(Read(*command).value, (Bytes{'O', 'K'}));
    EXPECT_TRUE(RunUntil([&] { return !notified.empty(); }));
    EXPECT_EQ(notified, (Bytes{'O', 'K'}));
}

// A server busy with its memory refuses subscription changes: the CCCD
// keeps what it had, either way round.
class BusyBehaviour : public SimBehaviour {
public:
    std::uint8_t OnCccdWrite(SimPeripheral&, std::uint16_t, std::uint16_t) override { return busy ? 0x0E : 0; }
    void OnCccdChanged(SimPeripheral&, std::uint16_t, std::uint16_t) override { ++changes; }
    bool busy = false;
    int changes = 0;
};

TEST_F(SimGatt, BehaviourRefusesSubscriptionChanges)
{
    auto command = Characteristic(command_);
    auto behaviour = std::make_shared<BusyBehaviour>();
    peripheral_->SetBehaviour(behaviour);
    using V = platform::CccdValue;
    for (const auto& [from, to] : {std::pair{V::None, V::Notify}, std::pair{V::Notify, V::None}}) {
        behaviour->busy = false;
        ASSERT_EQ(WriteCccd(*command, from).status, GattStatus::Success);
        const int changes = behaviour->changes;
        behaviour->busy = true;
        const platform::CccdResult refused = WriteCccd(*command, to);
        EXPECT_EQ(refused.status, GattStatus::ProtocolError);
        EXPECT_EQ(refused.protocolError.value_or(0), 0x0E);
        EXPECT_EQ(peripheral_->Cccd(command_), static_cast<std::uint16_t>(from));
        EXPECT_EQ(behaviour->changes, changes);
    }
}

// A server that goes away while it answers: on a read, on a write.
class LeavingBehaviour : public SimBehaviour {
public:
    std::uint8_t OnRead(SimPeripheral& peripheral, std::uint16_t) override
    {
        peripheral.DropLink();
        return 0;
    }
    std::uint8_t OnWrite(SimPeripheral& peripheral, std::uint16_t, const Bytes&, bool) override
    {
        peripheral.DropLink();
        return 0;
    }
};

TEST_F(SimGatt, LinkDroppedWhileAnsweringLeavesTheRequestUnanswered)
{
    auto command = Characteristic(command_);
    peripheral_->SetBehaviour(std::make_shared<LeavingBehaviour>());
    EXPECT_EQ(Read(*command).status, GattStatus::Unreachable);
    EXPECT_TRUE(Read(*command).value.empty());
    peripheral_->RestoreLink();
    EXPECT_EQ(Write(*command, {'x'}).status, GattStatus::Unreachable);
}

// Cancelled before their answers are due, the radio's own requests are
// dropped unanswered (the completion never runs) and counted. (The engine
// tests sweep the peripheral's requests.)
TEST_F(SimGatt, RadioRequestsCancelledAreDroppedUnanswered)
{
    bool ran = false;
    const platform::Completion<std::shared_ptr<platform::Adapter>> adapter(
        [&ran](std::shared_ptr<platform::Adapter>) { ran = true; });
    radio_->GetDefaultAdapter(adapter);
    adapter.Cancel();
    const platform::Completion<std::shared_ptr<platform::Device>> device(
        [&ran](std::shared_ptr<platform::Device>) { ran = true; });
    radio_->DeviceFromAddress(kAddress, device);
    device.Cancel();
    EXPECT_NE(DeviceOf(kAddress), nullptr);
    EXPECT_FALSE(ran);
    EXPECT_EQ(radio_->CancelledRequests(SimOp::DefaultAdapter), 1);
    EXPECT_EQ(radio_->CancelledRequests(SimOp::DeviceFromAddress), 1);
    EXPECT_EQ(peripheral_->CancelledRequests(SimOp::DeviceFromAddress), 1);
}

// A stack's words for a failure, as BlueZ gives them; none on success.
TEST_F(SimGatt, FailuresSayWhatHappened)
{
    auto model = Characteristic(model_);
    struct Case {
        std::function<void()> arrange;
        std::string detail;
    };
    const std::vector<Case> cases = {
        {[&] {
             peripheral_->InjectFault({SimOp::ReadValue, 0, GattStatus::ProtocolError, 0x0A, 1});
         },
         "simulated: ATT error 0x0A injected"},
        {[&] {
             peripheral_->InjectFault({SimOp::ReadValue, 0, GattStatus::AccessDenied, 0, 1});
         },
         "simulated: access denied injected"},
        {[&] {
             peripheral_->InjectFault({SimOp::ReadValue, 0, GattStatus::Unreachable, 0, 1});
         },
         "simulated: unreachable injected"},
        {[&] { peripheral_->SetBehaviour(std::make_shared<LeavingBehaviour>()); }, "simulated: link down"},
        {[&] { peripheral_->SetBehaviour(nullptr); }, "simulated: link down"},
        {[&] { peripheral_->RestoreLink(); }, ""},
    };
    for (const Case& c : cases) {
        c.arrange();
        EXPECT_EQ(Read(*model).detail, c.detail);
    }
    EXPECT_EQ(Write(*model, {'x'}).detail, "simulated: the server answered ATT error 0x03");
}

TEST_F(SimGatt, WorkAfterADelayRunsOnTheRadiosClock)
{
    std::vector<int> order;
    peripheral_->After(20ms, [&] { order.push_back(2); });
    peripheral_->After(0ms, [&] { order.push_back(1); });
    EXPECT_TRUE(order.empty()) << "nothing runs inside After";
    EXPECT_TRUE(RunUntil([&] { return order.size() == 2; }));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    SimPeripheral detached(0x1, "Detached");
    detached.After(0ms, [&] { order.push_back(3); }); // no radio: dropped
    EXPECT_EQ(order.size(), 2u);
}

} // namespace
} // namespace vornik::sim
