// The bus side of the BlueZ backend: the connection, a mirror of
// bluetoothd's object tree kept current from its signals, the queue of work
// Dispatch() runs, and timers.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "bluez_notify.h"

namespace vornik::bluez {

inline constexpr const char* kService = "org.bluez";
inline constexpr const char* kAdapterInterface = "org.bluez.Adapter1";
inline constexpr const char* kDeviceInterface = "org.bluez.Device1";
inline constexpr const char* kServiceInterface = "org.bluez.GattService1";
inline constexpr const char* kCharacteristicInterface = "org.bluez.GattCharacteristic1";
inline constexpr const char* kDescriptorInterface = "org.bluez.GattDescriptor1";
// Names the adapter to use ("hci1" or "/org/bluez/hci1"); unset, the first
// powered adapter in path order.
inline constexpr const char* kAdapterVariableName = "VORNIK220_BLUEZ_ADAPTER";

// How long the reply of a call nobody waits for any more is still waited
// for: a read's held-back value changes are delayed by at most this much, a
// notify call's late effect is undone within it.
inline constexpr std::chrono::milliseconds kLateReplyGrace{3000};

using Properties = std::map<std::string, sdbus::Variant>;
using Interfaces = std::map<std::string, Properties>;

// The value of one property, none when it is missing or of another type.
template <class T>
std::optional<T> Get(const Properties* properties, const std::string& name)
{
    if (!properties)
        return std::nullopt;
    const auto found = properties->find(name);
    if (found == properties->end())
        return std::nullopt;
    try {
        if (!found->second.containsValueOfType<T>())
            return std::nullopt;
        return found->second.get<T>();
    } catch (const sdbus::Error&) {
        return std::nullopt;
    }
}

// Told of every change to the tree, after the mirror has it.
class Listener {
public:
    virtual ~Listener() = default;
    virtual void OnChanged(const std::string& path, const std::string& interface, const Properties& changed) = 0;
    virtual void OnAdded(const std::string& path, const Interfaces& interfaces) = 0;
    virtual void OnRemoved(const std::string& path, const std::vector<std::string>& interfaces) = 0;
};

// A failed call: the bus error's name and message.
struct CallError {
    std::string name;
    std::string message;
};

class Core : public std::enable_shared_from_this<Core> {
public:
    using Clock = std::chrono::steady_clock;
    // Runs from Dispatch(); reply is null when error is set.
    using ReplyHandler = std::function<void(sdbus::MethodReply* reply, const CallError* error)>;

    // Null with a reason when the system bus cannot be reached.
    static std::shared_ptr<Core> Open(std::string& error);
    ~Core();
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;

    // Ends all work: pending calls, timers and queued work are dropped and
    // the connection is closed. Objects the engine still holds then answer
    // nothing; nothing refers to them from here any more.
    void Shutdown();

    std::vector<int> PollDescriptors() const { return {eventFd_, timerFd_, busWatch_}; }
    void Dispatch();

    // Work for the next Dispatch().
    void Post(std::function<void()> work);
    std::uint64_t After(std::chrono::milliseconds delay, std::function<void()> work);
    void CancelTimer(std::uint64_t id);

    // The control's Timeout; bus calls and the backend's own waits take
    // at least this long before giving up (0: no limit).
    void SetRequestTimeout(int seconds) { requestTimeoutSeconds_ = seconds; }
    // A backend wait of the control's Timeout plus a margin; none for 0.
    std::optional<std::chrono::milliseconds> WaitLimit() const;

    // The handle cancels the call: its reply is then never handed to done
    // (a failure found before sending is, from Dispatch()).
    sdbus::PendingAsyncCall Call(const std::string& path, const std::string& interface, const std::string& method,
                                 const std::function<void(sdbus::MethodCall&)>& arguments, ReplyHandler done);
    // Calls sent whose reply has not been handled, cancelled ones not
    // counted.
    std::size_t PendingCalls();

    // Runs work once the first copy of the tree has arrived (or could not
    // be had), from Dispatch().
    void WhenReady(std::function<void()> work);

    const Interfaces* Object(const std::string& path) const;
    const Properties* PropertiesOf(const std::string& path, const std::string& interface) const;
    // Objects with interface whose property owner (an object path) is
    // owner, in path order (BlueZ's paths carry the handle, so this is
    // handle order within one parent).
    std::vector<std::string> Children(const std::string& interface, const std::string& owner,
                                      const std::string& ownerPath) const;
    // The first object after path and everything under it, in path order.
    std::optional<std::string> NextObject(const std::string& path) const;
    // Notes a value bluetoothd answered with, as it notes it itself (some
    // versions do not signal it).
    void Remember(const std::string& path, const std::string& interface, const std::string& name, sdbus::Variant value);
    // The adapter in use: the one kAdapterVariable names, or the first
    // powered one; empty when there is none.
    std::string AdapterPath() const;

    void Listen(const std::shared_ptr<Listener>& listener);

    // Shared by every object that turns a characteristic's notifications
    // on or off.
    NotifyBook& Notifications() { return notifications_; }

private:
    Core() = default;
    bool Start(std::string& error);
    void Rearm();
    void LoseBus();
    void RequestTree();
    void OnTree(sdbus::MethodReply* reply);
    void OnSignal(sdbus::Message& message);
    void Apply(std::function<void(Listener&)> tell);
    sdbus::IProxy& ProxyFor(const std::string& path);
    std::uint64_t CallTimeoutMicros() const;

    std::unique_ptr<sdbus::IConnection> bus_;
    std::vector<sdbus::Slot> matches_;
    std::map<std::string, std::unique_ptr<sdbus::IProxy>> proxies_;
    std::vector<sdbus::PendingAsyncCall> sent_;
    int eventFd_ = -1;
    int timerFd_ = -1;
    int busWatch_ = -1; // epoll set holding the bus descriptor while it lives
    bool busLost_ = false;

    std::deque<std::function<void()>> due_;
    struct Timer {
        Clock::time_point when;
        std::function<void()> work;
    };
    std::map<std::uint64_t, Timer> timers_;
    std::uint64_t nextTimer_ = 1;

    std::map<std::string, Interfaces> objects_;
    bool ready_ = false;
    std::uint64_t treeRequest_ = 0;
    std::vector<std::function<void()>> whenReady_;
    std::vector<std::weak_ptr<Listener>> listeners_;
    int requestTimeoutSeconds_ = 60;
    NotifyBook notifications_;
};

} // namespace vornik::bluez
