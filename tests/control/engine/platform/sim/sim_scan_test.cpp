#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/sim/sim_module.h"
#include "sim_test_support.h"

namespace vornik::sim {
namespace {

using namespace std::chrono_literals;
using platform::WatcherStatus;

class SimScan : public testing::SimFixture {
protected:
    SimScan()
    {
        radio_->SetAdvertisingInterval(5ms);
        gauge_ = radio_->AddPeripheral(0xA4C138F0B27DULL, "QN-Gauge");
        gauge_->Advertising().data.serviceUuids = {Uuid::FromShort(0x180A)};
        gauge_->Advertising().data.manufacturerData = {{0x0A5C, {1, 2, 3}}};
        gauge_->Advertising().data.txPower = -4;
        gauge_->Advertising().scanResponse = SimAdData{};
        gauge_->Advertising().scanResponse->localName = "QN-Gauge full";
        other_ = radio_->AddPeripheral(0x112233445566ULL, "Other");
        other_->Advertising().type = platform::AdvertisementType::NonConnectableUndirected;
        watcher_ = radio_->CreateAdvertisementWatcher();
        watcher_->SetReceivedHandler([this](const platform::AdvertisementReceived& packet) { packets_.push_back(packet); });
        watcher_->SetStoppedHandler([this](platform::BluetoothError error) { stops_.push_back(error); });
    }

