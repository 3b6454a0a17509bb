#include "bluez_core.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace vornik::bluez {
namespace {

constexpr const char* kObjectManager = "org.freedesktop.DBus.ObjectManager";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";
// Added to the control's Timeout so the control's own wait ends a request
// before the bus call does.
constexpr int kMarginSeconds = 5;

void Signal(int fd)
{
    std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(fd, &one, sizeof one);
}

void Drain(int fd)
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(fd, &count, sizeof count);
}

} // namespace

std::shared_ptr<Core> Core::Open(std::string& error)
{
    std::shared_ptr<Core> core(new Core());
    if (!core->Start(error))
        return nullptr;
    return core;
}

bool Core::Start(std::string& error)
{
    eventFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    busWatch_ = epoll_create1(EPOLL_CLOEXEC);
    if (eventFd_ < 0 || timerFd_ < 0 || busWatch_ < 0) {
        error = "Cannot create the descriptors of the BlueZ radio.";
        return false;
    }
    try {
        bus_ = sdbus::createSystemBusConnection();
        // Subscribed before the tree is asked for, so no change between
        // the two is missed.
        std::weak_ptr<Core> weak = weak_from_this();
        auto handler = [weak](sdbus::Message& message) {
            if (auto core = weak.lock())
                core->OnSignal(message);
        };
        matches_.push_back(bus_->addMatch(
            std::string("type='signal',sender='") + kService + "',interface='" + kObjectManager + "'", handler));
        matches_.push_back(bus_->addMatch(std::string("type='signal',sender='") + kService + "',interface='" +
                                              kPropertiesInterface +
                                              "',member='PropertiesChanged',path_namespace='/org/bluez'",
                                          handler));
        matches_.push_back(
            bus_->addMatch(std::string("type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                                       "member='NameOwnerChanged',arg0='") +
                               kService + "'",
                           handler));
        epoll_event watched{};
        watched.events = EPOLLIN;
        if (epoll_ctl(busWatch_, EPOLL_CTL_ADD, bus_->getEventLoopPollData().fd, &watched) != 0) {
            error = "Cannot watch the system bus.";
            return false;
        }
    } catch (const sdbus::Error& e) {
        error = "No system bus: " + e.getMessage();
        return false;
    }
    RequestTree();
    // The synchronous set-up may have read messages already.
    Signal(eventFd_);
    return true;
}

void Core::Shutdown()
{
    // Queued work, timers and pending calls hold the objects that hold this
    // core: dropping them ends those references. Pending calls and matches
    // refer to the connection: released first, then the connection.
    busLost_ = true;
    std::deque<std::function<void()>> due;
    due.swap(due_);
    std::map<std::uint64_t, Timer> timers;
    timers.swap(timers_);
    std::vector<std::function<void()>> waiting;
    waiting.swap(whenReady_);
    auto proxies = std::move(proxies_);
    proxies_.clear();
    proxies.clear();
    sent_.clear();
    matches_.clear();
    listeners_.clear();
    objects_.clear();
    bus_.reset();
}

Core::~Core()
{
    Shutdown();
    for (int fd : {eventFd_, timerFd_, busWatch_})
        if (fd >= 0)
            close(fd);
}

void Core::Post(std::function<void()> work)
{
    if (!bus_)
        return; // shut down: nobody runs it
    due_.push_back(std::move(work));
    Signal(eventFd_);
}

std::uint64_t Core::After(std::chrono::milliseconds delay, std::function<void()> work)
{
    if (!bus_)
        return 0;
    const std::uint64_t id = nextTimer_++;
    timers_[id] = Timer{Clock::now() + delay, std::move(work)};
    Rearm();
    return id;
}

void Core::CancelTimer(std::uint64_t id) { timers_.erase(id); }

std::optional<std::chrono::milliseconds> Core::WaitLimit() const
{
    if (requestTimeoutSeconds_ <= 0)
        return std::nullopt;
    return std::chrono::seconds(requestTimeoutSeconds_ + kMarginSeconds);
}

std::uint64_t Core::CallTimeoutMicros() const
{
    const auto limit = WaitLimit();
    if (!limit)
        return std::numeric_limits<std::uint64_t>::max(); // no timeout on the bus
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(*limit).count());
}

