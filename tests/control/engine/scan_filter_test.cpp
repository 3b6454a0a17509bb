// The service UUID filter is the control's rule (every listed UUID), also
// on a backend whose own filter is looser, as BlueZ's is.
#include <algorithm>

#include "sim_fixture.h"

namespace vornik::test {
namespace {

// A backend that lets every advertisement through whatever filter it is
// given: the simulated radio with its filter switched off.
class LooseWatcher : public platform::AdvertisementWatcher {
public:
    explicit LooseWatcher(std::shared_ptr<platform::AdvertisementWatcher> inner) : inner_(std::move(inner)) {}
    void Start() override { inner_->Start(); }
    void Stop() override { inner_->Stop(); }
    platform::WatcherStatus Status() const override { return inner_->Status(); }
    void SetScanningMode(platform::ScanningMode mode) override { inner_->SetScanningMode(mode); }
    platform::ScanningMode GetScanningMode() const override { return inner_->GetScanningMode(); }
    void SetFilter(std::vector<Uuid>) override { inner_->SetFilter({}); }
    void SetReceivedHandler(std::function<void(const platform::AdvertisementReceived&)> handler) override
    {
        inner_->SetReceivedHandler(std::move(handler));
    }
    void SetStoppedHandler(std::function<void(platform::BluetoothError)> handler) override
    {
        inner_->SetStoppedHandler(std::move(handler));
    }

private:
    std::shared_ptr<platform::AdvertisementWatcher> inner_;
};

class LoosePlatform : public platform::Platform {
public:
    explicit LoosePlatform(std::unique_ptr<sim::SimRadio> radio) : radio_(std::move(radio)) {}
    void GetDefaultAdapter(platform::Completion<std::shared_ptr<platform::Adapter>> done) override
    {
        radio_->GetDefaultAdapter(std::move(done));
    }
    std::shared_ptr<platform::AdvertisementWatcher> CreateAdvertisementWatcher() override
    {
        return std::make_shared<LooseWatcher>(radio_->CreateAdvertisementWatcher());
    }
    void DeviceFromAddress(std::uint64_t address, platform::Completion<std::shared_ptr<platform::Device>> done) override
    {
        radio_->DeviceFromAddress(address, std::move(done));
    }
    std::vector<int> PollDescriptors() const override { return radio_->PollDescriptors(); }
    void Dispatch() override { radio_->Dispatch(); }

private:
    std::unique_ptr<sim::SimRadio> radio_;
};

TEST(ScanFilter, TheEngineAppliesTheEveryUuidRuleOnALooseBackend)
{
    auto radio = std::make_unique<sim::SimRadio>();
    radio->SetAdvertisingInterval(std::chrono::milliseconds(2));
    // Lists both UUIDs, and answers active scans without any.
    auto both = radio->AddPeripheral(0x0000000000A1ull, "Both");
    both->Advertising().data.serviceUuids = {Uuid::FromShort(0xFFE0), Uuid::FromShort(0x180F)};
    sim::SimAdData response;
    response.localName = "Both Response";
    both->Advertising().scanResponse = response;
    // Lists one of them only.
    auto one = radio->AddPeripheral(0x0000000000B2ull, "One");
    one->Advertising().data.serviceUuids = {Uuid::FromShort(0x180F)};
    one->Advertising().scanResponse = response;

    BleEngine engine(std::make_unique<LoosePlatform>(std::move(radio)));
    EventRecorder events;
    engine.SetEventSink(&events);
    ASSERT_EQ(engine.SetActiveScanning(true), 0);
    ASSERT_EQ(engine.StartScanning("FFE0,180F"), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (events.CountPrefix("Advertisement(0000000000A1") < 6 && std::chrono::steady_clock::now() < deadline)
        engine.DoEvents();
    ASSERT_EQ(engine.StopScanning(), 0);
    engine.SetEventSink(nullptr);
    EXPECT_GE(events.CountPrefix("Advertisement(0000000000A1,Both Response,"), 2);  // its scan responses pass
    EXPECT_EQ(events.CountPrefix("Advertisement(0000000000B2"), 0);
}

}  // namespace
}  // namespace vornik::test