    std::shared_ptr<SimPeripheral> gauge_, other_;
    std::shared_ptr<platform::AdvertisementWatcher> watcher_;
    std::vector<platform::AdvertisementReceived> packets_;
    std::vector<platform::BluetoothError> stops_;
};

TEST_F(SimScan, StartedWatcherHearsEveryAdvertiser)
{
    EXPECT_EQ(watcher_->Status(), WatcherStatus::Created);
    watcher_->Start();
    EXPECT_EQ(watcher_->Status(), WatcherStatus::Started);
    ASSERT_TRUE(RunUntil([&] { return packets_.size() >= 2; }));
    const auto& gauge = packets_[0];
    EXPECT_EQ(gauge.address, 0xA4C138F0B27DULL);
    EXPECT_EQ(gauge.rawSignalStrengthInDBm, -60);
    EXPECT_EQ(gauge.type, platform::AdvertisementType::ConnectableUndirected);
    EXPECT_EQ(gauge.advertisement.localName, "QN-Gauge");
    ASSERT_EQ(gauge.advertisement.manufacturerData.size(), 1u);
    EXPECT_EQ(gauge.advertisement.manufacturerData[0].companyId, 0x0A5C);
    // Flags, 16-bit UUID list, name, Tx power, manufacturer data, in that order.
    ASSERT_TRUE(gauge.advertisement.dataSections.has_value());
    const auto& sections = *gauge.advertisement.dataSections;
    std::vector<std::uint8_t> types;
    for (const auto& section : sections)
        types.push_back(section.type);
    EXPECT_EQ(types, (std::vector<std::uint8_t>{0x01, 0x03, 0x09, 0x0A, 0xFF}));
    EXPECT_EQ(sections[1].data, (Bytes{0x0A, 0x18}));
    EXPECT_EQ(sections[3].data, (Bytes{0xFC}));
    EXPECT_EQ(sections[4].data, (Bytes{0x5C, 0x0A, 1, 2, 3}));
    EXPECT_EQ(packets_[1].type, platform::AdvertisementType::NonConnectableUndirected);
}

TEST_F(SimScan, ActiveScanningAlsoGetsScanResponses)
{
    watcher_->SetScanningMode(platform::ScanningMode::Active);
    watcher_->Start();
    ASSERT_TRUE(RunUntil([&] { return packets_.size() >= 3; }));
    EXPECT_EQ(packets_[1].type, platform::AdvertisementType::ScanResponse);
    EXPECT_EQ(packets_[1].advertisement.localName, "QN-Gauge full");
}

TEST_F(SimScan, FilterLetsOnlyListedServicesThrough)
{
    watcher_->SetFilter({Uuid::FromShort(0x180A)});
    watcher_->Start();
    ASSERT_TRUE(RunUntil([&] { return packets_.size() >= 3; }));
    for (const auto& packet : packets_)
        EXPECT_EQ(packet.address, 0xA4C138F0B27DULL);
}

TEST_F(SimScan, StopReportsStoppingThenStopped)
{
    radio_->SetScanStopDelay(20ms);
    watcher_->Start();
    watcher_->Stop();
    EXPECT_EQ(watcher_->Status(), WatcherStatus::Stopping);
    ASSERT_TRUE(RunUntil([&] { return !stops_.empty(); }));
    EXPECT_EQ(watcher_->Status(), WatcherStatus::Stopped);
    EXPECT_EQ(stops_, std::vector<platform::BluetoothError>{platform::BluetoothError::Success});
}

TEST_F(SimScan, StartDelayKeepsTheWatcherCreatedForAWhile)
{
    radio_->SetScanStartDelay(30ms);
    watcher_->Start();
    EXPECT_EQ(watcher_->Status(), WatcherStatus::Created);
    EXPECT_TRUE(RunUntil([&] { return watcher_->Status() == WatcherStatus::Started; }));
}

TEST_F(SimScan, AbortEndsTheScanWithTheError)
{
    watcher_->Start();
    radio_->AbortScans(platform::BluetoothError::RadioNotAvailable);
    ASSERT_TRUE(RunUntil([&] { return !stops_.empty(); }));
    EXPECT_EQ(watcher_->Status(), WatcherStatus::Aborted);
    EXPECT_EQ(stops_[0], platform::BluetoothError::RadioNotAvailable);
}

TEST_F(SimScan, AdapterStates)
{
    struct Case {
        SimAdapterState state;
        bool present;
        bool lowEnergy;
    };
    for (const Case& c : {Case{SimAdapterState::Present, true, true}, Case{SimAdapterState::NoLowEnergy, true, false},
                          Case{SimAdapterState::Missing, false, false}}) {
        radio_->SetAdapterState(c.state);
        auto adapter = Await<std::shared_ptr<platform::Adapter>>(
            [&](auto done) { radio_->GetDefaultAdapter(std::move(done)); });
        EXPECT_EQ(adapter != nullptr, c.present);
        if (adapter) {
            EXPECT_EQ(adapter->IsLowEnergySupported(), c.lowEnergy);
        }
    }
    EXPECT_EQ(radio_->Count(SimOp::DefaultAdapter), 3);
}

TEST_F(SimScan, WithoutAdapterAStartAborts)
{
    radio_->SetAdapterState(SimAdapterState::Missing);
    watcher_->Start();
    ASSERT_TRUE(RunUntil([&] { return !stops_.empty(); }));
    EXPECT_EQ(watcher_->Status(), WatcherStatus::Aborted);
    EXPECT_EQ(stops_[0], platform::BluetoothError::RadioNotAvailable);
}

TEST(SimModule, LoadsPeripheralsFromTheModuleNamedByTheEnvironment)
{
    SimRadio radio;
    ASSERT_EQ(setenv(kSimModuleVariable, VORNIK_SIM_TEST_MODULE, 1), 0);
    Status status = LoadPeripheralModuleFromEnvironment(radio);
    unsetenv(kSimModuleVariable);
    ASSERT_TRUE(status.ok()) << status.text;
    auto peripheral = radio.Peripheral(0x010203040506ULL);
    ASSERT_TRUE(peripheral);
    EXPECT_EQ(peripheral->Name(), "Module gauge");
    EXPECT_EQ(peripheral->Services().size(), 1u);
}

TEST(SimModule, UnsetVariableLoadsNothing)
{
    SimRadio radio;
    unsetenv(kSimModuleVariable);
    EXPECT_TRUE(LoadPeripheralModuleFromEnvironment(radio).ok());
}

TEST(SimModule, BadModuleIsAnError)
{
    SimRadio radio;
    Status missing = LoadPeripheralModule(radio, "/nonexistent/module.so");
    EXPECT_EQ(missing.code, 613);
    EXPECT_NE(missing.text.find("Simulated peripheral module /nonexistent/module.so: "), std::string::npos);
}

}  // namespace
}  // namespace vornik::sim
