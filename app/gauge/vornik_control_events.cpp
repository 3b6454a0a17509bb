// Delivery of the control's events to the program's handler, with the
// by-reference arguments written back when the handler changed them.
#include "gauge/vornik_control.h"

#include <deque>
#include <vector>

#include "vornik_events.h"
#include "vornik_loader.h"

namespace qc {
namespace {

class EventArgs {
public:
    EventArgs(const vornik::Api& api, vornik_variant* args, std::int32_t count)
        : api_(api)
        , args_(args)
        , strings_(static_cast<std::size_t>(count))
        , shorts_(strings_.size())
        , flags_(strings_.size())
    {
        for (std::size_t i = 0; i < strings_.size(); ++i) {
            const vornik_variant& v = args_[i];
            if (v.type == VORNIK_VT_STR)
                strings_[i] = v.data ? QString::fromUtf8(v.data, v.len) : QString();
            shorts_[i] = static_cast<short>(v.i);
            flags_[i] = v.i != 0;
        }
        original_ = strings_;
    }
    ~EventArgs()
    {
        for (std::size_t i = 0; i < strings_.size(); ++i) {
            vornik_variant& v = args_[i];
            if (v.type == VORNIK_VT_STR && strings_[i] != original_[i]) {
                const QByteArray utf8 = strings_[i].toUtf8();
                api_.variantSetString(&v, utf8.constData(), static_cast<std::uint32_t>(utf8.size()));
            } else if (v.type == VORNIK_VT_I2 && shorts_[i] != v.i) {
                api_.variantSetI2(&v, shorts_[i]);
            } else if (v.type == VORNIK_VT_BOOL && flags_[i] != (v.i != 0)) {
                api_.variantSetBool(&v, flags_[i]);
            }
        }
    }
    EventArgs(const EventArgs&) = delete;
    EventArgs& operator=(const EventArgs&) = delete;

    QString& s(std::size_t i) { return strings_[i]; }
    short& n(std::size_t i) { return shorts_[i]; }
    bool& b(std::size_t i) { return flags_[i]; }

private:
    const vornik::Api& api_;
    vornik_variant* args_;
    std::vector<QString> strings_;
    std::vector<QString> original_;
    std::vector<short> shorts_;
    std::deque<bool> flags_; // deque: its elements are real bools to refer to
};

} // namespace

void VornikControl::deliver(std::int32_t dispid, vornik_variant* args, std::int32_t count)
{
    // An event whose arguments are not what the table says is not read.
    const vornik::EventInfo* info = vornik::FindEventInfo(dispid);
    if (!handler_ || !info || !vornik::EventArgsMatch(*info, args, count))
        return;
    EventArgs a(module_->api(), args, count);
    VornikEvents& h = *handler_;
    switch (dispid) {
    case VORNIK_EVENT_Advertisement:
        h.advertisement(a.s(0), a.s(1), a.n(2), a.n(3), a.s(4), a.s(5), a.s(6), a.n(7), a.s(8), a.b(9), a.b(10));
        break;
    case VORNIK_EVENT_Connected:
        h.connected(a.n(0), a.s(1));
        break;
    case VORNIK_EVENT_Disconnected:
        h.disconnected(a.n(0), a.s(1));
        break;
    case VORNIK_EVENT_Discovered:
        h.discovered(a.n(0), a.s(1), a.s(2), a.s(3), a.s(4), a.s(5));
        break;
    case VORNIK_EVENT_Error:
        h.error(a.n(0), a.s(1));
        break;
    case VORNIK_EVENT_Log:
        h.log(a.n(0), a.s(1), a.s(2));
        break;
    case VORNIK_EVENT_ServerUpdate:
        h.serverUpdate(a.s(0), a.s(1));
        break;
    case VORNIK_EVENT_StartScan:
        h.startScan(a.s(0));
        break;
    case VORNIK_EVENT_StopScan:
        h.stopScan(a.n(0), a.s(1));
        break;
    case VORNIK_EVENT_Subscribed:
        h.subscribed(a.s(0), a.s(1), a.s(2), a.s(3));
        break;
    case VORNIK_EVENT_Unsubscribed:
        h.unsubscribed(a.s(0), a.s(1), a.s(2), a.s(3));
        break;
    case VORNIK_EVENT_Value:
        h.value(a.s(0), a.s(1), a.s(2), a.s(3), a.s(4), a.s(5));
        break;
    case VORNIK_EVENT_WriteResponse:
        h.writeResponse(a.s(0), a.s(1), a.s(2), a.s(3), a.s(4));
        break;
    default:
        break;
    }
}

} // namespace qc
