#include "demo_gauges.h"

#include <algorithm>
#include <cmath>

#include "gauge_records.h"

namespace quen::gaugesim {

namespace {

struct Model {
    const char* key;
    const char* name;  // passes the connection window's list filter
    std::uint64_t address;
    GaugeClass gaugeClass;
    MainService service;
    const char* quen00;
    const char* gpi;
    const char* battery;
    ReadingStyle reading;
};

constexpr auto k4 = GaugeClass::MemoryService;
constexpr auto k5 = GaugeClass::MemoryFiles;
constexpr auto kMain = MainService::Main;
constexpr auto kAlt = MainService::Alternative;

// Readings: unit, material, range, decimals, dual probe, "m" probe code.
const Model kModels[] = {
    {"QV", "QV-FE 500", 0xE8C04D000501ULL, k5, kMain,
     "S:5101 R:3.02 M:E8C04D000501 T:1 V: B: H:4.0 U:ym N:QV500 A:1", "T:F5 R:1.07 S:240117 U:ym N:F5 A:0",
     "4.02", {"ym", "FE", 40.0, 480.0, 1, false, 0}},
    {"VORTAN", "VORTAN 300", 0xE8C04D000502ULL, k5, kMain,
     "S:5230 R:3.10 M:E8C04D000502 T:1 V: B: H:4.1 U:metric N:VT300 A:1", "T:N2 R:1.12 S:240488 U:metric N:N2 A:0",
     "3.87", {"ym", "NFE", 15.0, 260.0, 1, false, 1}},
    {"GV-4", "GV-4 200", 0xE8C04D000503ULL, k5, kAlt,
     "S:4420 R:2.51 M:E8C04D000503 T:2 V: B: H:2.2 U:A/cm N:GV4 A:0", "T:H3 R:1.02 S:230911 U:A/cm N:H3 A:0",
     "3.62", {"A/cm", "FE", 0.5, 12.0, 2, false, 0}},
    {"GV-8", "GV-8 FE", 0xE8C04D000401ULL, k4, kMain,
     "S:8012 R:1.40 M:E8C04D000401 T:2 V: B: H:1.3 U:A/cm N:GV8 A:0", "",
     "1.31", {"A/cm", "FE", 0.5, 12.0, 2, false, 0}},
    {"DORIVAN", "DORIVAN FE", 0xE8C04D000402ULL, k4, kMain,
     "S:8105 R:1.42 M:E8C04D000402 T:2 V: B: H:1.3 U:A/cm N:DV8 A:0", "",
     "1.12", {"A/cm", "FE", 0.5, 12.0, 2, false, 0}},
    {"Zinto", "Zinto FE", 0xE8C04D000504ULL, k5, kMain,
     "S:6120 R:2.05 M:E8C04D000504 T:1 V: B: H:2.0 U:ur N:ZP A:0", "T:P1 R:1.00 S:220301 U:ur N:P1 A:0",
     "3.41", {"ur", "ZP", 1.001, 1.999, 3, false, 8}},
    {"ZIN", "ZIN FE", 0xE8C04D000403ULL, k4, kMain,
     "S:6230 R:1.21 M:E8C04D000403 T:1 V: B: H:1.1 U:FN N:ZC A:0", "",
     "1.05", {"FN", "FE", 0.1, 30.0, 1, false, 0}},
    {"PEL", "PELLAX DUAL FE", 0xE8C04D000404ULL, k4, kMain,
     "S:4711 R:2.14 M:E8C04D000404 T:3 V:1 B:0.98 H:3.1 U:ym N:PELLAX A:0", "",
     "1.45", {"ym", "FE", 20.0, 250.0, 1, true, 2}},
    {"BODUN", "BODUN FE", 0xE8C04D000405ULL, k4, kMain,
     "S:7012 R:2.14 M:E8C04D000405 T:1 V: B: H:3.1 U:ym N:BODUN A:0", "",
     "1.38", {"ym", "FE", 20.0, 250.0, 1, false, 0}},
    {"Thickness", "Thickness FE", 0xE8C04D000406ULL, k4, kMain,
     "S:3302 R:1.07 M:E8C04D000406 T:1 V: B: H:1.0 U:ym N:TG A:0", "",
     "1.49", {"ym", "NFE", 10.0, 180.0, 1, false, 1}},
};

// Made-up readings: the same on every run for the same seed.
class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed) : state_(seed | 1) {}
    double Unit()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ % 1000001) / 1000000.0;
    }
    // Readings cluster around the middle of the range, as on one part.
    double Reading(const ReadingStyle& style)
    {
        const double spread = (Unit() + Unit() + Unit()) / 3.0;
        const double value = style.low + spread * (style.high - style.low);
        const double scale = std::pow(10.0, style.decimals);
        return std::round(value * scale) / scale;
    }

