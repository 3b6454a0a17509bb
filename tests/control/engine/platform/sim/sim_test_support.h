// Runs simulated-radio requests to completion through the engine's wait loop.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/sim/sim_radio.h"
#include "wait_loop.h"

namespace vornik::sim::testing {

class SimFixture : public ::testing::Test {
protected:
    SimFixture() : radio_(std::make_unique<SimRadio>()), loop_(*radio_) {}

    // Waits (at most timeoutSeconds) for the request started by start.
    template <class Result>
    Result Await(const std::function<void(platform::Completion<Result>)>& start, int timeoutSeconds = 10)
    {
        Result result{};
        WaitOptions options;
        options.timeoutSeconds = timeoutSeconds;
        lastStatus_ = AwaitRequest(loop_, options, start, result);
        return result;
    }

    // Runs rounds until done() or the deadline.
    bool RunUntil(const std::function<bool()>& done, int timeoutSeconds = 10)
    {
        WaitOptions options;
        options.timeoutSeconds = timeoutSeconds;
        return WaitUntil(loop_, options, done).ok();
    }

    std::shared_ptr<platform::Device> DeviceOf(std::uint64_t address)
    {
        return Await<std::shared_ptr<platform::Device>>(
            [&](auto done) { radio_->DeviceFromAddress(address, std::move(done)); });
    }

    std::vector<std::shared_ptr<platform::GattService>> ServicesOf(platform::Device& device,
                                                                   std::optional<Uuid> uuid = std::nullopt)
    {
        auto result = Await<platform::ListResult<platform::GattService>>(
            [&](auto done) { device.GetGattServices(uuid, std::move(done)); });
        EXPECT_EQ(result.status, platform::GattStatus::Success);
        return result.objects;
    }

    std::vector<std::shared_ptr<platform::GattCharacteristic>> CharacteristicsOf(
        platform::GattService& service, std::optional<Uuid> uuid = std::nullopt)
    {
        auto result = Await<platform::ListResult<platform::GattCharacteristic>>(
            [&](auto done) { service.GetCharacteristics(uuid, std::move(done)); });
        EXPECT_EQ(result.status, platform::GattStatus::Success);
        return result.objects;
    }

    std::vector<std::shared_ptr<platform::GattDescriptor>> DescriptorsOf(platform::GattCharacteristic& chr,
                                                                         std::optional<Uuid> uuid = std::nullopt)
    {
        auto result = Await<platform::ListResult<platform::GattDescriptor>>(
            [&](auto done) { chr.GetDescriptors(uuid, std::move(done)); });
        EXPECT_EQ(result.status, platform::GattStatus::Success);
        return result.objects;
    }

    std::unique_ptr<SimRadio> radio_;
    WaitLoop loop_;
    Status lastStatus_;
};

}  // namespace vornik::sim::testing
