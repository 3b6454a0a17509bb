// The GattObjTreeInfo text: every known service, characteristic and
// descriptor, one line each, CR LF ended.
#include <cstdio>

#include "ble_engine.h"
#include "engine_ops.h"

namespace vornik {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeader = "GATT Object Tree Info [>Services, >>Characteristics, >>>Descriptors]:";

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string Joined(const std::vector<std::string>& ids)
{
    std::string out;
    for (const std::string& id : ids)
        out += (out.empty() ? "" : ",") + id;
    return out;
}

// "<uuid> " plus the quoted SIG name and a space when there is one.
std::string Named(const std::string& uuid, const std::string& description)
{
    std::string out = uuid + " ";
    if (!description.empty())
        out += Quoted(description) + " ";
    return out;
}

std::string Hex(unsigned value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%X", value);
    return buffer;
}

}  // namespace

Status BleEngine::BuildTreeText(std::string& out)
{
    // Copies of the lists and shared records throughout: making sure of a
    // characteristic's flags and details may wait, and a host may disconnect
    // meanwhile.
    const EngineOps::Session session = EngineOps::Begin(*this);
    std::string text = std::string(kHeader) + std::string(kLineEnd);
    const std::vector<ServicePtr> services = model_.Services();
    for (const ServicePtr& service : services) {
        text += ">" + Named(service->uuid, service->description) + "[ID=" + service->id +
                ", ParentSvcIds=" + Quoted(Joined(service->parentIds)) +
                ", IncludedSvcIds=" + Quoted(Joined(service->includedIds)) + "]" + std::string(kLineEnd);
        const std::vector<CharacteristicPtr> characteristics = model_.CharacteristicsOf(service->id);
        for (const CharacteristicPtr& chr : characteristics) {
            std::uint16_t flags = 0;
            Status status = FlagsOf(*chr, flags);
            if (!status.ok())
                return status;
            if (status = EngineOps::Check(*this, session); !status.ok())
                return status;
            if (status = EngineOps::EnsureDetails(*this, *chr); !status.ok())
                return status;
            auto state = model_.Subscriptions().find(chr->id);
            bool subscribed = state != model_.Subscriptions().end() && state->second;
            text += ">>" + Named(chr->uuid, chr->description) + "[ID=" + chr->id + ", Flags=0x" + Hex(flags) + " (" +
                    FlagsText(flags) + "), Subscribed=" + (subscribed ? "True" : "False") +
                    ", UserDescr=" + Quoted(chr->details->userDescription) +
                    ", VFCount=" + std::to_string(chr->details->presentationFormats.size()) + "]" +
                    std::string(kLineEnd);
            const std::vector<DescriptorPtr> descriptors = model_.DescriptorsOf(chr->id);
            for (const DescriptorPtr& descriptor : descriptors)
                text += ">>>" + Named(descriptor->uuid, descriptor->description) + "[ID=" + descriptor->id + "]" +
                        std::string(kLineEnd);
        }
    }
    out = std::move(text);
    return Status::Ok();
}

}  // namespace vornik
