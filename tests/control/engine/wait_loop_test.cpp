#include <poll.h>

#include <gtest/gtest.h>

#include <thread>

#include "engine_test_support.h"

namespace vornik {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class EngineWait : public EngineFixture {
protected:
    EngineWait()
    {
        peripheral_ = radio_->AddPeripheral(0x0000000000AAULL, "Slow");
        auto service = peripheral_->AddService(Uuid::FromShort(0x180A));
        handle_ = peripheral_->AddCharacteristic(service, Uuid::FromShort(0x2A24), platform::prop::kRead, {'v'});
        platform::Device* device = nullptr;
        std::shared_ptr<platform::Device> held;
        EXPECT_TRUE(Run<std::shared_ptr<platform::Device>>(
                        [&](auto done) { radio_->DeviceFromAddress(0xAA, std::move(done)); }, held)
                        .ok());
        device = held.get();
        platform::ListResult<platform::GattService> services;
        Run<platform::ListResult<platform::GattService>>(
            [&](auto done) { device->GetGattServices(std::nullopt, std::move(done)); }, services);
        platform::ListResult<platform::GattCharacteristic> chars;
        Run<platform::ListResult<platform::GattCharacteristic>>(
            [&](auto done) { services.objects.at(0)->GetCharacteristics(std::nullopt, std::move(done)); }, chars);
        characteristic_ = chars.objects.at(0);
    }

    template <class Result>
    Status Run(const std::function<void(platform::Completion<Result>)>& start, Result& out)
    {
        return BleEngineTestPeer::Await(*engine_, start, out);
    }

    Status ReadSlowValue(platform::ValueResult& out)
    {
        return Run<platform::ValueResult>(
            [&](auto done) { characteristic_->ReadValue(platform::CacheMode::Uncached, std::move(done)); }, out);
    }

