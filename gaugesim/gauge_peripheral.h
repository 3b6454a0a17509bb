// A simulated gauge on the simulated radio: the GATT database of the
// gauge, with GaugeState answering its reads, writes and subscriptions.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "gauge_state.h"
#include "platform/sim/sim_radio.h"

namespace quen::gaugesim {

class GaugePeripheral : public vornik::sim::SimBehaviour, public std::enable_shared_from_this<GaugePeripheral> {
public:
    // Adds the gauge to the radio.
    static std::shared_ptr<GaugePeripheral> Create(vornik::sim::SimRadio& radio, GaugeSetup setup);

    std::uint64_t Address() const { return address_; }
    // A run-time setting ("fault = silent", "reply_delay = 0"); "" or why not.
    std::string Configure(const std::string& line);
    // A reading taken on the gauge now; false when the gauge is gone or
    // nobody is subscribed (the reading is taken all the same).
    bool TakeReading();

    std::uint8_t OnRead(vornik::sim::SimPeripheral& peripheral, std::uint16_t handle) override;
    std::uint8_t OnWrite(vornik::sim::SimPeripheral& peripheral, std::uint16_t handle,
                         const vornik::platform::Bytes& value, bool withResponse) override;
    std::uint8_t OnCccdWrite(vornik::sim::SimPeripheral& peripheral, std::uint16_t characteristic,
                             std::uint16_t value) override;
    void OnCccdChanged(vornik::sim::SimPeripheral& peripheral, std::uint16_t characteristic,
                       std::uint16_t value) override;

    explicit GaugePeripheral(GaugeSetup setup);

private:
    void Build(vornik::sim::SimPeripheral& peripheral);
    // True when the link drops at this request.
    bool LinkDropsAt(vornik::sim::SimPeripheral& peripheral);
    void RestartLiveTimer(vornik::sim::SimPeripheral& peripheral);

    std::mutex mutex_;
    GaugeState state_;
    std::uint64_t address_;
    std::weak_ptr<vornik::sim::SimPeripheral> peripheral_;
    std::uint16_t command_ = 0;
    std::uint16_t directory_ = 0;
    std::uint16_t data_ = 0;
    std::uint16_t live_ = 0;
    std::uint64_t liveTimer_ = 0;
};

} // namespace quen::gaugesim