void Core::Dispatch()
{
    const auto keep = shared_from_this(); // work may drop the last other owner
    Drain(eventFd_);
    Drain(timerFd_);
    if (!bus_)
        return;
    if (!busLost_) {
        try {
            while (bus_->processPendingRequest()) { }
        } catch (const sdbus::Error&) {
            LoseBus();
        }
    }
    const Clock::time_point now = Clock::now();
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->second.when <= now) {
            due_.push_back(std::move(it->second.work));
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
    // One at a time from the front: work that runs a nested round (a
    // host calling back from an event) continues with the next item, in
    // order.
    while (bus_ && !due_.empty()) {
        std::function<void()> work = std::move(due_.front());
        due_.pop_front();
        work();
    }
    Rearm();
}

void Core::Rearm()
{
    if (!bus_)
        return;
    std::uint64_t nextMicros = std::numeric_limits<std::uint64_t>::max();
    if (!busLost_) {
        try {
            nextMicros = bus_->getEventLoopPollData().timeout_usec;
        } catch (const sdbus::Error&) {
            nextMicros = 0;
        }
    }
    for (const auto& [id, timer] : timers_) {
        const auto micros =
            std::chrono::duration_cast<std::chrono::microseconds>(timer.when.time_since_epoch()).count();
        nextMicros = std::min<std::uint64_t>(nextMicros, static_cast<std::uint64_t>(std::max<long long>(micros, 0)));
    }
    itimerspec when{};
    if (nextMicros != std::numeric_limits<std::uint64_t>::max()) {
        // An absolute time of zero would disarm the timer: one nanosecond
        // is "now" as well.
        const std::uint64_t nanos = std::max<std::uint64_t>(nextMicros * 1000, 1);
        when.it_value.tv_sec = static_cast<time_t>(nanos / 1000000000);
        when.it_value.tv_nsec = static_cast<long>(nanos % 1000000000);
    }
    timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &when, nullptr);
    if (!due_.empty())
        Signal(eventFd_);
}

void Core::LoseBus()
{
    busLost_ = true;
    epoll_ctl(busWatch_, EPOLL_CTL_DEL, bus_->getEventLoopPollData().fd, nullptr);
    // Everything bluetoothd held is gone with the bus.
    Post([this] {
        std::vector<std::pair<std::string, std::vector<std::string>>> removed;
        for (const auto& [path, interfaces] : objects_) {
            std::vector<std::string> names;
            for (const auto& [name, properties] : interfaces)
                names.push_back(name);
            removed.emplace_back(path, std::move(names));
        }
        objects_.clear();
        for (const auto& object : removed)
            Apply([&](Listener& listener) { listener.OnRemoved(object.first, object.second); });
    });
}

sdbus::IProxy& Core::ProxyFor(const std::string& path)
{
    auto& proxy = proxies_[path];
    if (!proxy)
        proxy = sdbus::createProxy(*bus_, kService, path);
    return *proxy;
}

std::size_t Core::PendingCalls()
{
    std::erase_if(sent_, [](const sdbus::PendingAsyncCall& call) { return !call.isPending(); });
    return sent_.size();
}

