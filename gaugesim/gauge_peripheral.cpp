#include "gauge_peripheral.h"

#include <ctime>
#include <stdexcept>

#include "gauge_gatt.h"

namespace quen::gaugesim {

namespace prop = vornik::platform::prop;
using vornik::platform::Bytes;
using vornik::sim::SimPeripheral;

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "722383EA-0662-466F-B41F-0FD548267C10": 32 hexadecimal digits in byte
// order, the dashes skipped.
vornik::Uuid ToUuid(const char* text)
{
    vornik::Uuid uuid;
    const std::string digits = [&] {
        std::string d;
        for (const char* p = text; *p; ++p)
            if (*p != '-')
                d += *p;
        return d;
    }();
    if (digits.size() != 2 * uuid.bytes.size())
        throw std::logic_error(std::string("bad gauge UUID ") + text);
    for (std::size_t i = 0; i < uuid.bytes.size(); ++i) {
        const int high = HexDigit(digits[2 * i]), low = HexDigit(digits[2 * i + 1]);
        if (high < 0 || low < 0)
            throw std::logic_error(std::string("bad gauge UUID ") + text);
        uuid.bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return uuid;
}

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }
std::string ToText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

constexpr std::uint8_t kFlagsGeneralDiscoverable = 0x06;

} // namespace

GaugePeripheral::GaugePeripheral(GaugeSetup setup)
    : state_(std::move(setup))
    , address_(state_.Setup().address)
{
}

std::shared_ptr<GaugePeripheral> GaugePeripheral::Create(vornik::sim::SimRadio& radio, GaugeSetup setup)
{
    auto gauge = std::make_shared<GaugePeripheral>(std::move(setup));
    const GaugeSetup& built = gauge->state_.Setup();
    auto peripheral = radio.AddPeripheral(built.address, built.name);
    peripheral->Advertising().data.localName = built.name;
    peripheral->Advertising().data.flags = kFlagsGeneralDiscoverable;
    gauge->Build(*peripheral);
    gauge->peripheral_ = peripheral;
    peripheral->SetBehaviour(gauge);
    return gauge;
}

void GaugePeripheral::Build(SimPeripheral& peripheral)
{
    const GaugeSetup& setup = state_.Setup();
    const bool alternative = setup.service == MainService::Alternative;
    const auto main = peripheral.AddService(ToUuid(alternative ? gatt::kAlternativeService : gatt::kMainService));
    command_ = peripheral.AddCharacteristic(main, ToUuid(gatt::kCommand), prop::kRead | prop::kWrite);
    peripheral.AddCharacteristic(main, ToUuid(gatt::kTrace), prop::kRead | prop::kNotify);
    const auto memory = peripheral.AddService(ToUuid(gatt::kMemoryService));
    // Gauges with the alternative main service notify live readings only.
    if (!alternative) {
        directory_ = peripheral.AddCharacteristic(memory, ToUuid(gatt::kDirectory), prop::kRead | prop::kWrite);
        data_ = peripheral.AddCharacteristic(memory, ToUuid(gatt::kData), prop::kRead);
    }
    live_ = peripheral.AddCharacteristic(memory, ToUuid(gatt::kLive), prop::kNotify);
}

std::string GaugePeripheral::Configure(const std::string& line)
{
    std::lock_guard lock(mutex_);
    const auto intervalBefore = state_.Setup().liveInterval;
    std::string error = state_.Configure(line, std::time(nullptr));
    if (error.empty() && state_.Setup().liveInterval != intervalBefore)
        if (auto peripheral = peripheral_.lock())
            RestartLiveTimer(*peripheral);
    return error;
}

bool GaugePeripheral::TakeReading()
{
    auto peripheral = peripheral_.lock();
    if (!peripheral)
        return false;
    std::string value;
    {
        std::lock_guard lock(mutex_);
        value = state_.NextLiveValue(std::time(nullptr));
    }
    const bool listened = peripheral->LinkUp() && peripheral->Cccd(live_) != 0;
    peripheral->Notify(live_, ToBytes(value));
    return listened;
}

bool GaugePeripheral::LinkDropsAt(SimPeripheral& peripheral)
{
    if (!state_.CountRequest())
        return false;
    peripheral.DropLink();
    std::weak_ptr<SimPeripheral> weak = peripheral_;
    peripheral.After(state_.Setup().faults.linkReturn, [weak] {
        if (auto back = weak.lock())
            back->RestoreLink();
    });
    return true;
}

std::uint8_t GaugePeripheral::OnRead(SimPeripheral& peripheral, std::uint16_t handle)
{
    if (handle != command_ && handle != directory_ && handle != data_)
        return 0;
    std::lock_guard lock(mutex_);
    if (LinkDropsAt(peripheral))
        return 0; // the radio reports the request unanswered
    if (const std::uint8_t att = state_.AttError(false))
        return att; // the value stays as it was: a reply due meanwhile waits for the next read
    if (handle == command_) {
        if (auto reply = state_.DueReply(GaugeState::Clock::now()))
            peripheral.SetValue(handle, ToBytes(*reply));
    } else if (handle == directory_) {
        peripheral.SetValue(handle, ToBytes(state_.DirectoryText()));
    } else {
        peripheral.SetValue(handle, ToBytes(state_.NextData()));
    }
    return 0;
}

std::uint8_t GaugePeripheral::OnWrite(SimPeripheral& peripheral, std::uint16_t handle, const Bytes& value, bool)
{
    if (handle != command_ && handle != directory_)
        return 0;
    std::lock_guard lock(mutex_);
    if (LinkDropsAt(peripheral))
        return 0;
    if (const std::uint8_t att = state_.AttError(true))
        return att; // the gauge did not take the command or the selection
    if (handle == command_) {
        const std::string echo = state_.WriteCommand(ToText(value), GaugeState::Clock::now(), std::time(nullptr));
        peripheral.SetValue(handle, ToBytes(echo));
    } else {
        state_.Select(ToText(value));
    }
    return 0;
}

std::uint8_t GaugePeripheral::OnCccdWrite(SimPeripheral&, std::uint16_t characteristic, std::uint16_t)
{
    if (characteristic != live_)
        return 0;
    std::lock_guard lock(mutex_);
    return state_.AttError(true);
}

void GaugePeripheral::OnCccdChanged(SimPeripheral& peripheral, std::uint16_t characteristic, std::uint16_t)
{
    if (characteristic != live_)
        return;
    std::lock_guard lock(mutex_);
    RestartLiveTimer(peripheral);
}

void GaugePeripheral::RestartLiveTimer(SimPeripheral& peripheral)
{
    if (liveTimer_ != 0) {
        peripheral.StopTimer(liveTimer_);
        liveTimer_ = 0;
    }
    const auto interval = state_.Setup().liveInterval;
    if (interval.count() <= 0 || peripheral.Cccd(live_) == 0)
        return;
    std::weak_ptr<GaugePeripheral> weak = weak_from_this();
    liveTimer_ = peripheral.NotifyEvery(interval, live_, [weak] {
        auto self = weak.lock();
        if (!self)
            return Bytes{};
        std::lock_guard lock(self->mutex_);
        return ToBytes(self->state_.NextLiveValue(std::time(nullptr)));
    });
}

} // namespace quen::gaugesim
