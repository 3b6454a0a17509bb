// Identification, listing and download end to end: the program's link on
// the simulated radio with simulated gauges described in a content folder,
// their memories written by the simulator's own writer and compared row by
// row with what lands in the table.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <malloc.h>

#include <cstdlib>
#include <memory>

#include "data/measurement_data.h"
#include "gauge/gauge_identification.h"
#include "gauge/gauge_link.h"
#include "gauge/memory_download.h"
#include "gauge/memory_listing.h"
#include "gauge/vornik_qt_host.h"
#include "gauge_records.h"
#include "instant_clock.h"
#include "quen_gaugesim.h"

namespace qc {
namespace {

namespace sim = quen::gaugesim;
using namespace std::chrono_literals;
using test::Gauge;
using test::InstantClock;
using test::kGV4;
using test::kPellax;
using test::kQV;

const char* const kFileGauge = "E8C04D000551";
const char* const kMilsGauge = "E8C04D000552";
const char* const kRecordGauge = "E8C04D000451";
const sim::GaugeTime kStart{2024, 12, 5, 10, 15, 30};

sim::FileHeader Header(const std::string& comment, std::size_t count)
{
    sim::FileHeader h;
    h.comment = comment;
    h.time = kStart;
    h.valueCount = static_cast<std::uint16_t>(count);
    for (int i = 0; i < 7; ++i)
        h.floats[i] = 1.5f * float(i + 1);
    return h;
}

// Readings of the made-up memories: whole and half micrometres below 100
// (shown with one decimal), so no rounding question arises.
float FileValue(int i) { return 20.0f + float(i % 160) * 0.5f; }

std::string FullFile(int count, bool withInvalid)
{
    std::string bytes = sim::FileHeaderBytes(Header("Full " + std::to_string(count), count));
    for (int i = 1; i <= count; ++i) {
        sim::FullRecord r;
        r.probeCode = static_cast<std::uint8_t>(withInvalid ? i % 16 : 0);
        r.invalid = withInvalid && i % 7 == 0;
        r.time = sim::AddSeconds(kStart, i);
        r.value = FileValue(i);
        r.number = static_cast<std::uint32_t>(i);
        bytes += sim::FullRecordBytes(r);
    }
    return bytes;
}

std::string FloatFile(const std::string& comment, int count)
{
    std::string bytes = sim::FileHeaderBytes(Header(comment, count));
    for (int i = 1; i <= count; ++i)
        bytes += sim::FloatBytes(FileValue(i));
    return bytes;
}

std::string RecordLine(int i, const char* material)
{
    sim::RecordReading r{i, double(FileValue(i)), 1, "ym", material, sim::AddSeconds(kStart, i)};
    return sim::RecordText(r);
}

class DownloadTest : public ::testing::Test {
protected:
    static void WriteFile(const QString& path, const std::string& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
    }

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        const QString folder = home.path() + "/gauges";
        QDir().mkpath(folder + "/files");
        QDir().mkpath(folder + "/mils");
        QDir().mkpath(folder + "/records");
        WriteFile(folder + "/files/gauge.txt", "model = QV\naddress = E8C04D000551\nname = QV-FE 551\n");
        WriteFile(folder + "/files/m5000", FullFile(5000, false));
        WriteFile(folder + "/files/m0000", sim::FileHeaderBytes(Header("Empty", 0)));
        WriteFile(folder + "/files/mcodes", FullFile(64, true));
        WriteFile(folder + "/files/s0064", std::string(64, '\x11'));
        WriteFile(folder + "/files/s0010", std::string(10, '\x22'));
        WriteFile(folder + "/files/s0070", std::string(70, '\x33'));
        WriteFile(folder + "/files/sshort", FloatFile("Short", 3));
        WriteFile(folder + "/files/t0004", FloatFile("Trace", 400));
        WriteFile(folder + "/files/se0001", "UNIT=ym\n");
        WriteFile(folder + "/mils/gauge.txt",
                  "model = QV\naddress = E8C04D000552\nname = QV-FE 552\n"
                  "quen00 = S:5102 R:3.02 M:E8C04D000552 T:1 V: B: H:4.0 U:mils N:QV500 A:1\n"
                  "gpi = T:F5 R:1.07 S:240117 U:mils N:F5 A:0\n");
        WriteFile(folder + "/mils/m0001", FullFile(20, false));
        WriteFile(folder + "/records/gauge.txt", "model = PEL\naddress = E8C04D000451\nname = PELLAX DUAL FE\n");
        std::string full, four;
        for (int i = 1; i <= 5000; ++i)
            full += RecordLine(i, i % 2 ? "FE" : "NFE") + "\n";
        for (int i = 1; i <= 4; ++i)
            four += RecordLine(i, "FE") + "\n";
        WriteFile(folder + "/records/1.txt", full);
        WriteFile(folder + "/records/2.txt", "");
        WriteFile(folder + "/records/3.txt", four);

