// The control's code page conversions: any bytes both ways under the pages
// hosts use. Windows-1252 keeps every byte; UTF-8 passes only valid text;
// a conversion that succeeds gives valid UTF-8 to the host.
#include "code_page.h"
#include "fuzz_input.h"

namespace {

constexpr int kPages[] = {vornik::surface::kCodePageAnsi,
                          vornik::surface::kCodePage1252,
                          vornik::surface::kCodePageUtf8,
                          1251,
                          1250,
                          437,
                          850,
                          932,
                          936,
                          949,
                          950,
                          28591,
                          65000,
                          1200,
                          0x7FFFFFFF,
                          -1};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace cp = vornik::surface;
    qc::fuzz::Input in(data, size);
    const int page = kPages[in.Byte() % std::size(kPages)];
    const std::string_view bytes = in.Rest();
    if (!cp::IsSupportedCodePage(page)) {
        FUZZ_CHECK(!cp::CodePageRefusal(page).empty());
        return 0;
    }

    const cp::Converted host = cp::FromEngine(bytes, page);
    if (host.ok)
        FUZZ_CHECK(cp::IsValidUtf8(host.text));
    if (page == cp::kCodePageAnsi || page == cp::kCodePage1252) {
        FUZZ_CHECK(host.ok);
        const cp::Converted back = cp::ToEngine(host.text, page);
        FUZZ_CHECK(back.ok && back.text == bytes); // every byte survives
    }

    const cp::Converted engine = cp::ToEngine(bytes, page);
    FUZZ_CHECK(engine.ok == cp::IsValidUtf8(bytes) || !engine.ok);
    if (!cp::IsValidUtf8(bytes))
        FUZZ_CHECK(!engine.ok);
    if (engine.ok && page == cp::kCodePageUtf8)
        FUZZ_CHECK(engine.text == bytes);
    return 0;
}
