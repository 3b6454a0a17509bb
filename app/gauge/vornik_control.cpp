#include "gauge/vornik_control.h"

#include "host_call.h"
#include "vornik_loader.h"

namespace qc {

namespace {

using vornik::host::Args;
using vornik::host::Result;

QString toQString(const vornik_variant& v) { return v.data ? QString::fromUtf8(v.data, v.len) : QString(); }

std::string utf8(const QString& text) { return text.toStdString(); }

} // namespace

VornikControl::VornikControl(const QString& progId)
{
    std::string error;
    module_ = vornik::Module::load(progId.toStdString(), error);
    if (!module_) {
        lastError_ = {VORNIK_CO_E_DLLNOTFOUND, VORNIK_CO_E_DLLNOTFOUND, QString::fromStdString(error), {}, 0};
        return;
    }
    if (const vornik_hresult hr = module_->create(progId.toStdString(), &control_); hr != VORNIK_S_OK) {
        recordError(vornik::host::LastError(module_->api(), hr));
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

int VornikControl::eventDescriptor() const { return control_ ? module_->api().eventFd(control_) : -1; }

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

void VornikControl::recordError(const vornik::host::Error& error)
{
    lastError_ = {error.hresult, error.number, QString::fromStdString(error.description),
                  QString::fromStdString(error.source), error.helpContext};
}

bool VornikControl::invoke(std::int32_t dispid, std::int32_t kind, const Args& args, Result* result)
{
    if (!control_)
        return false; // lastError_ still says why there is no control
    vornik::host::Error error;
    if (vornik::host::Caller(module_->api(), control_)
            .Invoke(dispid, kind, args.Data(), args.Count(), result, &error) != VORNIK_S_OK) {
        recordError(error);
        return false;
    }
    return true;
}

bool VornikControl::call(std::int32_t dispid, const Args& args)
{
    return invoke(dispid, VORNIK_INVOKE_METHOD, args, nullptr);
}

bool VornikControl::textResult(std::int32_t dispid, std::int32_t kind, const Args& args, QString& out)
{
    Result result(module_->api());
    if (!invoke(dispid, kind, args, &result))
        return false;
    out = toQString(result.v);
    return true;
}

bool VornikControl::bytesResult(std::int32_t dispid, QByteArray& out)
{
    Result result(module_->api());
    if (!invoke(dispid, VORNIK_INVOKE_PROPERTYGET, Args(), &result))
        return false;
    out = result.v.data ? QByteArray(result.v.data, static_cast<qsizetype>(result.v.len)) : QByteArray();
    return true;
}

bool VornikControl::config(const QString& request, QString* reply)
{
    QString text;
    if (!textResult(VORNIK_DISPID_Config, VORNIK_INVOKE_METHOD, Args().Text(utf8(request)), text))
        return false;
    if (reply)
        *reply = text;
    return true;
}

bool VornikControl::startScanning(const QString& serviceUuids)
{
    return call(VORNIK_DISPID_StartScanning, Args().Text(utf8(serviceUuids)));
}

bool VornikControl::stopScanning() { return call(VORNIK_DISPID_StopScanning, Args()); }

bool VornikControl::connect(const QString& serverId)
{
    return call(VORNIK_DISPID_Connect, Args().Text(utf8(serverId)));
}

bool VornikControl::disconnect() { return call(VORNIK_DISPID_Disconnect, Args()); }

bool VornikControl::discover(const QString& serviceUuids, const QString& characteristicUuids, bool discoverDescriptors,
                             const QString& includedByServiceId)
{
    return call(VORNIK_DISPID_Discover, Args()
                                            .Text(utf8(serviceUuids))
                                            .Text(utf8(characteristicUuids))
                                            .Bool(discoverDescriptors)
                                            .Text(utf8(includedByServiceId)));
}

bool VornikControl::doEvents() { return call(VORNIK_DISPID_DoEvents, Args()); }

bool VornikControl::postValue(const QString& serviceId, const QString& characteristicId, const QString& value)
{
    return call(VORNIK_DISPID_PostValue, Args().Text(utf8(serviceId)).Text(utf8(characteristicId)).Text(utf8(value)));
}

bool VornikControl::writeValue(const QString& serviceId, const QString& characteristicId, const QString& descriptorId,
                               const QString& value)
{
    return call(VORNIK_DISPID_WriteValue,
                Args().Text(utf8(serviceId)).Text(utf8(characteristicId)).Text(utf8(descriptorId)).Text(utf8(value)));
}

bool VornikControl::subscribe(const QString& serviceId, const QString& characteristicId)
{
    return call(VORNIK_DISPID_Subscribe, Args().Text(utf8(serviceId)).Text(utf8(characteristicId)));
}

bool VornikControl::unsubscribe(const QString& serviceId, const QString& characteristicId)
{
    return call(VORNIK_DISPID_Unsubscribe, Args().Text(utf8(serviceId)).Text(utf8(characteristicId)));
}

bool VornikControl::readValue(const QString& serviceId, const QString& characteristicId, const QString& descriptorId,
                              QString& value)
{
    return textResult(VORNIK_DISPID_ReadValue, VORNIK_INVOKE_METHOD,
                      Args().Text(utf8(serviceId)).Text(utf8(characteristicId)).Text(utf8(descriptorId)), value);
}

bool VornikControl::setActiveScanning(bool active)
{
    return invoke(VORNIK_DISPID_ActiveScanning, VORNIK_INVOKE_PROPERTYPUT, Args().Bool(active), nullptr);
}

bool VornikControl::serverId(QString& out)
{
    return textResult(VORNIK_DISPID_ServerId, VORNIK_INVOKE_PROPERTYGET, Args(), out);
}

bool VornikControl::serverName(QString& out)
{
    return textResult(VORNIK_DISPID_ServerName, VORNIK_INVOKE_PROPERTYGET, Args(), out);
}

bool VornikControl::valueBytes(QByteArray& out) { return bytesResult(VORNIK_DISPID_ValueValueB, out); }

bool VornikControl::advertisementManufacturerData(QByteArray& out)
{
    return bytesResult(VORNIK_DISPID_AdvertisementManufacturerDataB, out);
}

void VornikControl::onEvent(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
{
    static_cast<VornikControl*>(context)->deliver(dispid, args, count);
}

} // namespace qc
