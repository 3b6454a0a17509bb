// UUIDs and UUID lists as hosts pass them: a UUID that parses formats to the
// one reported form, and that form parses back to the same UUID.
#include "uuid.h"
#include "fuzz_input.h"

#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::Input in(data, size);
    const std::string_view text = in.Rest();

    vornik::Uuid one;
    if (vornik::ParseUuid(text, one).ok()) {
        const std::string formatted = vornik::FormatUuid(one);
        FUZZ_CHECK(formatted.size() == 36);
        vornik::Uuid again;
        FUZZ_CHECK(vornik::ParseUuid(formatted, again).ok());
        FUZZ_CHECK(again == one);
    }

    std::vector<vornik::Uuid> list{vornik::Uuid::FromShort(0x2902)};
    const vornik::Status status = vornik::ParseUuidList(text, list);
    if (!status.ok()) {
        FUZZ_CHECK(list.size() == 1); // a failed parse leaves the list as it was
        return 0;
    }
    FUZZ_CHECK(std::set<vornik::Uuid>(list.begin(), list.end()).size() == list.size());
    FUZZ_CHECK(list.size() <= text.size() / 4);
    std::vector<vornik::Uuid> again;
    FUZZ_CHECK(vornik::ParseUuidList(vornik::JoinUuids(list), again).ok());
    FUZZ_CHECK(again == list);
    return 0;
}