    std::shared_ptr<sim::SimPeripheral> peripheral_;
    std::uint16_t handle_ = 0;
    std::shared_ptr<platform::GattCharacteristic> characteristic_;
};

TEST_F(EngineWait, RequestPastTimeoutFailsAfterRaisingWhatArrivedMeanwhile)
{
    engine_->SetTimeout(1);
    peripheral_->SetLatency(sim::SimOp::ReadValue, 1500ms);
    radio_->After(100ms, [&] {
        BleEngineTestPeer::Log(*engine_, LogLevel::Basic, LogType::Read, "meanwhile");
    });
    platform::ValueResult result;
    auto started = Clock::now();
    Status status = ReadSlowValue(result);
    EXPECT_GE(Clock::now() - started, 1s);
    EXPECT_EQ(status.code, 301);
    EXPECT_EQ(status.text, "Timeout.");
    EXPECT_EQ(sink_.events, std::vector<std::string>{"Log(1,Read,meanwhile)"});
    // The answer that comes later finds nobody waiting; nothing breaks.
    auto until = Clock::now() + 800ms;
    while (Clock::now() < until)
        engine_->DoEvents();
}

TEST_F(EngineWait, TimeoutZeroMeansNoTimeLimit)
{
    engine_->SetTimeout(0);
    peripheral_->SetLatency(sim::SimOp::ReadValue, 1200ms);
    platform::ValueResult result;
    ASSERT_TRUE(ReadSlowValue(result).ok());
    EXPECT_EQ(result.value, platform::Bytes{'v'});
}

TEST_F(EngineWait, InterruptEndsAWaitWithoutLimit)
{
    engine_->SetTimeout(0);
    peripheral_->SetLatency(sim::SimOp::ReadValue, 60s);
    std::thread other([&] {
        std::this_thread::sleep_for(100ms);
        engine_->Interrupt();
    });
    platform::ValueResult result;
    Status status = ReadSlowValue(result);
    other.join();
    EXPECT_EQ(status.code, 301);
    EXPECT_EQ(status.text, "Interrupted.");
}

TEST_F(EngineWait, AnInterruptDoesNotReachLaterRequests)
{
    engine_->Interrupt();
    platform::ValueResult result;
    EXPECT_TRUE(ReadSlowValue(result).ok());
}

TEST_F(EngineWait, HostPumpRunsOnlyWithUseWindowsMessages)
{
    int pumped = 0;
    engine_->SetHostPump([&] { ++pumped; });
    engine_->DoEvents();
    EXPECT_EQ(pumped, 1);
    Query("UseWindowsMessages=False");
    engine_->DoEvents();
    platform::ValueResult result;
    EXPECT_TRUE(ReadSlowValue(result).ok()) << "requests still complete without the pump";
    EXPECT_EQ(pumped, 1);
}

TEST_F(EngineWait, HostPumpCanInterruptTheWait)
{
    engine_->SetTimeout(0);
    peripheral_->SetLatency(sim::SimOp::ReadValue, 60s);
    int rounds = 0;
    engine_->SetHostPump([&] {
        if (++rounds == 3)
            engine_->Interrupt();
    });
    platform::ValueResult result;
    EXPECT_EQ(ReadSlowValue(result).text, "Interrupted.");
    EXPECT_EQ(rounds, 3);
}

TEST_F(EngineWait, EventsFromAnotherThreadAreRaisedOnTheEngineThread)
{
    std::thread other([&] {
        BleEngineTestPeer::Events(*engine_).Raise(&EngineEvents::Error, short{603}, std::string("elsewhere"));
        BleEngineTestPeer::Events(*engine_).Raise(&EngineEvents::Value, std::string("000100000000"),
                                                  std::string("000100030000"), std::string(), std::string("U"),
                                                  std::string("D"), std::string("bytes"));
    });
    other.join();
    EXPECT_TRUE(sink_.events.empty()) << "nothing may reach the host on the other thread";
    engine_->DoEvents();
    EXPECT_EQ(sink_.events, (std::vector<std::string>{"Error(603,elsewhere)",
                                                      "Value(000100000000,000100030000,,U,D,bytes)"}));
    for (auto id : sink_.threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(EngineWait, NotificationFromAnotherThreadArrivesOnTheEngineThread)
{
    ASSERT_EQ(peripheral_->Cccd(handle_), 0);
    auto service = peripheral_->AddService(Uuid::FromShort(0x180F));
    auto live = peripheral_->AddCharacteristic(service, Uuid::FromShort(0x2A19), platform::prop::kNotify);
    peripheral_->SetCccd(live, 1);
    platform::Device* device = nullptr;
    std::shared_ptr<platform::Device> held;
    Run<std::shared_ptr<platform::Device>>([&](auto done) { radio_->DeviceFromAddress(0xAA, std::move(done)); }, held);
    device = held.get();
    platform::ListResult<platform::GattService> services;
    Run<platform::ListResult<platform::GattService>>(
        [&](auto done) { device->GetGattServices(Uuid::FromShort(0x180F), std::move(done)); }, services);
    platform::ListResult<platform::GattCharacteristic> chars;
    Run<platform::ListResult<platform::GattCharacteristic>>(
        [&](auto done) { services.objects.at(0)->GetCharacteristics(std::nullopt, std::move(done)); }, chars);
    chars.objects.at(0)->SetValueChangedHandler([&](platform::GattCharacteristic&, const platform::Bytes& value) {
        BleEngineTestPeer::Events(*engine_).Raise(&EngineEvents::Value, std::string("S"), std::string("C"),
                                                  std::string(), std::string("U"), std::string("D"),
                                                  std::string(value.begin(), value.end()));
    });
    std::thread other([&] { peripheral_->Notify(live, {'4', '2'}); });
    other.join();
    auto until = Clock::now() + 5s;
    while (sink_.events.empty() && Clock::now() < until)
        engine_->DoEvents();
    ASSERT_EQ(sink_.events, std::vector<std::string>{"Value(S,C,,U,D,42)"});
    EXPECT_EQ(sink_.threads[0], std::this_thread::get_id());
}

TEST_F(EngineWait, PostedTasksRunInTheNextRoundAndWakeThePollDescriptor)
{
    pollfd fd{engine_->PollDescriptor(), POLLIN, 0};
    engine_->DoEvents();
    EXPECT_EQ(poll(&fd, 1, 0), 0) << "nothing pending";
    std::thread::id ranOn;
    std::thread other([&] { engine_->Post([&] { ranOn = std::this_thread::get_id(); }); });
    other.join();
    EXPECT_EQ(poll(&fd, 1, 0), 1) << "a host's notifier would fire";
    engine_->DoEvents();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(poll(&fd, 1, 0), 0);
}

}  // namespace
}  // namespace vornik
