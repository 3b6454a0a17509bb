// The decoder of every value the gauge sends: any text, from any of the
// gauge's characteristics or from elsewhere, onto a link state that waits
// for a reply or has just sent a command.
#include "gauge/reply_decoder.h"
#include "fuzz_text.h"

#include <cmath>

namespace {

struct Source {
    const char* service;
    const char* characteristic;
};

// Command, memory directory, memory data, live, and an unknown one.
constexpr Source kSources[] = {{"S1", "C1"}, {"S3", "C3"}, {"S3", "C4"}, {"S3", "C5"}, {"S9", "C9"}};

qc::LinkState StateBefore(std::uint8_t flags, const QString& value)
{
    qc::LinkState st;
    st.Ids = {"S1", "S2", "C1", "C2", "S3", "C3", "C4", "C5"};
    st.ReplyState = qc::kReplyOutstanding;
    if (flags & 2)
        st.SendText = value; // the gauge echoes what was just written
    else if (flags & 4)
        st.SendText = QStringLiteral("$ls!");
    if (flags & 8)
        st.ReplyText = value.left(value.size() / 2); // a listing taken before
    st.FileHandle = 3;
    st.BatteryVoltage = 3.5;
    return st;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::Input in(data, size);
    const Source source = kSources[in.Byte() % std::size(kSources)];
    const std::uint8_t flags = in.Byte();
    qc::ValueEvent event;
    event.ServiceId = QString::fromLatin1(source.service);
    event.CharacteristicId = QString::fromLatin1(source.characteristic);
    event.Value = qc::fuzz::RestText(in, flags & 1);
    const qc::LinkState before = StateBefore(flags, event.Value);

    const qc::DecodedValue out = qc::Vornik1_Value(event, before);

    FUZZ_CHECK(out.state.Ids == before.Ids);
    FUZZ_CHECK(std::isfinite(out.state.BatteryVoltage));
    FUZZ_CHECK(out.state.FileSize >= 0);
    const bool echo = source.characteristic == kSources[0].characteristic && !before.SendText.isEmpty() &&
                      event.Value == before.SendText;
    if (echo) {
        FUZZ_CHECK(out.state == before);
        FUZZ_CHECK(out.handovers.empty());
    }
    int passedOn = 0;
    for (const qc::LinkHandover& h : out.handovers) {
        switch (h.kind) {
        case qc::LinkHandover::Kind::Directory:
        case qc::LinkHandover::Kind::LiveReading:
            // Directory and live values go on whole, one per value.
            FUZZ_CHECK(h.Text == event.Value);
            FUZZ_CHECK(++passedOn == 1);
            break;
        case qc::LinkHandover::Kind::GaugeField:
        case qc::LinkHandover::Kind::ProbeField:
            FUZZ_CHECK(source.characteristic == kSources[0].characteristic);
            FUZZ_CHECK(event.Value.contains(h.Text));
            break;
        }
    }
    if (out.state.ReplyState != before.ReplyState && out.state.ReplyState == qc::kReplyDone && !echo)
        FUZZ_CHECK(!event.Value.isEmpty() || source.characteristic != kSources[0].characteristic);
    return 0;
}
