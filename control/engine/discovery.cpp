// Discovering services, included services, characteristics and descriptors.
#include "ble_engine.h"

namespace vornik {

int BleEngine::Discover(const std::string& /*serviceUuids*/, const std::string& /*characteristicUuids*/,
                        bool /*discoverDescriptors*/, const std::string& /*includedByServiceId*/)
{
    return Done(NotImplementedError());
}

int BleEngine::DiscoverCharacteristics(const std::string& /*serviceId*/, const std::string& /*characteristicUuids*/)
{
    return Done(NotImplementedError());
}

int BleEngine::DiscoverDescriptors(const std::string& /*serviceId*/, const std::string& /*characteristicId*/)
{
    return Done(NotImplementedError());
}

int BleEngine::DiscoverServices(const std::string& /*serviceUuids*/, const std::string& /*includedByServiceId*/)
{
    return Done(NotImplementedError());
}

Status BleEngine::EnsureDescriptorKind(CharacteristicRecord& /*record*/, std::uint16_t /*uuid16*/)
{
    // Until descriptor discovery exists there is nothing more to learn.
    return Status::Ok();
}

}  // namespace vornik
