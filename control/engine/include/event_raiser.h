// Raises the host events. On the owner thread an event is raised at once;
// from any other thread it is copied and posted to the wait loop, so no
// event ever reaches the host on another thread.
#pragma once

#include <tuple>
#include <type_traits>
#include <utility>

#include "engine_events.h"
#include "wait_loop.h"

namespace vornik {

class EventRaiser {
public:
    explicit EventRaiser(WaitLoop& loop) : loop_(loop) {}

    void SetSink(EngineEvents* sink) { sink_ = sink; }
    EngineEvents* Sink() const { return sink_; }

    template <class... Params, class... Args>
    void Raise(void (EngineEvents::*event)(Params&...), Args&&... args)
    {
        static_assert(sizeof...(Params) == sizeof...(Args), "wrong number of event arguments");
        std::tuple<std::decay_t<Params>...> values(std::forward<Args>(args)...);
        if (!loop_.OnOwnerThread()) {
            loop_.Post([this, event, values]() mutable { Deliver(event, values); });
            return;
        }
        Deliver(event, values);
    }

private:
    template <class... Params, class Tuple>
    void Deliver(void (EngineEvents::*event)(Params&...), Tuple& values)
    {
        if (sink_ == nullptr)
            return;
        std::apply([&](auto&... value) { (sink_->*event)(value...); }, values);
    }

    WaitLoop& loop_;
    EngineEvents* sink_ = nullptr;
};

}  // namespace vornik