        ::setenv("XDG_DATA_HOME", home.path().toUtf8().constData(), 1);
        ::setenv("VORNIK220_RADIO", "sim", 1);
        ::setenv("VORNIK_SIM_MODULE", QUEN_GAUGESIM_MODULE, 1);
        ::setenv(QUEN_GAUGESIM_DIR_VARIABLE, folder.toUtf8().constData(), 1);
        control = std::make_unique<VornikControl>();
        ASSERT_TRUE(control->isCreated()) << control->lastError().description.toStdString();
        host = std::make_unique<VornikQtHost>(*control);
        link = std::make_unique<GaugeLink>(*control, clock);
        link->SetLogSink([this](const QString& line) { log << line; });
    }

    void TearDown() override { ::unsetenv(QUEN_GAUGESIM_DIR_VARIABLE); }

    int Configure(const char* line)
    {
        void* module = ::dlopen(QUEN_GAUGESIM_MODULE, RTLD_NOW | RTLD_NOLOAD);
        if (module == nullptr)
            return -1;
        auto configure =
            reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(module, "quen_gaugesim_configure"));
        ::dlclose(module);
        return configure ? configure(address, line) : -1;
    }

    // Connect, identify, list: what the main window does after connecting.
    void Open(const char* gaugeAddress, const char* name)
    {
        address = gaugeAddress;
        const RequestResult connected = link->Connect(QLatin1String(gaugeAddress), QLatin1String(name));
        ASSERT_TRUE(connected.ok()) << connected.Message(1).toStdString();
        ASSERT_EQ(Configure("reply_delay = 0"), QUEN_GAUGESIM_OK);
        gauge = GaugeContext{};
        const IdentificationResult id = Identify(*link, gauge, QLatin1String(name));
        ASSERT_TRUE(id.request.ok()) << id.request.Message(1).toStdString();
        data.gauge = gauge;
        data.locale = QLocale::c();
        ASSERT_TRUE(link->Subscribe().ok());
    }

    MemoryListing List()
    {
        return gauge.profile.ProfileClass == u"5" ? SpeicherInfoDatei(*link, 1) : SpeicherInfoLesen(*link, 1);
    }

    DownloadResult Read(const QString& entry)
    {
        MemoryDownload download(*link, data, 1);
        download.SetLog([this](const QString& line) { log << line; });
        return gauge.profile.ProfileClass == u"5" ? download.Read_Datei(entry) : download.Read_Speicher(entry);
    }

    QString Entry(const MemoryListing& listing, const QString& name)
    {
        for (const QString& e : listing.Entries)
            if (e.trimmed() == name || e.contains(u' ' + name + u'('))
                return e;
        return {};
    }

    QTemporaryDir home;
    InstantClock clock;
    std::unique_ptr<VornikControl> control;
    std::unique_ptr<VornikQtHost> host;
    std::unique_ptr<GaugeLink> link;
    GaugeContext gauge;
    MeasurementData data;
    QStringList log;
    const char* address = "";
};

TEST_F(DownloadTest, ClassFiveIdentificationAndListing)
{
    Open(kFileGauge, "QV-FE 551");
    EXPECT_EQ(gauge.identity.ModelCode, "QV");
    EXPECT_EQ(gauge.profile.ProfileClass, "5");
    EXPECT_EQ(gauge.identity.ProbeType, "F5"); // "$gpi" was asked
    EXPECT_EQ(gauge.identity.GaugeUnit, "\u00B5m");
    const MemoryListing listing = List();
    ASSERT_TRUE(listing.request.ok());
    QStringList names;
    for (const QString& e : listing.Entries)
        names << e.trimmed();
    names.sort();
    EXPECT_EQ(names, (QStringList{"m0000", "m5000", "mcodes", "s0010", "s0064", "s0070", "sshort", "t0004"}));
    EXPECT_TRUE(link->State().IsSubscribed);
}

