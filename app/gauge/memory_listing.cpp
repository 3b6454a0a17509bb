#include "gauge/memory_listing.h"

#include "gauge/reply_decoder.h"
#include "shell/texts.h"

namespace qc {
namespace {

constexpr int kMemoryLetterKey = 76;
constexpr int kMemoryEmptyKey = 47;
constexpr int kNameWidth = 5;
constexpr int kCountWidth = 6;
constexpr int kListingPrefix = 14;
constexpr int kListingShortest = 8;
constexpr int kFileNameWidth = 20;
constexpr int kMaxFileName = 64;
const QString kListCommand = QStringLiteral("$ls!");

// A file name as the gauge lists its memories: ASCII letters, digits,
// "_", "-" and ".", not starting with "."; nothing that could end a
// command or climb out of a folder when the name becomes part of a file name.
bool CommandSafe(const QString& name)
{
    if (name.isEmpty() || name.size() > kMaxFileName || name.startsWith(u'.'))
        return false;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        const bool letter = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
        const bool digit = u >= u'0' && u <= u'9';
        if (!letter && !digit && u != u'_' && u != u'-' && u != u'.')
            return false;
    }
    return true;
}

// Unsubscribes for the read and says whether to subscribe again after.
bool Unsubscribe(GaugeLink& link)
{
    if (!link.State().IsSubscribed)
        return false;
    link.Unsubscribe();
    return true;
}

void Resubscribe(GaugeLink& link, bool wasSubscribed, MemoryListing& listing)
{
    if (!link.State().IsSubscribed && (wasSubscribed || link.IsConnected()))
        listing.Resubscribed = link.Subscribe().ok();
}

} // namespace

std::vector<DirectoryEntry> ParseDirectory(const QString& text)
{
    std::vector<DirectoryEntry> entries;
    const QStringList lines = text.split(u'\n');
    const auto count = GaugeInteger(lines.value(0).trimmed(), 0, 32767);
    if (!count)
        return entries;
    for (int i = 1; i <= *count && i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const qsizetype comma = line.indexOf(u',');
        DirectoryEntry e;
        e.Name = (comma < 0 ? line : line.left(comma)).trimmed();
        e.Count = comma < 0 ? 0 : int(GaugeInteger(line.mid(comma + 1).trimmed(), 0, 32767).value_or(0));
        entries.push_back(e);
    }
    return entries;
}

QString SelectorEntry(int language, const QString& name, int count)
{
    return MessageText(language, kMemoryLetterKey) + name.rightJustified(kNameWidth) +
           (QStringLiteral("(") + QString::number(count) + QStringLiteral(")")).rightJustified(kCountWidth);
}

bool ParseSelectorEntry(const QString& text, SelectorChoice& choice)
{
    // A five-digit name with a four-digit count fills both columns:
    // "M10000(1234)" has no blank but is an entry all the same.
    const bool fullColumns = text.size() >= 1 + kNameWidth + kCountWidth && text.contains(u'(');
    if (text == MessageText(0, kMemoryEmptyKey) || text == MessageText(1, kMemoryEmptyKey) ||
        (!text.contains(u' ') && !fullColumns))
        return false;
    const qsizetype open = text.indexOf(u'(');
    const qsizetype close = text.indexOf(u')', open + 1);
    choice.Name = (open < 0 ? text.mid(1) : text.mid(1, open - 1)).trimmed();
    choice.Count = open < 0 || close < 0
                       ? 0
                       : int(GaugeInteger(text.mid(open + 1, close - open - 1).trimmed(), 0, 32767).value_or(0));
    return true;
}

bool CommandSafeFileName(const QString& name) { return CommandSafe(name); }

QStringList ParseFileListing(const QString& reply)
{
    QStringList names;
    if (reply.size() < kListingShortest)
        return names;
    const QString rest = reply.mid(kListingPrefix, reply.size() - kListingPrefix - 1);
    for (const QString& part : rest.split(u' ', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed();
        const QChar first = name.isEmpty() ? QChar() : name.at(0);
        if ((first == u'm' || first == u's' || first == u't') && !name.startsWith(u"se") && CommandSafe(name))
            names << name.leftJustified(kFileNameWidth);
    }
    return names;
}

MemoryListing SpeicherInfoLesen(GaugeLink& link, int language, bool resubscribe)
{
    MemoryListing listing;
    const bool was = Unsubscribe(link);
    QString directory;
    bool received = false;
    const auto before = link.HandoverSink();
    link.SetHandoverSink([&](const LinkHandover& h) {
        if (h.kind == LinkHandover::Kind::Directory) {
            directory = h.Text;
            received = true;
        } else if (before) {
            before(h);
        }
    });
    listing.request = link.Request(
        QStringLiteral("Read memory directory"), [&link] { return link.ReadStorageInfo(); },
        [&received](const LinkState& s) { return received && s.ReplyState == kReplyDone; }, link.Deadlines().listing);
    link.SetHandoverSink(before);
    if (listing.request.ok()) {
        listing.Directory = ParseDirectory(directory);
        for (const DirectoryEntry& e : listing.Directory)
            listing.Entries << SelectorEntry(language, e.Name, e.Count);
    }
    if (listing.Entries.isEmpty())
        listing.Empty = MessageText(language, kMemoryEmptyKey);
    if (resubscribe)
        Resubscribe(link, was, listing);
    return listing;
}

MemoryListing SpeicherInfoDatei(GaugeLink& link, int language)
{
    MemoryListing listing;
    const bool was = Unsubscribe(link);
    listing.request = link.Command(
        kListCommand, [](const LinkState& s) { return !s.ReplyText.isEmpty(); }, link.Deadlines().listing, true);
    if (listing.request.ok())
        listing.Entries = ParseFileListing(link.State().ReplyText);
    if (listing.Entries.isEmpty())
        listing.Empty = MessageText(language, kMemoryEmptyKey);
    Resubscribe(link, was, listing);
    return listing;
}

} // namespace qc
