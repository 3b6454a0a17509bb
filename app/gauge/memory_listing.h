// The memories a gauge offers: the class 4 memory directory and the class 5
// file listing, as the entries of the memory selector.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "gauge/gauge_link.h"

namespace qc {

struct DirectoryEntry {
    QString Name;
    int Count = 0;
    bool operator==(const DirectoryEntry&) const = default;
};

// Lines separated by LF: the number of memories, then "name,count" each.
// Only as many entries as the text holds (and at most the count given);
// blanks around names and numbers are ignored.
std::vector<DirectoryEntry> ParseDirectory(const QString& text);

// Selector entry: memory letter ("S" German, "M" English), the name
// right-aligned in 5, "(count)" right-aligned in 6: "M    1 (250)".
QString SelectorEntry(int language, const QString& name, int count);

// Taken apart again: the name between the letter and "(", the count
// between "(" and ")". False for "Speicher leer" / "memory empty" and for a
// text without a blank, unless name and count fill their columns
// ("M10000(1234)").
struct SelectorChoice {
    QString Name;
    int Count = 0;
};
bool ParseSelectorEntry(const QString& text, SelectorChoice& choice);

// The first "$ls" reply: 14 characters and the last dropped, then the names
// (blank-separated) starting with "m", "s" or "t" but not "se", each padded
// to 20. Names of other characters than ASCII letters, digits, "_", "-"
// and "." (or starting with ".") are left out: they could not stand in a
// command or a file name.
QStringList ParseFileListing(const QString& reply);
// True for a name that can stand in a "$fr" command.
bool CommandSafeFileName(const QString& name);

struct MemoryListing {
    RequestResult request;
    QStringList Entries;                   // the selector's entries
    std::vector<DirectoryEntry> Directory; // class 4
    QString Empty;                         // "Speicher leer" / "memory empty" when there is no entry
    bool Resubscribed = false;
};

// Class 4: reads the directory (live characteristic unsubscribed meanwhile,
// subscribed again after).
// A download reads the directory with the live characteristic left
// unsubscribed (`resubscribe` false).
MemoryListing SpeicherInfoLesen(GaugeLink& link, int language, bool resubscribe = true);
// Class 5: "$ls!".
MemoryListing SpeicherInfoDatei(GaugeLink& link, int language);

} // namespace qc