// The memory of 5000 readings lands row by row as the file holds it.
TEST_F(DownloadTest, ClassFiveFullMemoryRowByRow)
{
    Open(kFileGauge, "QV-FE 551");
    List();
    const DownloadResult r = Read("m5000               ");
    ASSERT_EQ(r.end, DownloadEnd::Complete) << r.messages.join(" | ").toStdString();
    EXPECT_TRUE(r.closed);
    EXPECT_TRUE(link->State().IsSubscribed);
    EXPECT_EQ(r.fileComment, "Full 5000");
    ASSERT_EQ(data.table.ReadingCount(kMemorySlot), 5000);
    for (int i = 1; i <= 5000; ++i) {
        const Reading& row = data.table.Row(kMemorySlot, i);
        ASSERT_EQ(row.Number, i);
        ASSERT_DOUBLE_EQ(row.Value, double(FileValue(i))) << i;
        ASSERT_EQ(row.Unit, "\u00B5m");
        ASSERT_EQ(row.Material, "FE");
        sim::GaugeTime t = sim::AddSeconds(kStart, i);
        ASSERT_EQ(row.DateTime, QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second))) << i;
    }
    EXPECT_EQ(data.statistics.StatCount, 5000); // the statistics were recomputed over the rows
    // 160 + 80000 bytes: 2505 blocks of 32 and none more.
    EXPECT_EQ(r.blocks.size(), 2505u);
}

// Request counts for files of 64, 10 and 70 bytes, the empty memory, the
// short series and every probe code with invalid records.
TEST_F(DownloadTest, ClassFiveBlocksAndSmallFiles)
{
    Open(kFileGauge, "QV-FE 551");
    List();
    struct Case {
        const char* name;
        std::vector<int> blocks;
        DownloadEnd end;
        int rows;
    };
    const Case cases[] = {
        {"s0064", {32, 32}, DownloadEnd::Empty, 0},
        {"s0010", {10}, DownloadEnd::Empty, 0},
        {"s0070", {32, 32, 6}, DownloadEnd::Empty, 0},
        {"m0000", {32, 32, 32, 32, 32}, DownloadEnd::Empty, 0},
        {"sshort", {32, 32, 32, 32, 32, 12}, DownloadEnd::Complete, 3},
        {"mcodes", std::vector<int>(37, 32), DownloadEnd::Complete, 64 - 9},
    };
    for (const Case& c : cases) {
        const DownloadResult r = Read(QLatin1String(c.name));
        EXPECT_EQ(r.blocks, c.blocks) << c.name;
        EXPECT_EQ(r.end, c.end) << c.name << " " << r.messages.join(" | ").toStdString();
        EXPECT_EQ(data.table.ReadingCount(kMemorySlot), c.rows) << c.name;
        EXPECT_TRUE(r.closed) << c.name; // the empty ones too
        if (c.end == DownloadEnd::Empty) {
            EXPECT_EQ(r.memoryText, "Memory empty") << c.name;
        }
    }
    // The probe codes as the table shows them: 10..15 keep the one before.
    const char* texts[] = {"FE", "NF", "DFE", "DNF", "DC", "AC", "PDC", "PAC", "ZP", "PZP"};
    int row = 1;
    QString previous;
    for (int i = 1; i <= 64; ++i) {
        const int code = i % 16;
        if (i % 7 == 0)
            continue; // not valid: skipped, its code too
        if (code < 10)
            previous = QLatin1String(texts[code]);
        const Reading& r = data.table.Row(kMemorySlot, row++);
        ASSERT_EQ(r.Number, i);
        ASSERT_EQ(r.Material, previous) << i;
    }
}

// A "$fr" size of 0 (here: a name the gauge does not have) is an empty
// file: nothing is read and nothing waits for a size.
TEST_F(DownloadTest, SizeZeroIsAnEmptyFile)
{
    Open(kFileGauge, "QV-FE 551");
    clock.elapsed = 0ms;
    const DownloadResult r = Read("m9999");
    EXPECT_EQ(r.end, DownloadEnd::Empty);
    EXPECT_TRUE(r.blocks.empty());
    EXPECT_EQ(r.memoryText, "Memory empty");
    EXPECT_EQ(clock.elapsed, 0ms);
    EXPECT_TRUE(link->State().IsSubscribed);
}

// File handles count up on the gauge; a handle of 55 equals the wait code
// of a request outstanding, and a block read must still wait for its reply.
TEST_F(DownloadTest, EveryHandleReadsItsOwnBlocks)
{
    Open(kFileGauge, "QV-FE 551");
    QSet<int> handles;
    for (int round = 0; round < 70; ++round) {
        const DownloadResult r = Read("sshort");
        handles.insert(link->State().FileHandle);
        ASSERT_EQ(r.end, DownloadEnd::Complete) << round;
        ASSERT_EQ(data.table.ReadingCount(kMemorySlot), 3) << round;
        for (int i = 1; i <= 3; ++i)
            ASSERT_DOUBLE_EQ(data.table.Row(kMemorySlot, i).Value, double(FileValue(i))) << round;
    }
    EXPECT_TRUE(handles.contains(55));
}

