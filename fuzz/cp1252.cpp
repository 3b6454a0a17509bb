// Windows-1252 of the program's files: every byte survives a decode and
// encode; encoding any text gives one byte per character and names exactly
// the characters it could not hold.
#include "data/cp1252.h"
#include "fuzz_text.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::Input in(data, size);
    const bool asText = in.Byte() & 1;
    const std::string_view bytes = in.Rest();
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));

    const QString decoded = qc::DecodeCp1252(view);
    FUZZ_CHECK(decoded.size() == view.size());
    FUZZ_CHECK(qc::EncodeCp1252(decoded) == view);
    FUZZ_CHECK(qc::Cp1252Unstorable(decoded).isEmpty());

    if (asText) {
        // The bytes as UTF-16 code units: lone surrogates included.
        QString text(static_cast<qsizetype>(bytes.size() / 2), Qt::Uninitialized);
        std::memcpy(text.data(), bytes.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
        const QByteArray encoded = qc::EncodeCp1252(text);
        FUZZ_CHECK(encoded.size() <= text.size());
        const QString unstorable = qc::Cp1252Unstorable(text);
        if (unstorable.isEmpty())
            FUZZ_CHECK(qc::DecodeCp1252(encoded) == text);
        else
            FUZZ_CHECK(encoded.contains('?'));
    }
    return 0;
}
