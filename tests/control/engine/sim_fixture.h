// An engine on the simulated radio with one peripheral, a recorder for its
// events, and helpers to name objects by their handles.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "ble_engine.h"
#include "event_recorder.h"
#include "platform/sim/sim_radio.h"
#include "uuid.h"

namespace vornik::test {

inline constexpr std::uint64_t kGaugeAddress = 0xA4C138F0B27Dull;
inline constexpr const char* kGaugeId = "A4C138F0B27D";

// "%04X%04X%04X" of the three handles.
inline std::string Id(std::uint16_t service, std::uint16_t characteristic = 0, std::uint16_t descriptor = 0)
{
    char buffer[13];
    std::snprintf(buffer, sizeof buffer, "%04X%04X%04X", service, characteristic, descriptor);
    return buffer;
}

inline std::string UuidText(std::uint16_t uuid16)
{
    return FormatUuid(Uuid::FromShort(uuid16));
}

inline std::string Bytes(std::initializer_list<std::uint8_t> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

class EngineOnSim : public testing::Test {
protected:
    EngineOnSim()
    {
        auto radio = std::make_unique<sim::SimRadio>();
        radio_ = radio.get();
        engine_ = std::make_unique<BleEngine>(std::move(radio));
        engine_->SetEventSink(&events_);
        gauge_ = radio_->AddPeripheral(kGaugeAddress, "QN-Sim");
    }

    ~EngineOnSim() override { engine_->SetEventSink(nullptr); }

    void Config(const std::string& setting)
    {
        std::string reply;
        ASSERT_EQ(engine_->Config(setting, reply), 0) << setting << ": " << engine_->LastError();
    }

    std::string Query(const std::string& setting)
    {
        std::string reply;
        EXPECT_EQ(engine_->Config(setting, reply), 0) << setting << ": " << engine_->LastError();
        return reply;
    }

    void ConnectGauge()
    {
        ASSERT_EQ(engine_->Connect(kGaugeId), 0) << engine_->LastError();
    }

    // Runs wait rounds until the condition holds; fails the test after the
    // deadline instead of hanging.
    template <class Condition>
    bool PumpUntil(Condition condition, int seconds = 5)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            engine_->DoEvents();
        }
        return true;
    }

    sim::SimRadio* radio_ = nullptr;
    std::unique_ptr<BleEngine> engine_;
    EventRecorder events_;
    std::shared_ptr<sim::SimPeripheral> gauge_;
};

}  // namespace vornik::test
