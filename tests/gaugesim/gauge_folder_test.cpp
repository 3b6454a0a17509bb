// Gauges replayed from a content folder are served byte for byte.
#include "gauge_session.h"

#include "gauge_records.h"
#include "temp_dir.h"

#include <fstream>

namespace quen::gaugesim::test {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A class 5 file made by hand: header, two "m" records (one invalid).
std::string HandMadeFile()
{
    std::string bytes(160, '\0');
    bytes[4] = 7;
    bytes[6] = '4';
    bytes[7] = '2';
    bytes.replace(8, 12, "Bridge pier ");
    const char when[] = {0x1E, 0x0F, 0x0A, 0x05, 0x0C, 0x18};  // 2024-12-05 10:15:30
    bytes.replace(122, 6, when, 6);
    bytes[128] = 2;
    bytes += std::string("\x00\x03\x1E\x0F\x0A\x05\x0C\x18\x00\x00\x48\x42\x01\x00\x00\x00", 16);  // 50.0, DNF
    bytes += std::string("\x00\x80\x1F\x0F\x0A\x05\x0C\x18\x00\x00\xC8\x42\x02\x00\x00\x00", 16);  // invalid
    bytes += std::string("\xFF\xFE\x00\x01", 4);  // trailing bytes are served as they are
    return bytes;
}

class GaugeFolder : public ::testing::Test {
protected:
    vornik::test::TempDir dir;
};

TEST_F(GaugeFolder, LoadedGaugesAreServedByteExact)
{
    const std::string file = HandMadeFile();
    WriteFile(dir.path() / "a-qv" / "gauge.txt",
              "# a customer's gauge\r\n"
              "model = QV\r\n"
              "name = QV-FE customer\r\n"
              "address = 0a0b0c0d0e0f\r\n"
              "quen00 = S:5999 R:9.99 M:0A0B0C0D0E0F T:1 V: B: H:1 U:ym N:X A:0\r\n"
              "battery = 3.91\r\n"
              "reply_delay = 0\r\n");
    WriteFile(dir.path() / "a-qv" / "m0042", file);
    WriteFile(dir.path() / "a-qv" / "s0001", std::string("\x00\x00\x80\x3F", 4));
    const std::vector<std::string> records = {
        "   1       12.3 ym   FE  2024-12-05 10:15:30",
        "   2       12.9 ym   FE  2024-12-05 10:15:41",
        "   3      101.0 ym   NFE 2024-12-05 10:16:02",
    };
    WriteFile(dir.path() / "b-pel" / "gauge.txt", "model = PEL\nreply_delay = 0\nfault = count-mismatch 1\n");
    WriteFile(dir.path() / "b-pel" / "7.txt", records[0] + "\r\n" + records[1] + "\r\n\r\n" + records[2] + "\r\n");
    WriteFile(dir.path() / "b-pel" / "12.txt", "");

    GaugeSession session(dir.path().string());
    ASSERT_TRUE(session.Created()) << session.CreateError();
    ASSERT_TRUE(session.Connect("0A0B0C0D0E0F"));
    Result name;
    ASSERT_EQ(session.control().call(VORNIK_DISPID_ServerName, {}, &name.v), VORNIK_S_OK);
    EXPECT_EQ(name.text(), "QV-FE customer");
    EXPECT_EQ(session.Command("$quen00!"), "$quen00?S:5999 R:9.99 M:0A0B0C0D0E0F T:1 V: B: H:1 U:ym N:X A:0!");
    EXPECT_EQ(session.Command("$gcv!"), "$gcv?3.91!");
    EXPECT_EQ(session.Command("$ls!"), "$ls?0002 files m0042 s0001!");
    ASSERT_EQ(session.Command("$fr?m0042!"), "$fr?1 196!");
    std::string hex;
    for (int remaining = 196; remaining > 0; remaining -= 32) {
        const int count = std::min(remaining, 32);
        const std::string reply = session.Command("$rd?1 " + std::to_string(count) + "!");
        const std::size_t digits = 2 * static_cast<std::size_t>(count);
        hex += reply.substr(reply.size() - 1 - digits, digits);
    }
    EXPECT_EQ(hex, HexText(file));

    ASSERT_TRUE(session.Connect("E8C04D000404"));  // PEL's own address
    EXPECT_EQ(session.Read(gatt::kDirectory), "2\n7,4\n12,1");
    ASSERT_EQ(session.Write(gatt::kDirectory, "7"), "");
    EXPECT_EQ(session.Read(gatt::kData), records[0] + "\n" + records[1] + "\n" + records[2]);
    EXPECT_EQ(session.Read(gatt::kData), "");
}

TEST_F(GaugeFolder, SingleGaugeFolderWithItsFaultMode)
{
    WriteFile(dir.path() / "gauge.txt", "model = GV-4\nfault = silent\nreply_delay = 0\n");
    GaugeSession session(dir.path().string());
    ASSERT_TRUE(session.Created()) << session.CreateError();
    ASSERT_TRUE(session.Connect("E8C04D000503"));
    EXPECT_EQ(session.Command("$ls!", 3), "$ls!");
}

TEST_F(GaugeFolder, BadFolderStopsTheRadioWithTheReason)
{
    WriteFile(dir.path() / "g" / "gauge.txt", "model = PEL\n");
    WriteFile(dir.path() / "g" / "memory one.txt", "x\n");
    testing::internal::CaptureStderr();
    GaugeSession session(dir.path().string());
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(session.Created());
    EXPECT_NE(session.CreateError().find("vornik_sim_populate"), std::string::npos) << session.CreateError();
    EXPECT_NE(printed.find("memory one.txt: a class 4 memory is named <number>.txt"), std::string::npos) << printed;
}

}  // namespace
}  // namespace quen::gaugesim::test
