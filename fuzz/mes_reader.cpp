// The reader of measurement files: any bytes as a file's content, in both
// locales and both table modes. Whatever it takes must be a reading the
// table can hold.
#include "data/cp1252.h"
#include "data/measurement_file.h"
#include "fuzz_text.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::Input in(data, size);
    const std::uint8_t choice = in.Byte();
    qc::MesReadOptions options;
    options.dateMode = choice & 2;
    options.locale = qc::fuzz::ChosenLocale(choice);
    const std::string_view bytes = in.Rest();
    const QString text = qc::DecodeCp1252(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));

    const qc::MesContent content = qc::ParseMesText(text, options);

    FUZZ_CHECK(content.rows.size() <= static_cast<std::size_t>(qc::kMaxRows));
    FUZZ_CHECK(content.dataLines >= static_cast<int>(content.rows.size()));
    FUZZ_CHECK(content.skippedLines >= 0);
    // CR, LF and CR LF each end a line.
    FUZZ_CHECK(content.dataLines + content.skippedLines <= text.count(u'\n') + text.count(u'\r') + 1);
    for (const qc::Reading& r : content.rows) {
        FUZZ_CHECK(std::isfinite(r.Value));
        // Three decimals: the value times 1000 is whole.
        FUZZ_CHECK(std::fabs(r.Value) > 1e12 || std::fabs(r.Value * 1000 - std::round(r.Value * 1000)) < 1e-3);
    }
    return 0;
}