private:
    std::uint64_t state_;
};

const GaugeTime kDemoStart{2024, 11, 4, 8, 0, 0};

std::vector<std::string> Records(const GaugeSetup& gauge, int count, std::uint64_t seed, const GaugeTime& start)
{
    DemoRandom random(gauge.address ^ seed);
    std::vector<std::string> records;
    records.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        RecordReading reading{i, random.Reading(gauge.reading), gauge.reading.decimals, gauge.reading.unit,
                              gauge.reading.material, AddSeconds(start, 17LL * i)};
        if (gauge.reading.dualProbe)
            reading.material = i % 2 ? "DFE" : "DNF";
        records.push_back(RecordText(reading));
    }
    return records;
}

FileHeader Header(const std::string& comment, std::uint8_t number, const GaugeTime& time, std::size_t count)
{
    FileHeader header;
    header.firstNumber = number;
    header.comment = comment;
    header.time = time;
    header.valueCount = static_cast<std::uint16_t>(count);
    header.secondCount = static_cast<std::uint16_t>(count);
    return header;
}

// F1 minimum, F2 maximum, F3 range, F4 mean, F5 standard deviation.
void Statistics(FileHeader& header, const std::vector<float>& values)
{
    if (values.empty())
        return;
    double sum = 0.0;
    for (float v : values)
        sum += v;
    const double mean = sum / static_cast<double>(values.size());
    double squares = 0.0;
    for (float v : values)
        squares += (v - mean) * (v - mean);
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    header.floats[0] = *low;
    header.floats[1] = *high;
    header.floats[2] = *high - *low;
    header.floats[3] = static_cast<float>(mean);
    header.floats[4] = values.size() > 1 ? static_cast<float>(std::sqrt(squares / (values.size() - 1))) : 0.0f;
}

// An "m" file of `count` readings; every 97th record is flagged invalid.
MemoryFile FullFile(const GaugeSetup& gauge, const std::string& name, std::uint8_t number, int count,
                    std::uint64_t seed)
{
    DemoRandom random(gauge.address ^ seed);
    const GaugeTime start = AddSeconds(kDemoStart, 86400LL * number);
    std::string records;
    std::vector<float> values;
    for (int i = 1; i <= count; ++i) {
        FullRecord record;
        record.invalid = i % 97 == 0;
        record.probeCode = gauge.reading.probeCode;
        record.time = AddSeconds(start, 13LL * i);
        record.value = static_cast<float>(random.Reading(gauge.reading));
        record.number = static_cast<std::uint32_t>(i);
        if (!record.invalid)
            values.push_back(record.value);
        records += FullRecordBytes(record);
    }
    FileHeader header = Header("Demo " + gauge.name + " " + name, number, start, static_cast<std::size_t>(count));
    Statistics(header, values);
    return {name, FileHeaderBytes(header) + records};
}

// Every probe code 0 ... 15 twice, the second round flagged invalid where
// the code is odd: the decoder's probe texts and skipping in one file.
MemoryFile ProbeSweepFile(const GaugeSetup& gauge, const std::string& name, std::uint8_t number)
{
    DemoRandom random(gauge.address ^ 0x5EE9);
    const GaugeTime start = AddSeconds(kDemoStart, 86400LL * number);
    std::string records;
    for (int i = 0; i < 32; ++i) {
        FullRecord record;
        record.probeCode = static_cast<std::uint8_t>(i % 16);
        record.invalid = i >= 16 && (i % 2) == 1;
        record.time = AddSeconds(start, 60LL * i);
        record.value = static_cast<float>(random.Reading(gauge.reading));
        record.number = static_cast<std::uint32_t>(i + 1);
        records += FullRecordBytes(record);
    }
    return {name, FileHeaderBytes(Header("Probe codes", number, start, 32)) + records};
}

