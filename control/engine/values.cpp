// Reading, writing and posting values; subscriptions; value formats.
#include "ble_engine.h"

namespace vornik {

int BleEngine::GetCharacteristicCachedValue(int /*index*/, std::string& out)
{
    out.clear();
    return Done(NotImplementedError());
}

int BleEngine::GetCharacteristicSubscribed(int /*index*/, bool& out)
{
    out = false;
    return Done(NotImplementedError());
}

int BleEngine::SetCharacteristicSubscribed(int /*index*/, bool /*subscribed*/)
{
    return Done(NotImplementedError());
}

int BleEngine::GetCharacteristicUserDescription(int /*index*/, std::string& out)
{
    out.clear();
    return Done(NotImplementedError());
}

int BleEngine::SetCharacteristicUserDescription(int /*index*/, const std::string& /*text*/)
{
    return Done(NotImplementedError());
}

int BleEngine::GetCharacteristicValueExponent(int /*index*/, short& out)
{
    out = 0;
    return Done(NotImplementedError());
}

int BleEngine::GetCharacteristicValueFormat(int /*index*/, int& out)
{
    out = 0;
    return Done(NotImplementedError());
}

int BleEngine::GetCharacteristicValueFormatCount(int /*index*/, short& out)
{
    out = 0;
    return Done(NotImplementedError());
}

int BleEngine::GetCharacteristicValueFormatIndex(int /*index*/, short& out)
{
    out = -1;
    return Done(NotImplementedError());
}

int BleEngine::SetCharacteristicValueFormatIndex(int /*index*/, short /*formatIndex*/)
{
    return Done(NotImplementedError());
}

int BleEngine::GetCharacteristicValueUnit(int /*index*/, std::string& out)
{
    out.clear();
    return Done(NotImplementedError());
}

int BleEngine::GetDescriptorCachedValue(int /*index*/, std::string& out)
{
    out.clear();
    return Done(NotImplementedError());
}

int BleEngine::CheckCharacteristicSubscribed(short index, bool& out)
{
    return GetCharacteristicSubscribed(index, out);
}

int BleEngine::PostValue(const std::string& /*serviceId*/, const std::string& /*characteristicId*/,
                         const std::string& /*value*/)
{
    return Done(NotImplementedError());
}

int BleEngine::QueryCharacteristicCachedVal(short index, std::string& out)
{
    return GetCharacteristicCachedValue(index, out);
}

int BleEngine::QueryDescriptorCachedVal(short index, std::string& out)
{
    return GetDescriptorCachedValue(index, out);
}

int BleEngine::ReadValue(const std::string& /*serviceId*/, const std::string& /*characteristicId*/,
                         const std::string& /*descriptorId*/, std::string& out)
{
    out.clear();
    return Done(NotImplementedError());
}

int BleEngine::Subscribe(const std::string& /*serviceId*/, const std::string& /*characteristicId*/)
{
    return Done(NotImplementedError());
}

int BleEngine::Unsubscribe(const std::string& /*serviceId*/, const std::string& /*characteristicId*/)
{
    return Done(NotImplementedError());
}

int BleEngine::WriteValue(const std::string& /*serviceId*/, const std::string& /*characteristicId*/,
                          const std::string& /*descriptorId*/, const std::string& /*value*/)
{
    return Done(NotImplementedError());
}

Status BleEngine::SubscriptionState(CharacteristicRecord& record, bool& out)
{
    auto found = model_.Subscriptions().find(record.id);
    out = found != model_.Subscriptions().end() && found->second;
    return Status::Ok();
}

int BleEngine::GetValueValueB(std::string& out) const
{
    out.clear();
    return 0;
}

}  // namespace vornik
