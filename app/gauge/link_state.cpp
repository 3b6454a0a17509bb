#include "gauge/link_state.h"

#include "gauge/gatt_ids.h"

namespace qc {

void ApplyDiscovered(LinkState& state, short gattType, const QString& serviceId, const QString& characteristicId,
                     const QString& uuid)
{
    GattIds& ids = state.Ids;
    if (gattType == gatt::kGattCharacteristic) {
        if (uuid == QLatin1String(gatt::kCharCommand))
            ids.ChrCommandId = characteristicId;
        else if (uuid == QLatin1String(gatt::kCharTrace))
            ids.ChrTraceId = characteristicId;
        else if (uuid == QLatin1String(gatt::kCharMemData))
            ids.ChrMemDataId = characteristicId;
        else if (uuid == QLatin1String(gatt::kCharMemDir))
            ids.ChrMemDirId = characteristicId;
        else if (uuid == QLatin1String(gatt::kCharLive))
            ids.ChrLiveId = characteristicId;
    } else if (gattType == gatt::kGattService) {
        if (uuid == QLatin1String(gatt::kServiceMain)) {
            ids.SvcMainId = serviceId;
        } else if (uuid == QLatin1String(gatt::kServiceMemory)) {
            ids.SvcMemoryId = serviceId;
        } else if (uuid == QLatin1String(gatt::kServiceAlt)) {
            ids.SvcAltId = serviceId;
            ids.SvcMainId = serviceId;
        }
    }
    UpdateReadiness(state);
}

void UpdateReadiness(LinkState& state)
{
    const GattIds& ids = state.Ids;
    if (!ids.SvcMainId.isEmpty() && !ids.ChrCommandId.isEmpty())
        state.CommandPathReady = true;
    if (!ids.SvcMemoryId.isEmpty() && !ids.ChrLiveId.isEmpty()
        && (!ids.SvcAltId.isEmpty() || (!ids.ChrMemDirId.isEmpty() && !ids.ChrMemDataId.isEmpty())))
        state.MemoryPathReady = true;
}

} // namespace qc
