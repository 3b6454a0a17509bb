// The radio through BlueZ: bluetoothd's object tree on the system bus
// (org.bluez), spoken to directly with sdbus-c++. The bus connection is
// driven from Dispatch() on the control's thread: its descriptor and its
// timeouts are part of PollDescriptors(), and every reply and signal is
// turned into work that Dispatch() runs, never inside the call that asked.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "../platform.h"

namespace vornik::bluez {

class Core;

class BluezPlatform final : public platform::Platform {
public:
    // Null with a reason when the system bus cannot be reached (no
    // dbus-daemon, DBUS_SYSTEM_BUS_ADDRESS pointing nowhere).
    static std::unique_ptr<BluezPlatform> Open(std::string& error);
    ~BluezPlatform() override;

    void GetDefaultAdapter(platform::Completion<std::shared_ptr<platform::Adapter>> done) override;
    std::shared_ptr<platform::AdvertisementWatcher> CreateAdvertisementWatcher() override;
    void DeviceFromAddress(std::uint64_t address,
                           platform::Completion<std::shared_ptr<platform::Device>> done) override;
    void SetRequestTimeout(int seconds) override;
    std::vector<int> PollDescriptors() const override;
    void Dispatch() override;

    // Bus calls sent and not yet answered or cancelled (for diagnostics).
    std::size_t PendingCalls() const;

private:
    explicit BluezPlatform(std::shared_ptr<Core> core);
    std::shared_ptr<Core> core_;
};

} // namespace vornik::bluez