TEST_F(DownloadTest, TraceFileGoesToTheChart)
{
    Open(kFileGauge, "QV-FE 551");
    List();
    const DownloadResult r = Read("t0004");
    ASSERT_EQ(r.end, DownloadEnd::Complete);
    ASSERT_TRUE(r.trace.has_value());
    ASSERT_EQ(r.trace->Values.size(), 400u);
    for (int i = 1; i <= 400; ++i)
        ASSERT_DOUBLE_EQ(r.trace->Values[i - 1], double(FileValue(i)));
    EXPECT_DOUBLE_EQ(r.trace->PulseTime, 10.5);
    EXPECT_DOUBLE_EQ(r.trace->SampleIntervalUs, 10.5 * 1000 / 400);
    EXPECT_EQ(r.trace->Unit, "\u00B5m");
    ASSERT_EQ(r.statistics.size(), 7);
    EXPECT_TRUE(r.statistics[1].startsWith("Count"));
    EXPECT_EQ(data.table.ReadingCount(kMemorySlot), 0);
}

TEST_F(DownloadTest, GaugeUnitDiffersFromTheBaseUnit)
{
    Open(kMilsGauge, "QV-FE 552");
    EXPECT_EQ(gauge.identity.GaugeUnit, "mils");
    List();
    const DownloadResult r = Read("m0001");
    ASSERT_EQ(r.end, DownloadEnd::Complete);
    ASSERT_EQ(data.table.ReadingCount(kMemorySlot), 20);
    for (int i = 1; i <= 20; ++i) {
        const Reading& row = data.table.Row(kMemorySlot, i);
        EXPECT_EQ(row.Unit, "mils");
        EXPECT_NEAR(row.Value, FileValue(i) / 25.4, 0.0051) << i; // shown with two decimals at most
    }
}

TEST_F(DownloadTest, ClassFourMemories)
{
    Open(kRecordGauge, "PELLAX DUAL FE");
    EXPECT_EQ(gauge.profile.ProfileClass, "4");
    const MemoryListing listing = List();
    ASSERT_EQ(listing.Entries, (QStringList{"M    1(5000)", "M    2   (0)", "M    3   (4)"}));
    DownloadResult r = Read(listing.Entries[0]);
    ASSERT_EQ(r.end, DownloadEnd::Complete) << r.messages.join(" | ").toStdString();
    EXPECT_EQ(r.caption, "Memory 1 (5000)");
    EXPECT_TRUE(r.released);
    EXPECT_TRUE(link->State().IsSubscribed);
    ASSERT_EQ(data.table.ReadingCount(kMemorySlot), 5000);
    for (int i = 1; i <= 5000; ++i) {
        const Reading& row = data.table.Row(kMemorySlot, i);
        ASSERT_EQ(row.Number, i);
        ASSERT_DOUBLE_EQ(row.Value, double(FileValue(i)));
        ASSERT_EQ(row.Material, i % 2 ? "FE" : "NF");
        ASSERT_EQ(row.Unit, "\u00B5m");
    }
    r = Read(listing.Entries[1]);
    EXPECT_EQ(r.end, DownloadEnd::Empty);
    EXPECT_EQ(r.memoryText, "Memory empty");
    EXPECT_EQ(data.table.ReadingCount(kMemorySlot), 0);
    // Four records, then the empty value: two data reads (with directory,
    // selection and release five requests).
    r = Read(listing.Entries[2]);
    EXPECT_EQ(r.end, DownloadEnd::Complete);
    EXPECT_EQ(r.rows, 4);
    EXPECT_EQ(r.requests, 5);
    for (const char* bad : {"memory empty", "Speicher leer", "M1(2)", "M  abc  (3)"}) {
        r = Read(QLatin1String(bad));
        EXPECT_EQ(r.end, DownloadEnd::NotChosen) << bad;
        EXPECT_EQ(r.messages.size(), 1) << bad;
        EXPECT_TRUE(link->State().IsSubscribed) << bad;
    }
}

// A gauge that lists memories with more or fewer readings than it holds:
// never more rows than held, never more than listed.
TEST_F(DownloadTest, CountMismatch)
{
    Open(kRecordGauge, "PELLAX DUAL FE");
    for (const auto& [fault, rows] :
         {std::pair{"fault = count-mismatch 2", 4}, std::pair{"fault = count-mismatch -2", 2}}) {
        ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
        ASSERT_EQ(Configure(fault), QUEN_GAUGESIM_OK);
        const DownloadResult r = Read("M    3   (4)");
        EXPECT_EQ(r.rows, rows) << fault;
        EXPECT_EQ(data.table.ReadingCount(kMemorySlot), rows) << fault;
    }
}

