// The gauge reply decoder as tables of (value, source, state before) ->
// (state after, hand-overs).
#include <QLocale>

#include <gtest/gtest.h>

#include <functional>

#include "gauge/link_state.h"
#include "gauge/reply_decoder.h"

namespace qc {
namespace {

enum class Source { Command, MemDir, MemData, Live, Trace, Unknown };

using Edit = std::function<void(LinkState&)>;
using Kind = LinkHandover::Kind;

LinkState Discovered()
{
    LinkState st;
    st.Ids.SvcMainId = "000100000000";
    st.Ids.ChrCommandId = "000100020000";
    st.Ids.ChrTraceId = "000100040000";
    st.Ids.SvcMemoryId = "000600000000";
    st.Ids.ChrMemDirId = "000600020000";
    st.Ids.ChrMemDataId = "000600040000";
    st.Ids.ChrLiveId = "000600060000";
    st.CommandPathReady = st.MemoryPathReady = true;
    st.ReplyState = kReplyOutstanding;
    st.BatteryVoltage = 1.5;
    st.FileHandle = 7;
    st.FileSize = 99;
    return st;
}

ValueEvent From(Source source, const QString& value, const LinkState& st)
{
    ValueEvent e;
    e.Value = value;
    switch (source) {
    case Source::Command: e.ServiceId = st.Ids.SvcMainId; e.CharacteristicId = st.Ids.ChrCommandId; break;
    case Source::MemDir: e.ServiceId = st.Ids.SvcMemoryId; e.CharacteristicId = st.Ids.ChrMemDirId; break;
    case Source::MemData: e.ServiceId = st.Ids.SvcMemoryId; e.CharacteristicId = st.Ids.ChrMemDataId; break;
    case Source::Live: e.ServiceId = st.Ids.SvcMemoryId; e.CharacteristicId = st.Ids.ChrLiveId; break;
    case Source::Trace: e.ServiceId = st.Ids.SvcMainId; e.CharacteristicId = st.Ids.ChrTraceId; break;
    case Source::Unknown: e.ServiceId = "00AA00000000"; e.CharacteristicId = "00AA00020000"; break;
    }
    return e;
}

struct Row {
    const char* name;
    Source source;
    QString value;
    Edit before;                          // on top of Discovered()
    Edit after;                           // on top of the state before
    std::vector<LinkHandover> handovers;  // expected, in order
};

const Edit kNothing = [](LinkState&) {};
Edit Sent(const char* text) { return [text](LinkState& s) { s.SendText = QString::fromLatin1(text); }; }
Edit State(qint16 code) { return [code](LinkState& s) { s.ReplyState = code; }; }
Edit Text(const char* text, qint16 code) { return [=](LinkState& s) { s.ReplyText = QString::fromLatin1(text); s.ReplyState = code; }; }

LinkHandover Gauge(char key, const char* text) { return {Kind::GaugeField, QChar::fromLatin1(key), QString::fromLatin1(text)}; }
LinkHandover Probe(char key, const char* text) { return {Kind::ProbeField, QChar::fromLatin1(key), QString::fromLatin1(text)}; }

void Check(const Row& row)
{
    LinkState before = Discovered();
    row.before(before);
    LinkState expected = before;
    row.after(expected);
    const DecodedValue got = Vornik1_Value(From(row.source, row.value, before), before);
    EXPECT_EQ(got.state, expected) << row.name << ": ReplyState " << got.state.ReplyState << " want "
                                   << expected.ReplyState << ", ReplyText \"" << got.state.ReplyText.toStdString()
                                   << "\" want \"" << expected.ReplyText.toStdString() << "\"";
    EXPECT_EQ(got.handovers, row.handovers) << row.name << ": " << got.handovers.size() << " hand-overs";
}

TEST(ReplyDecoder, EveryStep)
{
    const std::vector<Row> rows = {
        // 1: empty value; from the data characteristic it also completes the read.
        {"empty, command", Source::Command, "", kNothing, [](LinkState& s) { s.EmptyValueSeen = true; }, {}},
        {"empty, data", Source::MemData, "", Text("old", 55),
         [](LinkState& s) { s.EmptyValueSeen = true; s.ReplyText.clear(); s.ReplyState = 0; }, {}},
        // 3: battery.
        {"battery", Source::Command, "$gcv?3.91!", kNothing,
         [](LinkState& s) { s.ReplyText = "3.91"; s.BatteryVoltage = 3.91; s.ReplyState = 0; }, {}},
        {"battery not numeric", Source::Command, "$gcv?x.xx!", kNothing,
         [](LinkState& s) { s.ReplyText = "x.xx"; s.ReplyState = 0; }, {}},
        {"battery with comma", Source::Command, "$gcv?3,91!", kNothing,
         [](LinkState& s) { s.ReplyText = "3,91"; s.ReplyState = 0; }, {}},
        {"battery empty", Source::Command, "$gcv?", kNothing, Text("", 0), {}},
        // 4: clock.
        {"clock", Source::Command, "$glt?2026-12-06/23:01:02!", kNothing, Text("2026-12-06/23:01:02", 0), {}},
        // 5: non-numeric first field.
        {"close, no blank", Source::Command, "$fc?3!", kNothing, State(99), {}},
        {"close, letters", Source::Command, "$fc?x 0!", kNothing, State(99), {}},
        {"write record, letters", Source::Command, "$wr?a 1!", kNothing, State(99), {}},
        {"remove, nothing", Source::Command, "$rm", kNothing, State(99), {}},
        // 6: listing taken once.
        {"listing", Source::Command, "$ls?0002 files m0001 s0002!", kNothing,
         Text("$ls?0002 files m0001 s0002!", 0), {}},
        {"listing again", Source::Command, "$ls?0002 files m0001 s0002!", Text("$ls?0002 files", 55), State(20), {}},
        {"listing other", Source::Command, "$ls?0001 files t0009!", Text("$ls?0002 files", 55), State(0), {}},
        // 7: open.
        {"open", Source::Command, "$fr?3 1234!", kNothing, [](LinkState& s) { s.FileHandle = 3; s.FileSize = 1234; }, {}},
        {"open, no such file", Source::Command, "$fr?0 0!", kNothing, [](LinkState& s) { s.FileHandle = 0; s.FileSize = 0; }, {}},
        {"open, letters", Source::Command, "$fr?x xxxx!", kNothing, kNothing, {}},
        {"open, no blank", Source::Command, "$fr?31234!", kNothing, kNothing, {}},
        {"open, no end", Source::Command, "$fr?3 1234", kNothing, kNothing, {}},
        {"open, handle too big", Source::Command, "$fr?40000 12!", kNothing, kNothing, {}},
        {"open, size too big", Source::Command, "$fr?3 99999999999!", kNothing, kNothing, {}},
        {"open, negative size", Source::Command, "$fr?3 -5!", kNothing, kNothing, {}},
        // 8, 9: file writes.
        {"write update", Source::Command, "$fwu?1!", kNothing, State(1), {}},
        {"write update, letter", Source::Command, "$fwu?x!", kNothing, kNothing, {}},
        {"write update, short", Source::Command, "$fwu?", kNothing, kNothing, {}},
        {"file write", Source::Command, "$fw?4 0!", kNothing, [](LinkState& s) { s.FileHandle = 4; s.ReplyState = 0; }, {}},
        {"file write, letters", Source::Command, "$fw?4 x!", kNothing, kNothing, {}},
        // 10: close result.
        {"close", Source::Command, "$fc?3 0!", kNothing, State(0), {}},
        {"close failed", Source::Command, "$fc?3 2!", kNothing, State(2), {}},
        {"close, result letters", Source::Command, "$fc?3 x!", kNothing, kNothing, {}},
        // 11.
        {"write record", Source::Command, "$wr?1 0!", kNothing, State(0), {}},
        {"remove", Source::Command, "$rm?1 0!", kNothing, State(0), {}},
        {"modify", Source::Command, "$fmod?1!", kNothing, State(0), {}},
        // 12: file blocks.
        {"read 2 bytes", Source::Command, "$rd?3 0 02 0A0B!", kNothing, Text("0A0B", 3), {}},
        {"read 0 bytes", Source::Command, "$rd?3 0 00 !", kNothing, Text("", 3), {}},
        {"read, handle letters", Source::Command, "$rd?x 0 02 0A0B!", kNothing, kNothing, {}},
        {"read, middle letters", Source::Command, "$rd?3 x 02 0A0B!", kNothing, kNothing, {}},
        {"read, count letters", Source::Command, "$rd?3 0 xx 0A0B!", kNothing, kNothing, {}},
        {"read, data not hex", Source::Command, "$rd?3 0 02 0A0G!", kNothing, kNothing, {}},
        {"read, data short", Source::Command, "$rd?3 0 32 0A0B!", kNothing, kNothing, {}},
        {"read, no end", Source::Command, "$rd?3 0 02 0A0B", kNothing, kNothing, {}},
        {"read, second blank far", Source::Command, "$rd?3 000000 02 0A0B!", kNothing, kNothing, {}},
        {"read, one blank", Source::Command, "$rd?3 0A0B!", kNothing, kNothing, {}},
        // 13-15: by source.
        {"directory", Source::MemDir, "3;12;4;7", kNothing, State(0), {{Kind::Directory, QChar(), "3;12;4;7"}}},
        {"data", Source::MemData, "rec1rec2", kNothing, Text("rec1rec2", 0), {}},
        {"live", Source::Live, "  12  34.5 ym", kNothing, State(0), {{Kind::LiveReading, QChar(), "  12  34.5 ym"}}},
        {"trace", Source::Trace, "anything", kNothing, kNothing, {}},
        {"unknown source", Source::Unknown, "anything", kNothing, kNothing, {}},
        // 16: identification, and anything else on the command characteristic.
        {"probe info", Source::Command, "$gpi?T:ab V:1.2!", kNothing, State(0), {Probe('T', "ab"), Probe('V', "1.2")}},
        {"identification", Source::Command, "$quen00?S:4711 R:2.14 V: U:ym!", kNothing, State(0),
         {Gauge('S', "4711"), Gauge('R', "2.14"), Gauge('V', ""), Gauge('U', "ym")}},
        {"identification from data", Source::MemData, "$quen00?S:1!", kNothing, Text("$quen00?S:1!", 0), {}},
        {"other text", Source::Command, "quen00!", Sent("$quen00!"), kNothing, {}},
        {"error reply", Source::Command, "$err?xyz!", kNothing, kNothing, {}},
    };
    for (const Row& row : rows)
        Check(row);
}

// The gauge shows the command it was sent before the reply: nothing changes.
TEST(ReplyDecoder, EchoChangesNothing)
{
    const std::vector<Row> rows = {
        {"identify", Source::Command, "$quen00!", Sent("$quen00!"), kNothing, {}},
        {"probe info", Source::Command, "$gpi!", Sent("$gpi!"), kNothing, {}},
        {"listing", Source::Command, "$ls!", Sent("$ls!"), kNothing, {}},
        {"close", Source::Command, "$fc?3!", Sent("$fc?3!"), kNothing, {}},
        {"open", Source::Command, "$fr?m0001!", Sent("$fr?m0001!"), kNothing, {}},
        {"read", Source::Command, "$rd?3 32!", Sent("$rd?3 32!"), kNothing, {}},
        {"battery", Source::Command, "$gcv!", Sent("$gcv!"), kNothing, {}},
        {"clock", Source::Command, "$glt!", Sent("$glt!"), kNothing, {}},
        {"set clock", Source::Command, "$slt?2026-12-06/23:01:02!\r\n", Sent("$slt?2026-12-06/23:01:02!\r\n"), kNothing, {}},
        // The same text on the memory data characteristic is data.
        {"not the command characteristic", Source::MemData, "$ls!", Sent("$ls!"), Text("$ls!", 0), {}},
        // An identification echo without "?" is no reply even when another command was sent.
        {"identification echo, other command", Source::Command, "$quen00!", Sent("$gpi!"), kNothing, {}},
    };
    for (const Row& row : rows)
        Check(row);
}

TEST(ReplyDecoder, IdentificationLoopEndsOnDamagedText)
{
    const std::vector<Row> rows = {
        {"no fields", Source::Command, "$quen00?!", kNothing, State(0), {}},
        {"no \"!\"", Source::Command, "$quen00?S:4711 R:2.14", kNothing, kNothing, {}},
        {"no \"!\" one field", Source::Command, "$gpi?T:ab", kNothing, kNothing, {}},
        {"no blank", Source::Command, "$gpi?T:abV:1.2!", kNothing, State(0), {Probe('T', "a"), Probe('V', "1.2")}},
        {"colons together", Source::Command, "$gpi?T::!", kNothing, State(0), {Probe('T', ":")}},
        {"value too short", Source::Command, "$gpi?T:a:b!", kNothing, State(0), {}},
        {"no key", Source::Command, "$gpi?:ab!", kNothing, State(0), {Probe('?', "ab")}},
        {"colon first", Source::Command, "$gpi:ab!", kNothing, kNothing, {}},
        {"end before key", Source::Command, "$gpi?!T:a", kNothing, State(0), {}},
        {"fields after end", Source::Command, "$gpi?T:a! X:b", kNothing, State(0), {Probe('T', "a")}},
    };
    for (const Row& row : rows)
        Check(row);
}

// Damaged and huge values: the decoder ends, and state changes only as the
// table above allows.
TEST(ReplyDecoder, JunkNeverCrashesOrHangs)
{
    QString junk;
    junk.reserve(64 * 1024);
    quint32 seed = 12345;
    const QString alphabet = QStringLiteral("$?! :0123456789abcdefquengpilsfrcdwmv\r\n\x7f");
    while (junk.size() < 64 * 1024) {
        seed = seed * 1103515245u + 12345u;
        junk += alphabet.at((seed >> 16) % alphabet.size());
    }
    const QString prefixes[] = {"", "$quen00?", "$gpi?", "$gcv?", "$glt?", "$ls", "$fr?", "$fwu?", "$fw?", "$fc?",
                                "$wr?", "$rm?", "$fmod", "$rd?"};
    const Source sources[] = {Source::Command, Source::MemDir, Source::MemData, Source::Live, Source::Unknown};
    for (const QString& prefix : prefixes)
        for (Source source : sources) {
            const LinkState before = Discovered();
            const DecodedValue got = Vornik1_Value(From(source, prefix + junk, before), before);
            EXPECT_EQ(got.state.Ids, before.Ids);
            EXPECT_LE(got.handovers.size(), std::size_t(64 * 1024));
        }
    // Many short values made of the protocol's own characters.
    for (int i = 0; i < 20000; ++i) {
        QString value = prefixes[i % std::size(prefixes)];
        seed = seed * 1103515245u + 12345u;
        const int length = (seed >> 16) % 24;
        for (int j = 0; j < length; ++j) {
            seed = seed * 1103515245u + 12345u;
            value += alphabet.at((seed >> 16) % alphabet.size());
        }
        const LinkState before = Discovered();
        const DecodedValue got = Vornik1_Value(From(sources[i % std::size(sources)], value, before), before);
        EXPECT_EQ(got.state.Ids, before.Ids) << value.toStdString();
        EXPECT_LE(got.handovers.size(), std::size_t(value.size()) + 1);  // an empty directory value is one
    }
    // Colons every few characters: the identification loop walks forward.
    const QString colons = QStringLiteral("$quen00?") + QStringLiteral("a:b ").repeated(16 * 1024) + "!";
    const LinkState before = Discovered();
    const DecodedValue got = Vornik1_Value(From(Source::Command, colons, before), before);
    EXPECT_EQ(got.handovers.size(), std::size_t(16 * 1024));
    EXPECT_EQ(got.state.ReplyState, 0);
}

// The gauge writes "." whatever the PC's locale.
TEST(ReplyDecoder, BatteryInBothLocales)
{
    for (const char* name : {"en_US", "de_DE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        const LinkState before = Discovered();
        const DecodedValue got = Vornik1_Value(From(Source::Command, "$gcv?3.91!", before), before);
        EXPECT_DOUBLE_EQ(got.state.BatteryVoltage, 3.91) << name;
    }
    QLocale::setDefault(QLocale::c());
}

TEST(ReplyDecoder, Numbers)
{
    struct Case { const char* text; std::optional<qint64> integer; std::optional<double> decimal; };
    const Case cases[] = {
        {"0", 0, 0.0}, {"32767", 32767, 32767.0}, {"-3", -3, -3.0}, {"3.91", std::nullopt, 3.91},
        {"", std::nullopt, std::nullopt}, {"-", std::nullopt, std::nullopt}, {" 3", std::nullopt, std::nullopt},
        {"3 ", std::nullopt, std::nullopt}, {"1e3", std::nullopt, std::nullopt}, {"3,91", std::nullopt, std::nullopt},
        {".", std::nullopt, std::nullopt}, {"1.2.3", std::nullopt, std::nullopt}, {"+1", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt}, {"inf", std::nullopt, std::nullopt},
        {"99999999999999999999999", std::nullopt, 99999999999999999999999.0},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(GaugeInteger(text, -1000000, 1000000), c.integer) << c.text;
        EXPECT_EQ(GaugeDecimal(text), c.decimal) << c.text;
    }
}

TEST(LinkState, DiscoveryAndReadiness)
{
    struct Found { short type; const char* service; const char* characteristic; const char* uuid; };
    struct Case { const char* name; std::vector<Found> found; bool command; bool memory; };
    const Case cases[] = {
        {"main and memory",
         {{0, "S1", "", "722383EA-0662-466F-B41F-0FD548267C10"}, {1, "S1", "C1", "000028CA-0000-1000-8000-00805F9B34FB"},
          {0, "S2", "", "3DCF8700-54E8-4FBC-A822-25EC413CA19B"}, {1, "S2", "C2", "3DCF8701-54E8-4FBC-A822-25EC413CA19B"},
          {1, "S2", "C3", "3DCF8702-54E8-4FBC-A822-25EC413CA19B"}, {1, "S2", "C4", "3DCF8703-54E8-4FBC-A822-25EC413CA19B"}},
         true, true},
        {"alternative service, no directory",
         {{0, "S1", "", "AAF1D96D-594C-4C53-B1C6-144A1DFDE6D8"}, {1, "S1", "C1", "000028CA-0000-1000-8000-00805F9B34FB"},
          {0, "S2", "", "3DCF8700-54E8-4FBC-A822-25EC413CA19B"}, {1, "S2", "C4", "3DCF8703-54E8-4FBC-A822-25EC413CA19B"}},
         true, true},
        {"main without directory",
         {{0, "S1", "", "722383EA-0662-466F-B41F-0FD548267C10"}, {1, "S1", "C1", "000028CA-0000-1000-8000-00805F9B34FB"},
          {0, "S2", "", "3DCF8700-54E8-4FBC-A822-25EC413CA19B"}, {1, "S2", "C4", "3DCF8703-54E8-4FBC-A822-25EC413CA19B"}},
         true, false},
        {"lower case uuid", {{0, "S1", "", "722383ea-0662-466f-b41f-0fd548267c10"}, {1, "S1", "C1", "000028CA-0000-1000-8000-00805F9B34FB"}},
         false, false},
        {"characteristic as service", {{0, "S1", "", "000028CA-0000-1000-8000-00805F9B34FB"}}, false, false},
    };
    for (const Case& c : cases) {
        LinkState st;
        for (const Found& f : c.found)
            ApplyDiscovered(st, f.type, QString::fromLatin1(f.service), QString::fromLatin1(f.characteristic),
                            QString::fromLatin1(f.uuid));
        EXPECT_EQ(st.CommandPathReady, c.command) << c.name;
        EXPECT_EQ(st.MemoryPathReady, c.memory) << c.name;
    }
    LinkState alt;
    ApplyDiscovered(alt, 0, "S9", "", "AAF1D96D-594C-4C53-B1C6-144A1DFDE6D8");
    EXPECT_EQ(alt.Ids.SvcMainId, "S9");
    EXPECT_EQ(alt.Ids.SvcAltId, "S9");
}

} // namespace
} // namespace qc
