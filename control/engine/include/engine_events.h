// The control's thirteen events, parameters in their fixed order. Every
// parameter is passed by reference: a sink may change an argument. Strings
// hold bytes in the engine's code page; booleans are plain bool (the surface
// turns them into -1/0). Events are only ever raised on the control's thread.
#pragma once

#include <string>

namespace vornik {

class EngineEvents {
public:
    virtual ~EngineEvents() = default;

    virtual void Advertisement(std::string& /*ServerId*/, std::string& /*Name*/, short& /*RSSI*/,
                               short& /*TxPower*/, std::string& /*ServiceUuids*/,
                               std::string& /*ServicesWithData*/, std::string& /*SolicitedServiceUuids*/,
                               short& /*ManufacturerCompanyId*/, std::string& /*ManufacturerData*/,
                               bool& /*IsConnectable*/, bool& /*IsScanResponse*/) {}
    virtual void Connected(short& /*StatusCode*/, std::string& /*Description*/) {}
    virtual void Disconnected(short& /*StatusCode*/, std::string& /*Description*/) {}
    virtual void Discovered(short& /*GattType*/, std::string& /*ServiceId*/, std::string& /*CharacteristicId*/,
                            std::string& /*DescriptorId*/, std::string& /*Uuid*/, std::string& /*Description*/) {}
    virtual void Error(short& /*ErrorCode*/, std::string& /*Description*/) {}
    virtual void Log(short& /*LogLevel*/, std::string& /*Message*/, std::string& /*LogType*/) {}
    virtual void ServerUpdate(std::string& /*Name*/, std::string& /*ChangedServices*/) {}
    virtual void StartScan(std::string& /*ServiceUuids*/) {}
    virtual void StopScan(short& /*ErrorCode*/, std::string& /*ErrorDescription*/) {}
    virtual void Subscribed(std::string& /*ServiceId*/, std::string& /*CharacteristicId*/, std::string& /*Uuid*/,
                            std::string& /*Description*/) {}
    virtual void Unsubscribed(std::string& /*ServiceId*/, std::string& /*CharacteristicId*/,
                              std::string& /*Uuid*/, std::string& /*Description*/) {}
    virtual void Value(std::string& /*ServiceId*/, std::string& /*CharacteristicId*/, std::string& /*DescriptorId*/,
                       std::string& /*Uuid*/, std::string& /*Description*/, std::string& /*Value*/) {}
    virtual void WriteResponse(std::string& /*ServiceId*/, std::string& /*CharacteristicId*/,
                               std::string& /*DescriptorId*/, std::string& /*Uuid*/, std::string& /*Description*/) {}
};

}  // namespace vornik