// Every fault of the simulated gauge during listing and download ends in
// its deadline, the user is told, and the next read after the fault is
// cleared works.
TEST_F(DownloadTest, EveryFaultEndsAndTheNextReadWorks)
{
    struct Target {
        const char* address;
        const char* name;
        const char* entry;
        int rows;
    };
    const Target targets[] = {{kFileGauge, "QV-FE 551", "sshort", 3},
                              {kRecordGauge, "PELLAX DUAL FE", "M    3   (4)", 4}};
    const char* faults[] = {"fault = silent",          "fault = garbage",
                            "fault = non-numeric",     "fault = late 60000",
                            "fault = size-overstated", "fault = size-overstated 1000000",
                            "fault = close-fails",     "fault = close-fails 7",
                            "fault = att-error",       "fault = att-error 0x0A reads"};
    for (const Target& t : targets) {
        Open(t.address, t.name);
        for (const char* fault : faults) {
            ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
            ASSERT_EQ(Configure(fault), QUEN_GAUGESIM_OK);
            clock.elapsed = 0ms;
            const MemoryListing listing = List();
            const DownloadResult r = Read(QLatin1String(t.entry));
            EXPECT_LE(clock.elapsed, 600s) << fault;
            EXPECT_FALSE(link->RequestOutstanding());
            if (r.end != DownloadEnd::Complete) {
                EXPECT_FALSE(r.messages.isEmpty()) << t.name << " " << fault;
            }
            EXPECT_LE(data.table.ReadingCount(kMemorySlot), t.rows) << fault;
            if (std::string(fault).starts_with("fault = close-fails") && t.address == kFileGauge) {
                EXPECT_FALSE(r.closed) << fault;
                EXPECT_FALSE(r.messages.isEmpty()) << fault;
            }
            ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
            const DownloadResult again = Read(QLatin1String(t.entry));
            EXPECT_EQ(again.end, DownloadEnd::Complete)
                << t.name << " after " << fault << ": " << again.messages.join(" | ").toStdString();
            EXPECT_EQ(data.table.ReadingCount(kMemorySlot), t.rows) << fault;
            (void)listing;
        }
        link->Disconnect();
    }
}

// Each fault of the simulated gauge at every request of a download in turn
// (counted from when the fault is set): a class 5 file of 15 blocks and a
// class 4 memory. Each download ends within the deadlines of the requests
// it waits for, tells the user, keeps exactly the rows received before the
// fault (a beginning of the whole memory, never shrinking as the fault
// comes later), leaves no request outstanding, and after reconnecting the
// next read brings the whole memory.
TEST_F(DownloadTest, DownloadFaultSweep)
{
    struct Target {
        const char* address;
        const char* name;
        const char* entry;
    };
    const Target targets[] = {{kMilsGauge, "QV-FE 552", "m0001"}, {kRecordGauge, "PELLAX DUAL FE", "M    3   (4)"}};
    const char* faults[] = {"link-loss %1 0",      "silent", "garbage", "non-numeric", "late 60000", "att-error",
                            "att-error 0x0A reads"};
    const auto rows = [this] {
        std::vector<std::pair<int, double>> out;
        for (int i = 1; i <= data.table.ReadingCount(kMemorySlot); ++i)
            out.emplace_back(data.table.Row(kMemorySlot, i).Number, data.table.Row(kMemorySlot, i).Value);
        return out;
    };
    for (const Target& t : targets) {
        Open(t.address, t.name);
        List();
        const DownloadResult clean = Read(QLatin1String(t.entry));
        ASSERT_EQ(clean.end, DownloadEnd::Complete) << t.name;
        const auto whole = rows();
        ASSERT_FALSE(whole.empty());
        const LinkDeadlines& d = link->Deadlines();
        for (const char* fault : faults) {
            const bool linkLoss = std::string(fault).starts_with("link-loss");
            std::size_t before = 0;
            bool reachedTheEnd = false;
            int failedRuns = 0;
            for (int at = 1; at <= 120 && !reachedTheEnd; ++at) {
                const QString what = linkLoss ? QString::fromLatin1(fault).arg(at) : QString::fromLatin1(fault);
                SCOPED_TRACE(std::string(t.name) + ", " + what.toStdString() + " at request " + std::to_string(at));
                ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
                if (linkLoss) {
                    ASSERT_EQ(Configure(("fault = " + what).toUtf8().constData()), QUEN_GAUGESIM_OK);
                } else {
                    ASSERT_EQ(Configure(("fault = from " + std::to_string(at)).c_str()), QUEN_GAUGESIM_OK);
                    ASSERT_EQ(Configure((std::string("fault = ") + fault).c_str()), QUEN_GAUGESIM_OK);
                }
                clock.elapsed = 0ms;
                const DownloadResult r = Read(QLatin1String(t.entry));
                EXPECT_LE(clock.elapsed, 2 * (d.listing + d.command));
                EXPECT_FALSE(link->RequestOutstanding());
                const auto kept = rows();
                ASSERT_LE(kept.size(), whole.size());
                EXPECT_TRUE(std::equal(kept.begin(), kept.end(), whole.begin()));
                EXPECT_GE(kept.size(), before);
                before = kept.size();
                if (r.end == DownloadEnd::Complete) {
                    EXPECT_EQ(kept, whole);
                    // A fault past the last request: the sweep has covered them all.
                    reachedTheEnd = linkLoss ? link->IsConnected() : true;
                } else {
                    EXPECT_FALSE(r.messages.isEmpty());
                    ++failedRuns;
                }

                ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
                if (!link->IsConnected() || linkLoss) {
                    if (link->IsConnected())
                        link->Disconnect();
                    Open(t.address, t.name);
                }
                List();
                const DownloadResult again = Read(QLatin1String(t.entry));
                ASSERT_EQ(again.end, DownloadEnd::Complete) << again.messages.join(" | ").toStdString();
                ASSERT_EQ(rows(), whole);
            }
            EXPECT_TRUE(reachedTheEnd) << t.name << ", " << fault;
            // The class 4 memory service answers reads itself: only a lost
            // link or an ATT error can end its download.
            if (linkLoss || t.address == kMilsGauge || std::string(fault).starts_with("att-error")) {
                EXPECT_GT(failedRuns, 1) << t.name << ", " << fault;
            }
        }
        link->Disconnect();
    }
}

