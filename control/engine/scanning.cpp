// Scanning for advertisements and reporting them.
#include "ble_engine.h"
#include "scan_state.h"

namespace vornik {

int BleEngine::GetActiveScanning(bool& out) const
{
    out = activeScanning_;
    return 0;
}

int BleEngine::SetActiveScanning(bool value)
{
    activeScanning_ = value;
    return 0;
}

int BleEngine::GetScanning(bool& out) const
{
    out = false;
    return 0;
}

int BleEngine::StartScanning(const std::string& /*serviceUuids*/)
{
    return Done(NotImplementedError());
}

int BleEngine::StopScanning()
{
    return 0;
}

Status BleEngine::QueryAdvertisementSetting(const ConfigRequest& /*request*/, std::string& /*reply*/)
{
    return NotImplementedError();
}

int BleEngine::GetAdvertisementManufacturerDataB(std::string& out) const
{
    out.clear();
    return 0;
}

}  // namespace vornik
