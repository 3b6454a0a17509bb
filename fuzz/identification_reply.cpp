// The walk over the fields of an identification reply ("$quen00?S:5101 ...!"
// and "$gpi?...!"): whatever follows the prefix, every field handed on is a
// piece of the reply and the walk ends.
#include "fuzz_text.h"
#include "gauge/reply_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::Input in(data, size);
    const std::uint8_t flags = in.Byte();
    const bool probe = flags & 2;
    qc::ValueEvent event;
    event.ServiceId = QStringLiteral("S1");
    event.CharacteristicId = QStringLiteral("C1");
    event.Value = (probe ? QStringLiteral("$gpi") : QStringLiteral("$quen00")) + qc::fuzz::RestText(in, flags & 1);
    qc::LinkState before;
    before.Ids = {"S1", "", "C1", "", "S3", "C3", "C4", "C5"};
    before.SendText = probe ? QStringLiteral("$gpi!") : QStringLiteral("$quen00!");
    before.ReplyState = qc::kReplyOutstanding;

    const qc::DecodedValue out = qc::Vornik1_Value(event, before);

    const auto kind = probe ? qc::LinkHandover::Kind::ProbeField : qc::LinkHandover::Kind::GaugeField;
    // Each field needs its own ":"; "!" ends the fields.
    FUZZ_CHECK(out.handovers.size() <= static_cast<std::size_t>(event.Value.count(u':')));
    const qsizetype end = event.Value.indexOf(u'!');
    for (const qc::LinkHandover& h : out.handovers) {
        FUZZ_CHECK(h.kind == kind);
        FUZZ_CHECK(!h.Text.contains(u'!'));
        FUZZ_CHECK(event.Value.left(end).contains(QString(h.Key) + u':' + h.Text));
    }
    if (!out.handovers.empty())
        FUZZ_CHECK(out.state.ReplyState == qc::kReplyDone);
    if (end < 0)
        FUZZ_CHECK(out.state.ReplyState == before.ReplyState);
    return 0;
}