// The class 4 read loop when the gauge answers a data read with an ATT
// error (the directory read and the selection are requests 1 and 2): the
// download fails at once at that read with the radio's words, keeps the
// five rows each earlier read brought, and releases the selection when the
// gauge takes writes.
TEST_F(DownloadTest, ClassFourReadLoopUnderAnAttError)
{
    Open(kRecordGauge, "PELLAX DUAL FE");
    const QString refusal = QStringLiteral("Bluetooth error at \"Read memory data\". Protocol error returned during "
                                           "communication: [14] {14}. Unlikely error.");
    for (const char* fault : {"fault = att-error", "fault = att-error 14 reads"}) {
        for (int at = 3; at <= 6; ++at) {
            SCOPED_TRACE(std::string(fault) + " from " + std::to_string(at));
            ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
            ASSERT_EQ(Configure(("fault = from " + std::to_string(at)).c_str()), QUEN_GAUGESIM_OK);
            ASSERT_EQ(Configure(fault), QUEN_GAUGESIM_OK);
            clock.elapsed = 0ms;
            const DownloadResult r = Read("M    1(5000)");
            EXPECT_EQ(clock.elapsed, 0ms);
            EXPECT_EQ(r.end, DownloadEnd::Failed);
            EXPECT_EQ(r.request.step, "Read memory data");
            EXPECT_EQ(r.messages, QStringList{refusal});
            EXPECT_EQ(r.rows, 5 * (at - 3));
            EXPECT_EQ(data.table.ReadingCount(kMemorySlot), r.rows);
            EXPECT_EQ(r.released, std::string(fault).ends_with("reads"));
            EXPECT_FALSE(link->RequestOutstanding());
            ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
            EXPECT_EQ(Read("M    3   (4)").end, DownloadEnd::Complete);
            EXPECT_EQ(data.table.ReadingCount(kMemorySlot), 4);
        }
    }
}

