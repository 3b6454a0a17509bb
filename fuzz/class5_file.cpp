// Class 5 memory files: any bytes as the file a gauge sends, under every
// file kind, several units and both locales, either as the bytes or as the
// hexadecimal text the gauge sends them in. The decoder keeps at most the
// table's 5000 rows, every row a finite reading, and accounts for every
// record it was given.
#include "gauge/class5_file.h"
#include "data/record_text.h"
#include "fuzz_text.h"

#include <cmath>

namespace {

const char* const kNames[] = {"m0001", "s0002", "t0003", "x0004", "se001", " m12 ", "tm", ""};
const char* const kUnits[] = {"\u00B5m", "mils", "A/cm", "Fe%", "?"};

qc::GaugeContext Gauge(std::uint8_t choice)
{
    qc::GaugeContext g;
    g.profile = qc::DeviceProfile{"5", "L", "E", "2", "+", "-", QString::number(1 + choice % 3)};
    g.identity.GaugeUnit = QString::fromUtf8(kUnits[(choice >> 2) % std::size(kUnits)]);
    g.identity.GaugeProbeType = choice & 0x20 ? QStringLiteral("2") : QStringLiteral("1");
    g.identity.ModelCode = choice & 0x40 ? QStringLiteral("ZP") : QStringLiteral("QV");
    return g;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::Input in(data, size);
    const std::uint8_t choice = in.Byte();
    const QString name = QString::fromLatin1(kNames[choice % std::size(kNames)]);
    const qc::GaugeContext gauge = Gauge(in.Byte());
    const QLocale locale = qc::fuzz::ChosenLocale(choice >> 3);
    // The records repeated: more of them than a memory holds.
    const int copies = 1 + (choice >> 4 & 7);
    const std::string_view rest = in.Rest();
    QByteArray bytes;
    if (choice & 0x80) {
        const auto decoded = qc::HexBytes(QString::fromLatin1(rest.data(), qsizetype(rest.size())));
        if (!decoded)
            return 0;
        bytes = *decoded;
    } else {
        bytes = QByteArray(rest.data(), qsizetype(rest.size()));
    }
    if (bytes.size() > qc::memory_file::kHeaderSize) {
        const QByteArray records = bytes.mid(qc::memory_file::kHeaderSize);
        for (int i = 1; i < copies; ++i)
            bytes += records;
    }

    const qc::DecodedFile file = qc::DecodeMemoryFile(bytes, name, gauge, locale);

    FUZZ_CHECK(file.HeaderComplete == (bytes.size() >= qc::memory_file::kHeaderSize));
    FUZZ_CHECK(file.Rows.size() <= static_cast<std::size_t>(qc::kMaxRows));
    for (const qc::Reading& r : file.Rows) {
        FUZZ_CHECK(std::isfinite(r.Value));
        FUZZ_CHECK(std::fabs(r.Value) <= qc::kMaxReadingMagnitude);
        FUZZ_CHECK(!r.IsEmpty());
        FUZZ_CHECK(r.Number >= 0);
    }
    for (double v : file.Trace)
        FUZZ_CHECK(std::isfinite(v));
    const int recordSize = qc::RecordSize(qc::FileKindOf(name));
    if (file.HeaderComplete && recordSize > 0) {
        const qsizetype records = (bytes.size() - qc::memory_file::kHeaderSize) / recordSize;
        FUZZ_CHECK(file.Empty == (records == 0));
        FUZZ_CHECK(file.PartialBytes >= 0 && file.PartialBytes < recordSize);
        // Every record is a row, a trace sample, or counted as left out.
        FUZZ_CHECK(qsizetype(file.Rows.size() + file.Trace.size()) + file.InvalidSkipped + file.Refused +
                       file.BeyondTable ==
                   records);
    } else {
        FUZZ_CHECK(file.Rows.empty() && file.Trace.empty());
    }

    const QStringList lines = qc::TraceStatisticsLines(file.Header, name, gauge, choice & 1, locale);
    FUZZ_CHECK(lines.size() == 7);
    return 0;
}
