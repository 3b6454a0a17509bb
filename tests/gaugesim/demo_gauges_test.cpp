#include "demo_gauges.h"

#include <gtest/gtest.h>

#include <set>

#include "gauge_records.h"

namespace quen::gaugesim {
namespace {

// The connection window's list filter and the program's model table, as
// the program applies them to the advertised name.
bool PassesListFilter(const std::string& name)
{
    if (!name.empty() && name.front() == '.')
        return true;
    for (const char* part : {"UNK", "VORTAN", "Bodun", "Fe", "FE", "GV", "PE"})
        if (name.find(part) != std::string::npos)
            return true;
    return false;
}

// DeviceName is the 14 characters from position 25 of the list entry.
std::string DeviceName(const std::string& address, const std::string& name)
{
    const std::string entry = "MAC: " + address + " Name: " + name + "       RSSI: -60";
    return entry.substr(24, 14);
}

struct Detected {
    std::string code;
    std::string brand;
};

Detected DetectModel(const std::string& deviceName, const std::string& serial)
{
    struct Row {
        const char* part;
        const char* code;
        const char* brand;
    };
    const Row rows[] = {{"QV", "QV", ""},    {"VORTAN", "QV", ""},   {"GV-4", "GV4", ""},  {"GV-8", "GV8", ""},
                        {"DORIVAN", "GV8", "OEM1"}, {"Zinto", "ZP", ""}, {"ZIN", "ZC", ""}, {"PEL", "PLB", ""},
                        {"BODUN", "PLB", "OEM2"}, {"Thickness", "PLB", "X"}};
    Detected detected;
    for (const Row& row : rows)
        if (deviceName.find(row.part) != std::string::npos)
            detected = {row.code, row.brand};
    const int number = std::atoi(serial.c_str());
    if (number >= 7000 && number <= 7999)
        detected.brand = "OEM2";
    return detected;
}

std::string Key(const std::string& fields, char key)
{
    const std::size_t at = fields.find(std::string(1, key) + ":");
    return fields.substr(at + 2, fields.find(' ', at) - at - 2);
}

TEST(DemoGauges, OneGaugePerModelRowFoundAndDetectedByName)
{
    struct Expected {
        const char* model;
        const char* code;
        const char* brand;
        GaugeClass gaugeClass;
    };
    const Expected expected[] = {
        {"QV", "QV", "", GaugeClass::MemoryFiles},
        {"VORTAN", "QV", "", GaugeClass::MemoryFiles},
        {"GV-4", "GV4", "", GaugeClass::MemoryFiles},
        {"GV-8", "GV8", "", GaugeClass::MemoryService},
        {"DORIVAN", "GV8", "OEM1", GaugeClass::MemoryService},
        {"Zinto", "ZP", "", GaugeClass::MemoryFiles},
        {"ZIN", "ZC", "", GaugeClass::MemoryService},
        {"PEL", "PLB", "", GaugeClass::MemoryService},
        {"BODUN", "PLB", "OEM2", GaugeClass::MemoryService},
        {"Thickness", "PLB", "X", GaugeClass::MemoryService},
    };
    const std::vector<GaugeSetup> gauges = BuiltInGauges();
    ASSERT_EQ(gauges.size(), std::size(expected));
    std::set<std::uint64_t> addresses;
    int alternative = 0;
    for (std::size_t i = 0; i < gauges.size(); ++i) {
        const GaugeSetup& gauge = gauges[i];
        SCOPED_TRACE(gauge.name);
        EXPECT_EQ(gauge.model, expected[i].model);
        EXPECT_TRUE(PassesListFilter(gauge.name));
        EXPECT_LE(gauge.name.size(), 14u);
        const std::string address = AddressText(gauge.address);
        EXPECT_EQ(address.size(), 12u);
        addresses.insert(gauge.address);
        const Detected detected = DetectModel(DeviceName(address, gauge.name), Key(gauge.quen00, 'S'));
        EXPECT_EQ(detected.code, expected[i].code);
        EXPECT_EQ(detected.brand, expected[i].brand);
        EXPECT_EQ(gauge.gaugeClass, expected[i].gaugeClass);
        EXPECT_EQ(Key(gauge.quen00, 'M'), address);
        EXPECT_EQ(gauge.gpi.empty(), gauge.gaugeClass == GaugeClass::MemoryService);
        alternative += gauge.service == MainService::Alternative;
        // A dual-probe gauge says so with probe type 3.
        EXPECT_EQ(Key(gauge.quen00, 'T') == "3", gauge.reading.dualProbe);
    }
    EXPECT_EQ(addresses.size(), gauges.size());
    EXPECT_GE(alternative, 1);
}

TEST(DemoGauges, ClassFourMemories)
{
    for (const GaugeSetup& gauge : BuiltInGauges()) {
        if (gauge.gaugeClass != GaugeClass::MemoryService)
            continue;
        SCOPED_TRACE(gauge.model);
        ASSERT_EQ(gauge.memories.size(), 4u);
        EXPECT_EQ(gauge.memories[0].records.size(), static_cast<std::size_t>(kDemoReadings));
        EXPECT_TRUE(gauge.memories[1].records.empty());
        EXPECT_EQ(gauge.memories[2].records.size(), static_cast<std::size_t>(kFullMemoryReadings));
        EXPECT_EQ(gauge.memories[3].records.size(), static_cast<std::size_t>(kShortMemoryReadings));
        for (const RecordMemory& memory : gauge.memories) {
            for (std::size_t i = 0; i < memory.records.size(); ++i) {
                const std::string& record = memory.records[i];
                ASSERT_EQ(record.size(), kRecordLength);
                ASSERT_EQ(std::stoi(record.substr(0, 4)), static_cast<int>((i + 1) % 10000));
                const double value = std::stod(record.substr(6, 10));
                ASSERT_GE(value, gauge.reading.low);
                ASSERT_LE(value, gauge.reading.high);
                ASSERT_EQ(record.substr(17, 4), (gauge.reading.unit + "    ").substr(0, 4));
                GaugeTime time;
                std::string clock = record.substr(26, 19);
                clock[10] = '/';
                ASSERT_TRUE(ParseClockText(clock, time)) << record;
            }
        }
    }
}

std::uint16_t Word(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

TEST(DemoGauges, ClassFiveFilesInTheDownloadLayout)
{
    for (const GaugeSetup& gauge : BuiltInGauges()) {
        if (gauge.gaugeClass != GaugeClass::MemoryFiles)
            continue;
        SCOPED_TRACE(gauge.model);
        std::map<std::string, std::string> files;
        for (const MemoryFile& file : gauge.files)
            files[file.name] = file.bytes;
        ASSERT_EQ(files.size(), 7u);
        const std::pair<const char*, std::size_t> sizes[] = {
            {"m0001", 160 + 300 * 16}, {"m0002", 160 + 32 * 16},  {"s0003", 160 + 200 * 4},
            {"t0004", 160 + 400 * 4},  {"m0005", 160},            {"m0006", 160 + 5000 * 16},
        };
        for (const auto& [name, size] : sizes) {
            ASSERT_EQ(files[name].size(), size) << name;
            const std::size_t recordSize = name[0] == 'm' ? 16 : 4;
            EXPECT_EQ(Word(files[name], 128), (size - 160) / recordSize) << name;
        }
        // Every probe code, and invalid records to skip.
        std::set<int> codes;
        int invalid = 0;
        const std::string& sweep = files["m0002"];
        for (std::size_t at = 160; at < sweep.size(); at += 16) {
            const auto flags = static_cast<unsigned char>(sweep[at + 1]);
            codes.insert(flags & 0x0F);
            invalid += (flags & 0x80) != 0;
        }
        EXPECT_EQ(codes.size(), 16u);
        EXPECT_EQ(invalid, 8);
        // The 5000-reading file numbers its readings 1 ... 5000.
        const std::string& full = files["m0006"];
        EXPECT_EQ(HexText(full.substr(160 + 12, 4)), "01000000");
        EXPECT_EQ(HexText(full.substr(full.size() - 4)), "88130000");
    }
}

TEST(DemoGauges, SameContentOnEveryRun)
{
    const std::vector<GaugeSetup> first = BuiltInGauges();
    const std::vector<GaugeSetup> second = BuiltInGauges();
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        ASSERT_EQ(first[i].files.size(), second[i].files.size());
        for (std::size_t f = 0; f < first[i].files.size(); ++f)
            EXPECT_EQ(first[i].files[f].bytes, second[i].files[f].bytes);
        ASSERT_EQ(first[i].memories.size(), second[i].memories.size());
        for (std::size_t m = 0; m < first[i].memories.size(); ++m)
            EXPECT_EQ(first[i].memories[m].records, second[i].memories[m].records);
    }
}

}  // namespace
}  // namespace quen::gaugesim