// The memory list under each fault at each of its requests in turn: it ends
// within its deadlines with nothing outstanding, a list it calls complete is
// the whole list, a failed one says why, and the next list is whole again.
// (Names are not numbers: digits turned to letters are names the gauge
// reports, so that fault has no place here.)
TEST_F(DownloadTest, ListingFaultSweep)
{
    const std::pair<const char*, const char*> targets[] = {{kMilsGauge, "QV-FE 552"}, {kRecordGauge, "PELLAX DUAL FE"}};
    const char* faults[] = {"link-loss %1 0", "silent", "garbage", "late 60000", "att-error 0x0A reads"};
    for (const auto& [address, name] : targets) {
        Open(address, name);
        const MemoryListing clean = List();
        ASSERT_TRUE(clean.request.ok()) << name;
        ASSERT_FALSE(clean.Entries.isEmpty()) << name;
        const LinkDeadlines& d = link->Deadlines();
        for (const char* fault : faults) {
            const bool linkLoss = std::string(fault).starts_with("link-loss");
            bool reachedTheEnd = false;
            int failedRuns = 0;
            for (int at = 1; at <= 40 && !reachedTheEnd; ++at) {
                const QString what = linkLoss ? QString::fromLatin1(fault).arg(at) : QString::fromLatin1(fault);
                SCOPED_TRACE(std::string(name) + ", " + what.toStdString() + " at request " + std::to_string(at));
                ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
                if (linkLoss) {
                    ASSERT_EQ(Configure(("fault = " + what).toUtf8().constData()), QUEN_GAUGESIM_OK);
                } else {
                    ASSERT_EQ(Configure(("fault = from " + std::to_string(at)).c_str()), QUEN_GAUGESIM_OK);
                    ASSERT_EQ(Configure((std::string("fault = ") + fault).c_str()), QUEN_GAUGESIM_OK);
                }
                clock.elapsed = 0ms;
                const MemoryListing listing = List();
                EXPECT_LE(clock.elapsed, 2 * (d.listing + d.command));
                EXPECT_FALSE(link->RequestOutstanding());
                if (listing.request.ok()) {
                    EXPECT_EQ(listing.Entries, clean.Entries);
                    reachedTheEnd = linkLoss ? link->IsConnected() : true;
                } else {
                    EXPECT_FALSE(listing.request.Message(1).isEmpty());
                    ++failedRuns;
                }

                ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
                if (!link->IsConnected() || linkLoss) {
                    if (link->IsConnected())
                        link->Disconnect();
                    Open(address, name);
                }
                const MemoryListing again = List();
                ASSERT_TRUE(again.request.ok()) << again.request.Message(1).toStdString();
                ASSERT_EQ(again.Entries, clean.Entries);
            }
            EXPECT_TRUE(reachedTheEnd) << name << ", " << fault;
            // The class 4 directory comes from the memory service, which
            // answers reads itself: only a lost link or an ATT error can end it.
            if (linkLoss || address == kMilsGauge || std::string(fault).starts_with("att-error")) {
                EXPECT_GT(failedRuns, 0) << name << ", " << fault;
            }
        }
        link->Disconnect();
    }
}

// A full memory read again and again in one process: what the 5th read
// leaves allocated is what the 2nd left (within the allocator's slack).
// The sanitizer's allocator keeps freed blocks aside, so it is skipped there.
TEST_F(DownloadTest, RepeatedFullDownloadKeepsMemoryFlat)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "freed memory is held in quarantine under AddressSanitizer";
#endif
    Open(kFileGauge, "QV-FE 551");
    List();
    std::size_t afterSecond = 0;
    std::size_t afterFifth = 0;
    for (int run = 1; run <= 5; ++run) {
        const DownloadResult r = Read("m5000");
        ASSERT_EQ(r.end, DownloadEnd::Complete) << run;
        ASSERT_EQ(data.table.ReadingCount(kMemorySlot), 5000) << run;
        log.clear(); // the test's own record of log lines
        const std::size_t used = ::mallinfo2().uordblks;
        if (run == 2)
            afterSecond = used;
        afterFifth = used;
    }
    EXPECT_LE(afterFifth, afterSecond + 256 * 1024) << "grew from " << afterSecond << " to " << afterFifth;
}

// A size larger than any memory is refused at once, not read block by block.
TEST_F(DownloadTest, OversizedFileIsRefused)
{
    Open(kFileGauge, "QV-FE 551");
    ASSERT_EQ(Configure("fault = size-overstated 1000000"), QUEN_GAUGESIM_OK);
    const DownloadResult r = Read("sshort");
    EXPECT_EQ(r.end, DownloadEnd::Refused);
    EXPECT_TRUE(r.blocks.empty());
    ASSERT_FALSE(r.messages.isEmpty());
    EXPECT_TRUE(r.messages[0].contains("1000172"));
    EXPECT_TRUE(r.closed);
}

