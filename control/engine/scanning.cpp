// Scanning for advertisements and reporting them.
#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <thread>

#include "advertisement_data.h"
#include "ble_engine.h"
#include "config_request.h"
#include "engine_ops.h"
#include "errors.h"
#include "scan_state.h"
#include "uuid.h"

namespace vornik {

namespace {

constexpr std::array<std::string_view, 10> kBluetoothErrorNames = {
    "Success",    "RadioNotAvailable", "ResourceInUse",  "DeviceNotConnected", "OtherError",
    "DisabledByPolicy", "NotSupported", "DisabledByUser", "ConsentRequired",    "TransportNotSupported",
};

// The scan-start poll: ScanStartedTimeout seconds in steps of 50 ms.
constexpr int kStartPollsPerSecond = 20;
constexpr std::chrono::milliseconds kStartPollPause(50);

std::string BluetoothErrorName(platform::BluetoothError error)
{
    const auto index = static_cast<std::size_t>(error);
    return std::string(index < kBluetoothErrorNames.size() ? kBluetoothErrorNames[index] : "OtherError");
}

// Restores the advertisement being reported when a (possibly nested)
// Advertisement event has been raised.
class CurrentAdvertisement {
public:
    CurrentAdvertisement(ScanState& state, const platform::AdvertisementReceived* received)
        : state_(state), outer_(state.current)
    {
        state_.current = received;
    }
    ~CurrentAdvertisement() { state_.current = outer_; }
    CurrentAdvertisement(const CurrentAdvertisement&) = delete;
    CurrentAdvertisement& operator=(const CurrentAdvertisement&) = delete;

private:
    ScanState& state_;
    const platform::AdvertisementReceived* outer_;
};

}  // namespace

bool EngineOps::WatcherRunning(const BleEngine& engine)
{
    if (!engine.scan_->watcher)
        return false;
    const platform::WatcherStatus status = engine.scan_->watcher->Status();
    return status == platform::WatcherStatus::Started || status == platform::WatcherStatus::Stopping;
}

int BleEngine::GetActiveScanning(bool& out) const
{
    out = activeScanning_;
    return 0;
}

int BleEngine::SetActiveScanning(bool value)
{
    if (value != activeScanning_ && EngineOps::WatcherRunning(*this))
        return Done(Status::Error(err::kUsage, std::string(text::kActiveScanningLocked)));
    activeScanning_ = value;
    return 0;
}

int BleEngine::GetScanning(bool& out) const
{
    out = EngineOps::WatcherRunning(*this);
    return 0;
}

int BleEngine::StartScanning(const std::string& serviceUuids)
{
    if (EngineOps::WatcherRunning(*this) || scan_->startPending)
        return Done(Status::Ok());
    std::shared_ptr<platform::Adapter> adapter;
    Status status = Await<std::shared_ptr<platform::Adapter>>(
        [this](platform::Completion<std::shared_ptr<platform::Adapter>> done) {
            platform_->GetDefaultAdapter(std::move(done));
        },
        adapter);
    if (!status.ok())
        return Done(status);
    if (!adapter)
        return Done(Status::Error(err::kNoAdapter, std::string(text::kNoAdapter)));
    if (!adapter->IsLowEnergySupported())
        return Done(Status::Error(err::kNoAdapter, std::string(text::kNoLowEnergy)));

    if (!scan_->watcher) {
        scan_->watcher = platform_->CreateAdvertisementWatcher();
        scan_->watcher->SetStoppedHandler([this](platform::BluetoothError error) {
            const bool aborted =
                scan_->watcher && scan_->watcher->Status() == platform::WatcherStatus::Aborted;
            EngineOps::Deliver(*this, [this, error, aborted] { EngineOps::OnScanStopped(*this, error, aborted); });
        });
        scan_->watcher->SetReceivedHandler([this](const platform::AdvertisementReceived& received) {
            EngineOps::Deliver(*this, [this, received] { EngineOps::OnAdvertisementReceived(*this, received); });
        });
    }
    std::vector<Uuid> uuids;
    if (status = ParseUuidList(serviceUuids, uuids); !status.ok())
        return Done(status);
    const std::shared_ptr<platform::AdvertisementWatcher> watcher = scan_->watcher;
    watcher->SetFilter(uuids);
    scan_->filter = uuids;
    scan_->passedAddresses.clear();
    watcher->SetScanningMode(activeScanning_ ? platform::ScanningMode::Active : platform::ScanningMode::Passive);

    const std::string joined = JoinUuids(uuids);
    scan_->queriedNames.clear();
    Log(LogLevel::Detailed, LogType::Scanning, "Scanning is starting.");
    Log(LogLevel::Debug, LogType::Scanning,
        std::string("Scanning parameters:\r\n\tActive scanning: ") + (activeScanning_ ? "1" : "0") +
            "\r\n\tService UUIDs: " + joined + ".");
    scan_->startPending = true;
    watcher->Start();
    const std::uint64_t interrupts = loop_.InterruptGeneration();
    const long polls = static_cast<long>(std::max(settings_.scanStartedTimeout, 0)) * kStartPollsPerSecond;
    for (long poll = 0; poll < polls && watcher->Status() != platform::WatcherStatus::Started; ++poll) {
        RunWaitRound();
        if (watcher->Status() == platform::WatcherStatus::Started || loop_.InterruptGeneration() != interrupts ||
            loop_.Closed() || !scan_->startPending)
            break;
        std::this_thread::sleep_for(kStartPollPause);
    }
    // StopScanning, called from an event or the pump hook during the poll,
    // has called the start off already.
    if (!scan_->startPending)
        return Done(Status::Ok());
    scan_->startPending = false;
    if (watcher->Status() != platform::WatcherStatus::Started) {
        // A start reported as failed must not begin later on its own, out of
        // reach of StopScanning.
        watcher->Stop();
        Log(LogLevel::Basic, LogType::Scanning, "Scanning failed to start.");
        return Done(Status::Ok());
    }
    Log(LogLevel::Basic, LogType::Scanning, "Scanning started.");
    scan_->filterText = joined;
    events_.Raise(&EngineEvents::StartScan, joined);
    return Done(Status::Ok());
}

int BleEngine::StopScanning()
{
    if (scan_->startPending && scan_->watcher && !EngineOps::WatcherRunning(*this)) {
        scan_->startPending = false;
        scan_->watcher->Stop();
        return Done(Status::Ok());
    }
    if (!EngineOps::WatcherRunning(*this))
        return Done(Status::Ok());
    Log(LogLevel::Detailed, LogType::Scanning, "Scanning is stopping.");
    // A watcher still stopping from an earlier call is only waited for.
    if (scan_->watcher->Status() == platform::WatcherStatus::Started)
        scan_->watcher->Stop();
    // Bounded by Timeout and interruptible like every other wait; StopScan
    // is raised by the stopped handler during these rounds.
    return Done(WaitUntil(loop_, CurrentWaitOptions(), [this] { return !EngineOps::WatcherRunning(*this); }));
}

void EngineOps::OnScanStopped(BleEngine& engine, platform::BluetoothError error, bool aborted)
{
    const std::string name = BluetoothErrorName(error);
    if (aborted)
        engine.events_.Raise(&EngineEvents::Error, static_cast<short>(err::kScanAborted),
                             std::string(text::kScanAbortedPrefix) + name);
    else
        engine.Log(LogLevel::Basic, LogType::Scanning, "Scanning stopped.");
    if (error == platform::BluetoothError::Success)
        engine.events_.Raise(&EngineEvents::StopScan, short{0}, std::string());
    else
        engine.events_.Raise(&EngineEvents::StopScan, static_cast<short>(err::kScanAborted), name);
}

std::shared_ptr<platform::Device> EngineOps::LookUpDevice(BleEngine& engine, std::uint64_t address)
{
    std::shared_ptr<platform::Device> device;
    if (engine.scan_->deviceLookupActive)
        return device;
    engine.scan_->deviceLookupActive = true;
    const Status status = engine.Await<std::shared_ptr<platform::Device>>(
        [&](platform::Completion<std::shared_ptr<platform::Device>> done) {
            engine.platform_->DeviceFromAddress(address, std::move(done));
        },
        device);
    engine.scan_->deviceLookupActive = false;
    return status.ok() ? device : nullptr;
}

// Asked once per address and scan; an advertisement that arrives while a
// look-up is under way reports no name rather than nesting another wait.
std::string EngineOps::QueriedName(BleEngine& engine, std::uint64_t address)
{
    auto& names = engine.scan_->queriedNames;
    if (auto known = names.find(address); known != names.end())
        return known->second;
    if (engine.scan_->deviceLookupActive)
        return {};
    const std::shared_ptr<platform::Device> device = LookUpDevice(engine, address);
    std::string name = device ? device->Name() : std::string();
    names[address] = name;
    return name;
}

// The control's filter rule, whatever the backend's is: every UUID of the
// filter listed, or a scan response of an address that passed.
static bool PassesFilter(ScanState& scan, const platform::AdvertisementReceived& packet)
{
    if (scan.filter.empty())
        return true;
    const auto& listed = packet.advertisement.serviceUuids;
    const bool all = std::all_of(scan.filter.begin(), scan.filter.end(), [&](const Uuid& wanted) {
        return std::find(listed.begin(), listed.end(), wanted) != listed.end();
    });
    if (all) {
        scan.passedAddresses.insert(packet.address);
        return true;
    }
    return TypeOf(packet) == platform::AdvertisementType::ScanResponse &&
           scan.passedAddresses.count(packet.address) != 0;
}

void EngineOps::OnAdvertisementReceived(BleEngine& engine, const platform::AdvertisementReceived& packet)
{
    if (!PassesFilter(*engine.scan_, packet))
        return;
    // Our own copy: a wait inside this handler may run the platform again.
    const platform::AdvertisementReceived received = WithDefaults(packet);
    const platform::Advertisement& advertisement = received.advertisement;
    CurrentAdvertisement current(*engine.scan_, &received);

    std::string name = advertisement.localName;
    if (name.empty() && engine.settings_.queryAdditionalDeviceInfo)
        name = QueriedName(engine, received.address);
    const std::optional<std::int8_t> txPower = TxPowerLevel(advertisement);
    const bool hasManufacturerData = !advertisement.manufacturerData.empty();
    engine.events_.Raise(
        &EngineEvents::Advertisement, FormatServerAddress(received.address), name,
        static_cast<short>(received.rawSignalStrengthInDBm), txPower ? short{*txPower} : kTxPowerAbsent,
        JoinUuids(advertisement.serviceUuids), ServicesWithDataText(advertisement),
        SolicitedServiceUuidsText(advertisement),
        hasManufacturerData ? static_cast<short>(advertisement.manufacturerData.front().companyId) : kNoCompanyId,
        hasManufacturerData ? ToText(advertisement.manufacturerData.front().data) : std::string(),
        IsConnectableType(TypeOf(received)), TypeOf(received) == platform::AdvertisementType::ScanResponse);
}

int BleEngine::GetAdvertisementManufacturerDataB(std::string& out) const
{
    out.clear();
    if (scan_->current != nullptr && !scan_->current->advertisement.manufacturerData.empty())
        out = EngineOps::ToText(scan_->current->advertisement.manufacturerData.front().data);
    return 0;
}

Status BleEngine::QueryAdvertisementSetting(const ConfigRequest& request, std::string& reply)
{
    const platform::AdvertisementReceived& received = *scan_->current;
    const auto& sections = received.advertisement.manufacturerData;
    auto same = [&](std::string_view name) {
        return request.name.size() == name.size() &&
               std::equal(name.begin(), name.end(), request.name.begin(),
                          [](char a, char b) { return std::tolower(a) == std::tolower(b); });
    };
    if (same("ManufacturerDataCount")) {
        reply = std::to_string(sections.size());
        return Status::Ok();
    }
    if (same("ManufacturerCompanyId") || same("ManufacturerData")) {
        if (request.index < 0 || request.index >= static_cast<int>(sections.size()))
            return InvalidIndexError();
        const platform::ManufacturerData& section = sections[static_cast<std::size_t>(request.index)];
        reply = same("ManufacturerData") ? EngineOps::ToText(section.data) : std::to_string(section.companyId);
        return Status::Ok();
    }
    if (same("ServiceData")) {
        Uuid uuid;
        if (Status status = ParseUuid(request.indexText, uuid); !status.ok())
            return status;
        platform::Bytes data;
        if (!FindServiceData(received.advertisement, uuid, data))
            return NoServiceDataError(FormatUuid(uuid));
        reply = EngineOps::ToText(data);
        return Status::Ok();
    }
    // AdvertisementRawData: the address type comes from the device object
    // (random when there is none).
    const std::shared_ptr<platform::Device> device = EngineOps::LookUpDevice(*this, received.address);
    const platform::AddressType addressType = device ? device->GetAddressType() : platform::AddressType::Random;
    reply = EngineOps::ToText(BuildAdvertisingReport(received, addressType));
    return Status::Ok();
}

}  // namespace vornik