sdbus::PendingAsyncCall Core::Call(const std::string& path, const std::string& interface, const std::string& method,
                                   const std::function<void(sdbus::MethodCall&)>& arguments, ReplyHandler done)
{
    auto fail = [this, &done](std::string name, std::string message) {
        Post([done, error = CallError{std::move(name), std::move(message)}] { done(nullptr, &error); });
    };
    if (!bus_)
        return {};
    if (busLost_) {
        fail("org.freedesktop.DBus.Error.Disconnected", "The system bus connection is closed.");
        return {};
    }
    sdbus::PendingAsyncCall sent;
    try {
        sdbus::IProxy& proxy = ProxyFor(path);
        sdbus::MethodCall call = proxy.createMethodCall(interface, method);
        if (arguments)
            arguments(call);
        std::weak_ptr<Core> weak = weak_from_this();
        sent = proxy.callMethod(
            call,
            [weak, done](sdbus::MethodReply& reply, const sdbus::Error* error) {
                auto core = weak.lock();
                if (!core)
                    return;
                if (error) {
                    core->Post(
                        [done, failed = CallError{error->getName(), error->getMessage()}] { done(nullptr, &failed); });
                    return;
                }
                core->Post([done, reply]() mutable { done(&reply, nullptr); });
            },
            CallTimeoutMicros());
        PendingCalls(); // forgets the finished ones
        sent_.push_back(sent);
    } catch (const sdbus::Error& e) {
        fail(e.getName(), e.getMessage());
    }
    Rearm();
    return sent;
}

void Core::RequestTree()
{
    const std::uint64_t request = ++treeRequest_;
    Call("/", kObjectManager, "GetManagedObjects", nullptr,
         [this, request](sdbus::MethodReply* reply, const CallError*) {
             if (request != treeRequest_)
                 return; // a newer copy is on its way
             OnTree(reply);
         });
}

void Core::OnTree(sdbus::MethodReply* reply)
{
    std::map<std::string, Interfaces> tree;
    if (reply) {
        try {
            std::map<sdbus::ObjectPath, Interfaces> received;
            *reply >> received;
            for (auto& [path, interfaces] : received)
                tree.emplace(path, std::move(interfaces));
        } catch (const sdbus::Error&) {
            tree.clear(); // a malformed answer counts as no tree
        }
    }
    // Objects that went away while bluetoothd was replaced are reported
    // removed; everything else in the new copy is reported added.
    std::vector<std::pair<std::string, std::vector<std::string>>> removed;
    for (const auto& [path, interfaces] : objects_)
        if (!tree.count(path)) {
            std::vector<std::string> names;
            for (const auto& [name, properties] : interfaces)
                names.push_back(name);
            removed.emplace_back(path, std::move(names));
        }
    const bool first = !ready_;
    objects_ = std::move(tree);
    ready_ = true;
    for (const auto& object : removed)
        Apply([&](Listener& listener) { listener.OnRemoved(object.first, object.second); });
    if (!first)
        for (const auto& object : objects_)
            Apply([&](Listener& listener) { listener.OnAdded(object.first, object.second); });
    std::vector<std::function<void()>> waiting;
    waiting.swap(whenReady_);
    for (auto& work : waiting)
        work();
}

void Core::OnSignal(sdbus::Message& message)
{
    // Read here (the message lives only in this call), applied from the
    // queue so the mirror changes in the order the engine sees things.
    try {
        const std::string member = message.getMemberName();
        if (member == "PropertiesChanged") {
            std::string interface;
            Properties changed;
            std::vector<std::string> invalidated;
            message >> interface >> changed >> invalidated;
            Post([this, path = message.getPath(), interface, changed, invalidated] {
                auto found = objects_.find(path);
                if (found == objects_.end())
                    return;
                auto owner = found->second.find(interface);
                if (owner == found->second.end())
                    return;
                for (const auto& [name, value] : changed)
                    owner->second[name] = value;
                for (const std::string& name : invalidated)
                    owner->second.erase(name);
                Apply([&](Listener& listener) { listener.OnChanged(path, interface, changed); });
            });
        } else if (member == "InterfacesAdded") {
            sdbus::ObjectPath path;
            Interfaces added;
            message >> path >> added;
            Post([this, path = std::string(path), added] {
                Interfaces& interfaces = objects_[path];
                for (const auto& [name, properties] : added)
                    interfaces[name] = properties;
                Apply([&](Listener& listener) { listener.OnAdded(path, added); });
            });
        } else if (member == "InterfacesRemoved") {
            sdbus::ObjectPath path;
            std::vector<std::string> removed;
            message >> path >> removed;
            Post([this, path = std::string(path), removed] {
                auto found = objects_.find(path);
                if (found != objects_.end()) {
                    for (const std::string& name : removed)
                        found->second.erase(name);
                    if (found->second.empty())
                        objects_.erase(found);
                }
                Apply([&](Listener& listener) { listener.OnRemoved(path, removed); });
            });
        } else if (member == "NameOwnerChanged") {
            std::string name;
            std::string oldOwner;
            std::string newOwner;
            message >> name >> oldOwner >> newOwner;
            // bluetoothd stopped or (re)started: take a fresh copy of its
            // tree; an absent service answers with an error, which is an
            // empty tree.
            Post([this] { RequestTree(); });
        }
    } catch (const sdbus::Error&) {
        // A signal that does not have the documented form is ignored.
    }
}