// The link drops in the middle of a download: rows received so far stay,
// the user is told, and after reconnecting the next read works.
TEST_F(DownloadTest, LinkLossKeepsTheRowsReceived)
{
    for (const auto& [addr, name, entry] :
         {std::tuple{kFileGauge, "QV-FE 551", "m5000"}, std::tuple{kRecordGauge, "PELLAX DUAL FE", "M    1(5000)"}}) {
        Open(addr, name);
        List();
        ASSERT_EQ(Configure("fault = link-loss 200 0"), QUEN_GAUGESIM_OK);
        const DownloadResult r = Read(QLatin1String(entry));
        EXPECT_EQ(r.end, DownloadEnd::Failed) << name;
        EXPECT_FALSE(r.messages.isEmpty());
        EXPECT_GT(data.table.ReadingCount(kMemorySlot), 0) << name;
        EXPECT_LT(data.table.ReadingCount(kMemorySlot), 5000) << name;
        EXPECT_TRUE(clock.PumpEventsUntil([&] { return !link->IsConnected(); }, 5s));
        Open(addr, name);
        List();
        const DownloadResult again = Read(QLatin1String(entry));
        EXPECT_EQ(again.end, DownloadEnd::Complete) << name;
        EXPECT_EQ(data.table.ReadingCount(kMemorySlot), 5000) << name;
    }
}

// Stop from the progress callback (the window's Stop button is pressed
// while the events run): the rows so far stay, the file is closed or the
// selection released, live readings are subscribed again.
TEST_F(DownloadTest, StopEndsTheDownloadCleanly)
{
    for (const auto& [addr, name, entry] :
         {std::tuple{kFileGauge, "QV-FE 551", "m5000"}, std::tuple{kRecordGauge, "PELLAX DUAL FE", "M    1(5000)"}}) {
        Open(addr, name);
        List();
        MemoryDownload download(*link, data, 0);
        int reports = 0;
        download.SetProgress([&](int received, int expected) {
            EXPECT_EQ(expected, 5000);
            EXPECT_LE(received, expected);
            if (++reports == 30)
                QTimer::singleShot(0, [&] { download.Stop(); });
        });
        const DownloadResult r = std::string(name).starts_with("QV") ? download.Read_Datei(QLatin1String(entry))
                                                                     : download.Read_Speicher(QLatin1String(entry));
        EXPECT_EQ(r.end, DownloadEnd::Stopped) << name;
        EXPECT_TRUE(r.messages.isEmpty()) << r.messages.join(" | ").toStdString();
        EXPECT_GT(data.table.ReadingCount(kMemorySlot), 0) << name;
        EXPECT_LT(data.table.ReadingCount(kMemorySlot), 5000) << name;
        EXPECT_TRUE(r.closed && r.released) << name;
        EXPECT_TRUE(link->State().IsSubscribed) << name;
        EXPECT_FALSE(download.Running());
        const DownloadResult again = Read(QLatin1String(entry));
        EXPECT_EQ(again.end, DownloadEnd::Complete) << name;
        link->Disconnect();
    }
}

// Only names of the listing's form go out in "$fr": nothing with "!", "?",
// blanks or other characters a command cannot hold.
TEST_F(DownloadTest, HostileFileNamesAreNotSent)
{
    Open(kFileGauge, "QV-FE 551");
    for (const char* name : {"m1!$fc?1", "m 1", "x0001", "m\u00E4", "se0001", "../m1"}) {
        const DownloadResult r = Read(QString::fromUtf8(name));
        EXPECT_EQ(r.end, DownloadEnd::NotChosen) << name;
        EXPECT_EQ(r.requests, 0) << name;
    }
}

TEST_F(DownloadTest, LiveDualProbeReadingsGiveTwoRows)
{
    Open(kRecordGauge, "PELLAX DUAL FE");
    QStringList values;
    link->SetHandoverSink([&](const LinkHandover& h) {
        if (h.kind == LinkHandover::Kind::LiveReading)
            values << h.Text;
    });
    void* module = ::dlopen(QUEN_GAUGESIM_MODULE, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(module, nullptr);
    auto take = reinterpret_cast<int (*)(const char*)>(::dlsym(module, "quen_gaugesim_take_reading"));
    ::dlclose(module);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(take(kRecordGauge), QUEN_GAUGESIM_OK);
    ASSERT_TRUE(EventLoopClock().PumpEventsUntil([&] { return values.size() == 3; }, 5s));
    data.state.OnlineCounter = 1;
    for (const QString& v : values) {
        const LiveResult r = TakeLiveReading(v, data, clock.CurrentDateTime(), 1);
        EXPECT_EQ(r.rowsAdded, 2);
        EXPECT_TRUE(r.memoryText.endsWith(" \u00B5m")) << r.memoryText.toStdString();
    }
    EXPECT_EQ(data.state.TableMode, kOnlineSlot);
    ASSERT_EQ(data.table.ReadingCount(kOnlineSlot), 6);
    EXPECT_EQ(data.table.Row(kOnlineSlot, 1).Material, "DFE");
    EXPECT_EQ(data.table.Row(kOnlineSlot, 2).Material, "DNF");
}

} // namespace
} // namespace qc
