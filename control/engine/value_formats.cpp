// A characteristic's user description and its presentation formats.
#include <algorithm>

#include "ble_engine.h"
#include "engine_ops.h"
#include "errors.h"
#include "object_id.h"
#include "platform/gatt_constants.h"
#include "uuid.h"

namespace vornik {

namespace {

using gatt::descriptor::kAggregateFormat;
using gatt::descriptor::kPresentationFormat;
using gatt::descriptor::kUserDescription;
// Presentation format types 0x01 (boolean) ... 0x1B (struct) are the
// ValueFormats values; anything else is reported as undefined (0).
constexpr int kFirstFormatType = 0x01;
constexpr int kLastFormatType = 0x1B;

}  // namespace

int BleEngine::GetCharacteristicUserDescription(int index, std::string& out)
{
    out.clear();
    CharacteristicPtr record;
    if (Status status = EngineOps::CharacteristicAt(*this, index, record); !status.ok())
        return Done(status);
    if (Status status = EngineOps::EnsureDetails(*this, *record); !status.ok())
        return Done(status);
    out = record->details->userDescription;
    return Done(Status::Ok());
}

int BleEngine::SetCharacteristicUserDescription(int index, const std::string& text)
{
    CharacteristicPtr record;
    if (Status status = EngineOps::CharacteristicAt(*this, index, record); !status.ok())
        return Done(status);
    if (Status status = EngineOps::RequireConnection(*this); !status.ok())
        return Done(status);
    const EngineOps::Session session = EngineOps::Begin(*this);
    std::uint16_t flags = 0;
    if (Status status = FlagsOf(*record, flags); !status.ok())
        return Done(status);
    if (Status status = EngineOps::Check(*this, session); !status.ok())
        return Done(status);
    if ((flags & kFlagWritableAuxiliaries) == 0)
        return Done(Status::Error(err::kUsage, std::string(text::kUserDescriptionLocked)));
    if (Status status = EnsureDescriptorKind(*record, kUserDescription); !status.ok())
        return Done(status);
    if (Status status = EngineOps::Check(*this, session); !status.ok())
        return Done(status);
    const std::string uuid = FormatUuid(Uuid::FromShort(kUserDescription));
    // The record itself, not a place in the model's list: the log line
    // below may run a host that disconnects and so empties the list.
    DescriptorPtr userDescription;
    for (const DescriptorPtr& candidate : model_.DescriptorsOf(record->id))
        if (candidate && candidate->uuid == uuid) {
            userDescription = candidate;
            break;
        }
    if (!userDescription)
        return Done(NoUserDescriptionError(record->id));

    Log(LogLevel::Debug, LogType::Debug, "Writing new value to User Description descriptor.");
    const auto descriptor = userDescription->descriptor;
    const platform::Bytes bytes = EngineOps::ToBytes(text);
    platform::GattResult result;
    const Status status = EngineOps::Request<platform::GattResult>(
        *this, session, LogType::Debug,
        [&](platform::Completion<platform::GattResult> done) { descriptor->WriteValue(bytes, std::move(done)); },
        result);
    const std::string id = EngineOps::Quoted(record->id);
    Log(LogLevel::Debug, LogType::Debug,
        (status.ok() ? "Successfully wrote new value to Characteristic User Description descriptor for characteristic ID "
                     : "Failed to write new value to Characteristic User Description descriptor for characteristic ID ") +
            id + ".");
    // Whatever the outcome, the server may hold a new text now.
    record->details.reset();
    if (!status.ok())
        return Done(status);
    return Done(EngineOps::Check(*this, session));
}

Status EngineOps::EnsureDetails(BleEngine& engine, CharacteristicRecord& record)
{
    if (record.details)
        return Status::Ok();
    const Session session = Begin(engine);
    const std::shared_ptr<platform::GattCharacteristic> characteristic = record.characteristic;
    platform::DetailsResult result;
    if (Status status = Request<platform::DetailsResult>(
            engine, session, LogType::Read,
            [&](platform::Completion<platform::DetailsResult> done) { characteristic->GetDetails(std::move(done)); },
            result);
        !status.ok())
        return status;
    record.details = std::move(result.details);
    // Formats read anew may be fewer than the selection assumed.
    const int count = static_cast<int>(record.details->presentationFormats.size());
    if (record.formatIndexInitialised && record.valueFormatIndex >= count)
        record.valueFormatIndex = count == 0 ? -1 : 0;
    if (record.formatIndexInitialised && record.valueFormatIndex < 0 && count > 0)
        record.valueFormatIndex = 0;
    return Status::Ok();
}

Status EngineOps::EnsureValueFormats(BleEngine& engine, CharacteristicRecord& record)
{
    if (record.formatIndexInitialised)
        return Status::Ok();
    if (!record.formatDescriptorsEnsured) {
        const Session session = Begin(engine);
        if (Status status = engine.EnsureDescriptorKind(record, kAggregateFormat); !status.ok())
            return status;
        if (Status status = Check(engine, session); !status.ok())
            return status;
        if (Status status = engine.EnsureDescriptorKind(record, kPresentationFormat); !status.ok())
            return status;
        record.formatDescriptorsEnsured = true;
    }
    if (Status status = EnsureDetails(engine, record); !status.ok())
        return status;
    record.valueFormatIndex = record.details->presentationFormats.empty() ? -1 : 0;
    record.formatIndexInitialised = true;
    return Status::Ok();
}

// The record at the index with its formats made sure of, and the selected
// presentation format (null when the index is -1).
static Status SelectedFormat(BleEngine& engine, int index, CharacteristicPtr& record,
                             std::optional<platform::PresentationFormat>& format)
{
    format.reset();
    if (Status status = EngineOps::CharacteristicAt(engine, index, record); !status.ok())
        return status;
    if (Status status = EngineOps::EnsureValueFormats(engine, *record); !status.ok())
        return status;
    if (Status status = EngineOps::EnsureDetails(engine, *record); !status.ok())
        return status;
    const std::vector<platform::PresentationFormat>& formats = record->details->presentationFormats;
    if (record->valueFormatIndex >= 0 && record->valueFormatIndex < static_cast<int>(formats.size()))
        format = formats[static_cast<std::size_t>(record->valueFormatIndex)];
    return Status::Ok();
}

int BleEngine::GetCharacteristicValueFormatCount(int index, short& out)
{
    out = 0;
    CharacteristicPtr record;
    std::optional<platform::PresentationFormat> format;
    if (Status status = SelectedFormat(*this, index, record, format); !status.ok())
        return Done(status);
    out = static_cast<short>(record->details->presentationFormats.size());
    return Done(Status::Ok());
}

int BleEngine::GetCharacteristicValueFormatIndex(int index, short& out)
{
    out = -1;
    CharacteristicPtr record;
    std::optional<platform::PresentationFormat> format;
    if (Status status = SelectedFormat(*this, index, record, format); !status.ok())
        return Done(status);
    out = static_cast<short>(record->valueFormatIndex);
    return Done(Status::Ok());
}

int BleEngine::SetCharacteristicValueFormatIndex(int index, short formatIndex)
{
    CharacteristicPtr record;
    std::optional<platform::PresentationFormat> format;
    if (Status status = SelectedFormat(*this, index, record, format); !status.ok())
        return Done(status);
    const int count = static_cast<int>(record->details->presentationFormats.size());
    const bool valid = count == 0 ? formatIndex == -1 : formatIndex >= 0 && formatIndex < count;
    if (!valid)
        return Done(Status::Error(err::kBadArgument, std::string(text::kBadValueFormatIndex)));
    record->valueFormatIndex = formatIndex;
    return Done(Status::Ok());
}

int BleEngine::GetCharacteristicValueFormat(int index, int& out)
{
    out = 0;
    CharacteristicPtr record;
    std::optional<platform::PresentationFormat> format;
    if (Status status = SelectedFormat(*this, index, record, format); !status.ok())
        return Done(status);
    if (format && format->formatType >= kFirstFormatType && format->formatType <= kLastFormatType)
        out = format->formatType;
    return Done(Status::Ok());
}

int BleEngine::GetCharacteristicValueExponent(int index, short& out)
{
    out = 0;
    CharacteristicPtr record;
    std::optional<platform::PresentationFormat> format;
    if (Status status = SelectedFormat(*this, index, record, format); !status.ok())
        return Done(status);
    if (format)
        out = format->exponent;
    return Done(Status::Ok());
}

int BleEngine::GetCharacteristicValueUnit(int index, std::string& out)
{
    out.clear();
    CharacteristicPtr record;
    std::optional<platform::PresentationFormat> format;
    if (Status status = SelectedFormat(*this, index, record, format); !status.ok())
        return Done(status);
    if (format)
        out = FormatUuid(format->unit);
    return Done(Status::Ok());
}

}  // namespace vornik