void Core::Apply(std::function<void(Listener&)> tell)
{
    // Copied: a listener may add or drop listeners.
    const std::vector<std::weak_ptr<Listener>> listeners = listeners_;
    for (const auto& weak : listeners)
        if (auto listener = weak.lock())
            tell(*listener);
    std::erase_if(listeners_, [](const std::weak_ptr<Listener>& weak) { return weak.expired(); });
}

void Core::WhenReady(std::function<void()> work)
{
    if (ready_)
        Post(std::move(work));
    else
        whenReady_.push_back(std::move(work));
}

const Interfaces* Core::Object(const std::string& path) const
{
    const auto found = objects_.find(path);
    return found == objects_.end() ? nullptr : &found->second;
}

const Properties* Core::PropertiesOf(const std::string& path, const std::string& interface) const
{
    const Interfaces* interfaces = Object(path);
    if (!interfaces)
        return nullptr;
    const auto found = interfaces->find(interface);
    return found == interfaces->end() ? nullptr : &found->second;
}

std::vector<std::string> Core::Children(const std::string& interface, const std::string& owner,
                                        const std::string& ownerPath) const
{
    std::vector<std::string> out;
    const std::string prefix = ownerPath + "/";
    for (auto it = objects_.lower_bound(prefix); it != objects_.end() && it->first.starts_with(prefix); ++it) {
        const auto properties = it->second.find(interface);
        if (properties == it->second.end())
            continue;
        const auto parent = Get<sdbus::ObjectPath>(&properties->second, owner);
        if (parent ? std::string(*parent) == ownerPath
                   : it->first.find('/', prefix.size()) == std::string::npos) // a child by its path
            out.push_back(it->first);
    }
    return out;
}

std::optional<std::string> Core::NextObject(const std::string& path) const
{
    // '0' follows '/': the first path past those under this one.
    const auto next = objects_.lower_bound(path + '0');
    if (next == objects_.end())
        return std::nullopt;
    return next->first;
}

void Core::Remember(const std::string& path, const std::string& interface, const std::string& name,
                    sdbus::Variant value)
{
    auto object = objects_.find(path);
    if (object == objects_.end())
        return;
    auto properties = object->second.find(interface);
    if (properties != object->second.end())
        properties->second[name] = std::move(value);
}

std::string Core::AdapterPath() const
{
    const char* chosen = std::getenv(kAdapterVariableName);
    if (chosen && *chosen) {
        std::string path = chosen;
        if (path.front() != '/')
            path = "/org/bluez/" + path;
        const Properties* adapter = PropertiesOf(path, kAdapterInterface);
        return adapter && Get<bool>(adapter, "Powered").value_or(false) ? path : std::string();
    }
    for (const auto& [path, interfaces] : objects_) {
        const auto adapter = interfaces.find(kAdapterInterface);
        if (adapter != interfaces.end() && Get<bool>(&adapter->second, "Powered").value_or(false))
            return path;
    }
    return {};
}

void Core::Listen(const std::shared_ptr<Listener>& listener) { listeners_.push_back(listener); }

} // namespace vornik::bluez
