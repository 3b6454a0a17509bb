// What a gauge says its memories are: the class 4 directory, the class 5
// file listing and the selector entries made of them, in both languages.
// Only names the gauge offered come back, file names only of characters
// that can stand in a command and a file name, and every entry the
// selector shows reads back as the memory it names.
#include "gauge/memory_listing.h"
#include "fuzz_text.h"
#include "gauge/reply_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::Input in(data, size);
    const std::uint8_t choice = in.Byte();
    const int language = choice & 1;
    const QString text = qc::fuzz::RestText(in, choice & 2);

    const std::vector<qc::DirectoryEntry> directory = qc::ParseDirectory(text);
    const QStringList lines = text.split(u'\n');
    FUZZ_CHECK(directory.size() < static_cast<std::size_t>(lines.size()) || directory.empty());
    for (std::size_t i = 0; i < directory.size(); ++i) {
        const qc::DirectoryEntry& e = directory[i];
        FUZZ_CHECK(e.Count >= 0 && e.Count <= 32767);
        FUZZ_CHECK(e.Name == e.Name.trimmed());
        FUZZ_CHECK(lines.at(qsizetype(i) + 1).contains(e.Name));
        // A memory number from the directory, offered in the selector,
        // is read back as that number and count.
        const auto number = qc::GaugeInteger(e.Name, 0, 32767);
        if (!number)
            continue;
        qc::SelectorChoice back;
        FUZZ_CHECK(qc::ParseSelectorEntry(qc::SelectorEntry(language, e.Name, e.Count), back));
        FUZZ_CHECK(qc::GaugeInteger(back.Name, 0, 32767) == number);
        FUZZ_CHECK(back.Count == e.Count);
    }

    qc::SelectorChoice any;
    if (qc::ParseSelectorEntry(text, any))
        FUZZ_CHECK(any.Count >= 0 && any.Count <= 32767);

    const QStringList names = qc::ParseFileListing(text);
    const QStringList offered = text.split(u' ');
    for (const QString& padded : names) {
        const QString name = padded.trimmed();
        FUZZ_CHECK(qc::CommandSafeFileName(name));
        FUZZ_CHECK(padded.size() >= 20);
        FUZZ_CHECK(name.startsWith(u'm') || name.startsWith(u's') || name.startsWith(u't'));
        FUZZ_CHECK(!name.startsWith(u"se"));
        FUZZ_CHECK(!name.contains(u'/') && !name.contains(u'!') && !name.contains(u'?'));
        FUZZ_CHECK(text.contains(name));
    }
    return 0;
}
