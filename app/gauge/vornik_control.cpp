#include "gauge/vornik_control.h"

#include <vector>

#include "vornik_loader.h"

namespace qc {

// Arguments of one call; the variants point into the UTF-8 buffers.
struct VornikControl::Call {
    std::vector<QByteArray> buffers;
    std::vector<vornik_variant> args;
    vornik_variant result{};

    Call& text(const QString& value)
    {
        buffers.push_back(value.toUtf8());
        vornik_variant v{};
        v.type = VORNIK_VT_STR;
        v.data = buffers.back().data();
        v.len = static_cast<std::uint32_t>(buffers.back().size());
        args.push_back(v);
        return *this;
    }
    Call& flag(bool value)
    {
        vornik_variant v{};
        v.type = VORNIK_VT_BOOL;
        v.i = value ? -1 : 0;
        args.push_back(v);
        return *this;
    }
    Call()
    {
        buffers.reserve(4);  // variants point into these; no reallocation
    }
    QByteArray resultBytes() const { return result.data ? QByteArray(result.data, result.len) : QByteArray(); }
};

namespace {

QString toQString(const vornik_variant& v)
{
    return v.data ? QString::fromUtf8(v.data, v.len) : QString();
}

} // namespace

VornikControl::VornikControl(const QString& progId)
{
    std::string error;
    module_ = vornik::Module::load(progId.toStdString(), error);
    if (!module_) {
        lastError_ = {VORNIK_CO_E_DLLNOTFOUND, VORNIK_CO_E_DLLNOTFOUND, QString::fromStdString(error), {}, 0};
        return;
    }
    if (module_->create(progId.toStdString(), &control_) != VORNIK_S_OK) {
        recordError();
        control_ = nullptr;
        return;
    }
    module_->api().advise(control_, &VornikControl::onEvent, this);
}

VornikControl::~VornikControl()
{
    if (control_) {
        module_->api().advise(control_, nullptr, nullptr);
        module_->api().release(control_);
    }
}

QString VornikControl::modulePath() const
{
    return module_ ? QString::fromStdString(module_->path().string()) : QString();
}

int VornikControl::eventDescriptor() const
{
    return control_ ? module_->api().eventFd(control_) : -1;
}

void VornikControl::setPumpHook(vornik_pump_hook hook, void* context)
{
    if (control_)
        module_->api().setPumpHook(control_, hook, context);
}

void VornikControl::interrupt()
{
    if (control_)
        module_->api().interrupt(control_);
}

void VornikControl::recordError()
{
    vornik_error_info info{};
    module_->api().getErrorInfo(&info);
    lastError_ = {info.hresult, info.number, QString::fromUtf8(info.description), QString::fromUtf8(info.source),
                  info.help_context};
}

bool VornikControl::invoke(std::int32_t dispid, std::int32_t kind, Call& call)
{
    if (!control_)
        return false;  // lastError_ still says why there is no control
    const vornik_hresult hr = module_->api().invoke(control_, dispid, kind, call.args.data(),
                                                    static_cast<std::int32_t>(call.args.size()), &call.result);
    if (hr != VORNIK_S_OK) {
        recordError();
        return false;
    }
    return true;
}

bool VornikControl::config(const QString& request, QString* reply)
{
    Call call;
    call.text(request);
    const bool ok = invoke(VORNIK_DISPID_Config, VORNIK_INVOKE_METHOD, call);
    if (ok && reply)
        *reply = toQString(call.result);
    if (ok)
        module_->api().variantClear(&call.result);
    return ok;
}

bool VornikControl::startScanning(const QString& serviceUuids)
{
    Call call;
    call.text(serviceUuids);
    return invoke(VORNIK_DISPID_StartScanning, VORNIK_INVOKE_METHOD, call);
}

bool VornikControl::stopScanning()
{
    Call call;
    return invoke(VORNIK_DISPID_StopScanning, VORNIK_INVOKE_METHOD, call);
}

bool VornikControl::connect(const QString& serverId)
{
    Call call;
    call.text(serverId);
    return invoke(VORNIK_DISPID_Connect, VORNIK_INVOKE_METHOD, call);
}

bool VornikControl::disconnect()
{
    Call call;
    return invoke(VORNIK_DISPID_Disconnect, VORNIK_INVOKE_METHOD, call);
}

bool VornikControl::discover(const QString& serviceUuids, const QString& characteristicUuids,
                             bool discoverDescriptors, const QString& includedByServiceId)
{
    Call call;
    call.text(serviceUuids).text(characteristicUuids).flag(discoverDescriptors).text(includedByServiceId);
    return invoke(VORNIK_DISPID_Discover, VORNIK_INVOKE_METHOD, call);
}

bool VornikControl::doEvents()
{
    Call call;
    return invoke(VORNIK_DISPID_DoEvents, VORNIK_INVOKE_METHOD, call);
}

bool VornikControl::postValue(const QString& serviceId, const QString& characteristicId, const QString& value)
{
    Call call;
    call.text(serviceId).text(characteristicId).text(value);
    return invoke(VORNIK_DISPID_PostValue, VORNIK_INVOKE_METHOD, call);
}

bool VornikControl::writeValue(const QString& serviceId, const QString& characteristicId,
                               const QString& descriptorId, const QString& value)
{
    Call call;
    call.text(serviceId).text(characteristicId).text(descriptorId).text(value);
    return invoke(VORNIK_DISPID_WriteValue, VORNIK_INVOKE_METHOD, call);
}

bool VornikControl::subscribe(const QString& serviceId, const QString& characteristicId)
{
    Call call;
    call.text(serviceId).text(characteristicId);
    return invoke(VORNIK_DISPID_Subscribe, VORNIK_INVOKE_METHOD, call);
}

bool VornikControl::unsubscribe(const QString& serviceId, const QString& characteristicId)
{
    Call call;
    call.text(serviceId).text(characteristicId);
    return invoke(VORNIK_DISPID_Unsubscribe, VORNIK_INVOKE_METHOD, call);
}


bool VornikControl::readValue(const QString& serviceId, const QString& characteristicId,
                              const QString& descriptorId, QString& value)
{
    Call call;
    call.text(serviceId).text(characteristicId).text(descriptorId);
    if (!invoke(VORNIK_DISPID_ReadValue, VORNIK_INVOKE_METHOD, call))
        return false;
    value = toQString(call.result);
    module_->api().variantClear(&call.result);
    return true;
}

bool VornikControl::setActiveScanning(bool active)
{
    Call call;
    call.flag(active);
    return invoke(VORNIK_DISPID_ActiveScanning, VORNIK_INVOKE_PROPERTYPUT, call);
}

bool VornikControl::serverId(QString& out)
{
    Call call;
    if (!invoke(VORNIK_DISPID_ServerId, VORNIK_INVOKE_PROPERTYGET, call))
        return false;
    out = toQString(call.result);
    module_->api().variantClear(&call.result);
    return true;
}

bool VornikControl::serverName(QString& out)
{
    Call call;
    if (!invoke(VORNIK_DISPID_ServerName, VORNIK_INVOKE_PROPERTYGET, call))
        return false;
    out = toQString(call.result);
    module_->api().variantClear(&call.result);
    return true;
}

bool VornikControl::valueBytes(QByteArray& out)
{
    Call call;
    if (!invoke(VORNIK_DISPID_ValueValueB, VORNIK_INVOKE_PROPERTYGET, call))
        return false;
    out = call.resultBytes();
    module_->api().variantClear(&call.result);
    return true;
}

bool VornikControl::advertisementManufacturerData(QByteArray& out)
{
    Call call;
    if (!invoke(VORNIK_DISPID_AdvertisementManufacturerDataB, VORNIK_INVOKE_PROPERTYGET, call))
        return false;
    out = call.resultBytes();
    module_->api().variantClear(&call.result);
    return true;
}

void VornikControl::onEvent(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
{
    static_cast<VornikControl*>(context)->deliver(dispid, args, count);
}

} // namespace qc
