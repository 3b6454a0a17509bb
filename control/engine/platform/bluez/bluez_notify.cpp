#include "bluez_notify.h"

#include "bluez_core.h"
#include "bluez_text.h"

namespace vornik::bluez {
namespace {

using platform::GattResult;

// A notify call, and the wait for its reply once the engine has stopped
// waiting.
struct NotifyInFlight {
    sdbus::PendingAsyncCall call;
    std::uint64_t request = 0;
    std::uint64_t grace = 0;
    bool cancelled = false;
    bool settled = false; // the late reply handled, or the grace over
};

const char* MethodFor(bool on) { return on ? "StartNotify" : "StopNotify"; }

GattResult Outcome(const Core& core, const std::string& path, bool on, const CallError* error)
{
    if (!error)
        return {};
    // Stopping what is not on, or starting what is, has the outcome asked
    // for.
    const bool notifying = Get<bool>(core.PropertiesOf(path, kCharacteristicInterface), "Notifying").value_or(false);
    if (notifying == on && core.Object(path))
        return {};
    return MapError(error->name, error->message, Request::Write);
}

// The late reply of a cancelled call. An error changed nothing. Carried out
// after all, the call is undone, unless a newer request decides. The
// correction answers nobody: should it fail too, bluetoothd stays as the
// late call left it.
void Undo(const std::shared_ptr<Core>& core, const std::string& path, bool on, std::uint64_t request,
          const CallError* error)
{
    if (error || !core->Notifications().Newest(path, request)) {
        core->Notifications().Want(path, request);
        return;
    }
    std::weak_ptr<Core> weak = core;
    core->Call(path, kCharacteristicInterface, MethodFor(!on), nullptr,
               [weak, path, request](sdbus::MethodReply*, const CallError*) {
                   if (auto core = weak.lock())
                       core->Notifications().Want(path, request);
               });
}

// The engine stopped waiting: the call is kept for its late reply. Values
// that arrive meanwhile after a StartNotify are not the engine's. No reply
// in the grace: the call is dropped and bluetoothd left as it is.
void KeepForLateReply(const std::shared_ptr<Core>& core, const std::string& path, bool on,
                      const std::shared_ptr<NotifyInFlight>& flight)
{
    flight->cancelled = true;
    if (on)
        core->Notifications().Unwant(path, flight->request);
    std::weak_ptr<Core> weak = core;
    flight->grace = core->After(kLateReplyGrace, [weak, path, flight] {
        flight->grace = 0;
        if (flight->settled)
            return;
        flight->settled = true;
        flight->call.cancel();
        if (auto core = weak.lock())
            core->Notifications().Want(path, flight->request);
    });
    if (!flight->grace) // shut down: no reply comes
        flight->call.cancel();
}

} // namespace

std::uint64_t NotifyBook::Begin(const std::string& path) { return entries_[path].newest = ++last_; }

bool NotifyBook::Newest(const std::string& path, std::uint64_t request) const
{
    const auto found = entries_.find(path);
    return found != entries_.end() && found->second.newest == request;
}

void NotifyBook::Unwant(const std::string& path, std::uint64_t request)
{
    Entry& entry = entries_[path];
    if (entry.newest == request)
        entry.unwanted = request;
}

void NotifyBook::Want(const std::string& path, std::uint64_t request)
{
    const auto found = entries_.find(path);
    if (found != entries_.end() && found->second.unwanted == request)
        found->second.unwanted = 0;
}

bool NotifyBook::Unwanted(const std::string& path) const
{
    const auto found = entries_.find(path);
    return found != entries_.end() && found->second.unwanted != 0 && found->second.unwanted == found->second.newest;
}

std::function<void()> SetNotifying(const std::shared_ptr<Core>& core, const std::string& path, bool on,
                                   std::function<void(const GattResult&)> answer)
{
    auto flight = std::make_shared<NotifyInFlight>();
    flight->request = core->Notifications().Begin(path);
    std::weak_ptr<Core> weak = core;
    flight->call = core->Call(path, kCharacteristicInterface, MethodFor(on), nullptr,
                              [weak, path, on, answer, flight](sdbus::MethodReply*, const CallError* error) {
                                  auto core = weak.lock();
                                  if (!core || flight->settled)
                                      return;
                                  if (!flight->cancelled) {
                                      answer(Outcome(*core, path, on, error));
                                      return;
                                  }
                                  flight->settled = true;
                                  if (flight->grace)
                                      core->CancelTimer(flight->grace);
                                  Undo(core, path, on, flight->request, error);
                              });
    // Holds no answer: a request that is neither answered nor cancelled
    // leaves nothing behind.
    return [weak, path, on, flight] {
        if (auto core = weak.lock())
            KeepForLateReply(core, path, on, flight);
        else
            flight->call.cancel();
    };
}

} // namespace vornik::bluez
