// A peripheral module as the demo mode loads it.
#include "platform/sim/sim_radio.h"

extern "C" __attribute__((visibility("default"))) int vornik_sim_populate(vornik::sim::SimRadio* radio)
{
    auto gauge = radio->AddPeripheral(0x010203040506ULL, "Module gauge");
    gauge->AddService(vornik::Uuid::FromShort(0x180A));
    return 0;
}
