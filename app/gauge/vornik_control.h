// The program's typed view of the BLE control Vornik1: every member it calls
// by dispatch id, with Qt types, and the control's events as virtual
// functions whose parameters are passed by reference.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

#include "vornik220.h"

namespace vornik {
class Module;
namespace host {
class Args;
class Result;
struct Error;
} // namespace host
} // namespace vornik

namespace qc {

// What a failed call left, as the late-bound caller sees it (Err).
struct VornikError {
    qint32 hresult = 0;
    qint32 number = 0;
    QString description;
    QString source;
    qint32 helpContext = 0;
};

// The control's events. A handler may change its arguments; the control
// reads them back.
class VornikEvents {
public:
    virtual ~VornikEvents() = default;
    virtual void advertisement(QString& /*serverId*/, QString& /*name*/, short& /*rssi*/, short& /*txPower*/,
                               QString& /*serviceUuids*/, QString& /*servicesWithData*/,
                               QString& /*solicitedServiceUuids*/, short& /*manufacturerCompanyId*/,
                               QString& /*manufacturerData*/, bool& /*isConnectable*/, bool& /*isScanResponse*/)
    {
    }
    virtual void connected(short& /*statusCode*/, QString& /*description*/) { }
    virtual void disconnected(short& /*statusCode*/, QString& /*description*/) { }
    virtual void discovered(short& /*gattType*/, QString& /*serviceId*/, QString& /*characteristicId*/,
                            QString& /*descriptorId*/, QString& /*uuid*/, QString& /*description*/)
    {
    }
    virtual void error(short& /*errorCode*/, QString& /*description*/) { }
    virtual void log(short& /*logLevel*/, QString& /*message*/, QString& /*logType*/) { }
    virtual void serverUpdate(QString& /*name*/, QString& /*changedServices*/) { }
    virtual void startScan(QString& /*serviceUuids*/) { }
    virtual void stopScan(short& /*errorCode*/, QString& /*errorDescription*/) { }
    virtual void subscribed(QString& /*serviceId*/, QString& /*characteristicId*/, QString& /*uuid*/,
                            QString& /*description*/)
    {
    }
    virtual void unsubscribed(QString& /*serviceId*/, QString& /*characteristicId*/, QString& /*uuid*/,
                              QString& /*description*/)
    {
    }
    virtual void value(QString& /*serviceId*/, QString& /*characteristicId*/, QString& /*descriptorId*/,
                       QString& /*uuid*/, QString& /*description*/, QString& /*value*/)
    {
    }
    virtual void writeResponse(QString& /*serviceId*/, QString& /*characteristicId*/, QString& /*descriptorId*/,
                               QString& /*uuid*/, QString& /*description*/)
    {
    }
};

class VornikControl {
public:
    // Finds the module by ProgID (class registry, then beside the program)
    // and creates the control; check isCreated() and lastError().
    explicit VornikControl(const QString& progId = QStringLiteral(VORNIK_PROGID_INDEPENDENT));
    ~VornikControl();
    VornikControl(const VornikControl&) = delete;
    VornikControl& operator=(const VornikControl&) = delete;

    bool isCreated() const { return control_ != nullptr; }
    const VornikError& lastError() const { return lastError_; }
    QString modulePath() const;

    void setEventHandler(VornikEvents* handler) { handler_ = handler; }
    VornikEvents* eventHandler() const { return handler_; }
    // Host integration: readable when DoEvents has work; -1 without control.
    int eventDescriptor() const;
    void setPumpHook(vornik_pump_hook hook, void* context);
    // Any thread: ends the control's waits now in progress (301 "Interrupted.").
    void interrupt();

    // Methods. False on failure, with lastError() set.
    bool config(const QString& request, QString* reply = nullptr);
    bool startScanning(const QString& serviceUuids);
    bool stopScanning();
    bool connect(const QString& serverId);
    bool disconnect();
    bool discover(const QString& serviceUuids, const QString& characteristicUuids, bool discoverDescriptors,
                  const QString& includedByServiceId);
    bool doEvents();
    bool postValue(const QString& serviceId, const QString& characteristicId, const QString& value);
    bool readValue(const QString& serviceId, const QString& characteristicId, const QString& descriptorId,
                   QString& value);
    bool writeValue(const QString& serviceId, const QString& characteristicId, const QString& descriptorId,
                    const QString& value);
    bool subscribe(const QString& serviceId, const QString& characteristicId);
    bool unsubscribe(const QString& serviceId, const QString& characteristicId);

    // Properties the program reads or sets.
    bool setActiveScanning(bool active);
    bool serverId(QString& out);
    bool serverName(QString& out);
    bool valueBytes(QByteArray& out);                    // ValueValueB, inside the Value event
    bool advertisementManufacturerData(QByteArray& out); // inside the Advertisement event

private:
    bool invoke(std::int32_t dispid, std::int32_t kind, const vornik::host::Args& args, vornik::host::Result* result);
    bool call(std::int32_t dispid, const vornik::host::Args& args);
    bool textResult(std::int32_t dispid, std::int32_t kind, const vornik::host::Args& args, QString& out);
    bool bytesResult(std::int32_t dispid, QByteArray& out);
    void recordError(const vornik::host::Error& error);
    static void onEvent(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count);
    void deliver(std::int32_t dispid, vornik_variant* args, std::int32_t count);

    std::unique_ptr<vornik::Module> module_;
    vornik_control* control_ = nullptr;
    VornikEvents* handler_ = nullptr;
    VornikError lastError_;
};

} // namespace qc
