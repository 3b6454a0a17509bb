// The control's Config strings and setting values: any text parses to a
// name, an optional index and an optional value without reading outside it.
#include "config_request.h"
#include "fuzz_input.h"

#include <climits>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::Input in(data, size);
    const std::string_view text = in.Rest();

    const vornik::ConfigRequest request = vornik::ParseConfigRequest(text);

    FUZZ_CHECK(request.query == (text.find('=') == std::string_view::npos));
    FUZZ_CHECK(request.name.empty() || (request.name.front() != ' ' && request.name.back() != ' '));
    FUZZ_CHECK(request.name.size() + request.indexText.size() <= text.size());
    FUZZ_CHECK(request.value.size() <= text.size());
    if (!request.hasIndex)
        FUZZ_CHECK(request.index == -1 && request.indexText.empty());
    if (request.index >= 0) {
        // Decimal digits only ("-0" is 0 as well).
        const std::string digits = request.indexText.substr(request.indexText.starts_with('-') ? 1 : 0);
        FUZZ_CHECK(!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos);
    }
    if (!request.query)
        FUZZ_CHECK(text.find(request.value) != std::string_view::npos);

    const bool flag = vornik::ParseBoolSetting(request.value);
    FUZZ_CHECK(vornik::ParseBoolSetting(vornik::FormatBoolSetting(flag)) == flag);
    const int number = vornik::ParseIntSetting(request.value);
    // A decimal number written back reads as itself.
    FUZZ_CHECK(vornik::ParseIntSetting(std::to_string(number)) == number);
    (void)vornik::ParseIntSetting(text);
    return 0;
}