MemoryFile SimpleFile(const GaugeSetup& gauge, const std::string& name, std::uint8_t number, int count)
{
    DemoRandom random(gauge.address ^ 0x51);
    std::string records;
    std::vector<float> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(static_cast<float>(random.Reading(gauge.reading)));
        records += FloatBytes(values.back());
    }
    const GaugeTime start = AddSeconds(kDemoStart, 86400LL * number);
    FileHeader header = Header("Series " + name, number, start, static_cast<std::size_t>(count));
    Statistics(header, values);
    return {name, FileHeaderBytes(header) + records};
}

// A trace: a pulse rising and decaying, with its statistics and pulse time.
MemoryFile TraceFile(const GaugeSetup& gauge, const std::string& name, std::uint8_t number, int count)
{
    std::string records;
    std::vector<float> values;
    const double top = gauge.reading.high;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / count;
        values.push_back(static_cast<float>(top * t * std::exp(1.0 - 8.0 * t) * 8.0));  // peak `top` at t = 1/8
        records += FloatBytes(values.back());
    }
    const GaugeTime start = AddSeconds(kDemoStart, 86400LL * number);
    FileHeader header = Header("Trace " + name, number, start, static_cast<std::size_t>(count));
    Statistics(header, values);
    header.floats[6] = 12.5f;  // pulse time, ms
    return {name, FileHeaderBytes(header) + records};
}

}  // namespace

std::vector<std::string> ModelKeys()
{
    std::vector<std::string> keys;
    for (const Model& model : kModels)
        keys.emplace_back(model.key);
    return keys;
}

bool ModelDefaults(const std::string& key, GaugeSetup& setup)
{
    for (const Model& model : kModels) {
        if (key != model.key)
            continue;
        setup = GaugeSetup{};
        setup.model = model.key;
        setup.name = model.name;
        setup.address = model.address;
        setup.gaugeClass = model.gaugeClass;
        setup.service = model.service;
        setup.quen00 = model.quen00;
        setup.gpi = model.gpi;
        setup.battery = model.battery;
        setup.reading = model.reading;
        return true;
    }
    return false;
}

std::vector<RecordMemory> DemoRecordMemories(const GaugeSetup& gauge)
{
    return {
        {"1", Records(gauge, kDemoReadings, 1, kDemoStart)},
        {"2", {}},
        {"3", Records(gauge, kFullMemoryReadings, 3, AddSeconds(kDemoStart, 86400))},
        {"4", Records(gauge, kShortMemoryReadings, 4, AddSeconds(kDemoStart, 2 * 86400))},
    };
}

std::vector<MemoryFile> DemoMemoryFiles(const GaugeSetup& gauge)
{
    std::vector<MemoryFile> files{
        FullFile(gauge, "m0001", 1, 300, 1),
        ProbeSweepFile(gauge, "m0002", 2),
        SimpleFile(gauge, "s0003", 3, 200),
        TraceFile(gauge, "t0004", 4, 400),
        {"m0005", FileHeaderBytes(Header("Empty", 5, kDemoStart, 0))},
        FullFile(gauge, "m0006", 6, kFullMemoryReadings, 6),
    };
    // The gauge's own settings file: listed, never shown by the program.
    files.push_back({"se0001", std::string("UNIT=") + gauge.reading.unit + "\nLANG=DE\n"});
    return files;
}

std::vector<GaugeSetup> BuiltInGauges()
{
    std::vector<GaugeSetup> gauges;
    for (const Model& model : kModels) {
        GaugeSetup gauge;
        ModelDefaults(model.key, gauge);
        if (gauge.gaugeClass == GaugeClass::MemoryService)
            gauge.memories = DemoRecordMemories(gauge);
        else
            gauge.files = DemoMemoryFiles(gauge);
        gauges.push_back(std::move(gauge));
    }
    return gauges;
}

}  // namespace quen::gaugesim
