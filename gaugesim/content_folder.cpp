#include "content_folder.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "demo_gauges.h"
#include "gauge_settings.h"

namespace quen::gaugesim {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxFileNameLength = 64;
constexpr std::size_t kMaxFiles = 9999;  // the listing counts in four digits

bool ReadFile(const fs::path& path, std::string& bytes, std::string& error)
{
    std::error_code code;
    const std::uintmax_t size = fs::file_size(path, code);
    if (code) {
        error = path.string() + ": " + code.message();
        return false;
    }
    if (size > kMaxContentFileSize) {
        error = path.string() + ": larger than " + std::to_string(kMaxContentFileSize) + " bytes";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path.string() + ": cannot be opened";
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = path.string() + ": read failed";
        return false;
    }
    return true;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && text.size() <= 5 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A name the listing can carry: no blanks, no "!", printable ASCII.
bool ListableName(const std::string& name)
{
    return !name.empty() && name.size() <= kMaxFileNameLength &&
           std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < '\x7F' && c != '!'; });
}

bool RecordLines(const fs::path& path, const std::string& text, std::vector<std::string>& records,
                 std::string& error)
{
    const std::vector<std::string> lines = Lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty())
            continue;
        if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < ' '; })) {
            error = path.string() + " line " + std::to_string(i + 1) + ": control character in a record";
            return false;
        }
        records.push_back(line);
    }
    return true;
}

bool LoadMemories(const fs::path& folder, GaugeSetup& gauge, std::string& error)
{
    std::vector<fs::path> entries;
    std::error_code code;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, code))
        entries.push_back(entry.path());
    if (code) {
        error = folder.string() + ": " + code.message();
        return false;
    }
    std::sort(entries.begin(), entries.end());
    const bool records = gauge.gaugeClass == GaugeClass::MemoryService;
    for (const fs::path& path : entries) {
        const std::string name = path.filename().string();
        if (name == kDescriptionFile)
            continue;
        std::error_code kind;
        if (!fs::is_regular_file(path, kind)) {
            error = path.string() + ": not a memory file (only files belong beside " + kDescriptionFile + ")";
            return false;
        }
        std::string bytes;
        if (records) {
            const std::string stem = path.stem().string();
            if (path.extension() != ".txt" || !AllDigits(stem)) {
                error = path.string() + ": a class 4 memory is named <number>.txt";
                return false;
            }
            if (!ReadFile(path, bytes, error))
                return false;
            RecordMemory memory{std::to_string(std::stol(stem)), {}};
            if (!RecordLines(path, bytes, memory.records, error))
                return false;
            gauge.memories.push_back(std::move(memory));
        } else {
            if (!ListableName(name)) {
                error = path.string() + ": a memory file name has no blanks, \"!\" or non-ASCII characters";
                return false;
            }
            if (gauge.files.size() >= kMaxFiles) {
                error = folder.string() + ": more than " + std::to_string(kMaxFiles) + " memory files";
                return false;
            }
            if (!ReadFile(path, bytes, error))
                return false;
            gauge.files.push_back({name, std::move(bytes)});
        }
    }
    auto byNumber = [](const RecordMemory& a, const RecordMemory& b) { return std::stol(a.name) < std::stol(b.name); };
    std::stable_sort(gauge.memories.begin(), gauge.memories.end(), byNumber);
    for (std::size_t i = 1; i < gauge.memories.size(); ++i) {
        if (gauge.memories[i].name == gauge.memories[i - 1].name) {
            error = folder.string() + ": memory " + gauge.memories[i].name + " given twice";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseDescription(const std::string& text, GaugeSetup& gauge, std::string& error)
{
    const std::vector<std::string> lines = Lines(text);
    struct Setting {
        std::size_t line;
        std::string key;
        std::string value;
    };
    std::vector<Setting> settings;
    std::string model;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string key;
        std::string value;
        std::string lineError;
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        if (!SplitSettingLine(lines[i], key, value, lineError)) {
            if (!lineError.empty()) {
                error = where + lineError;
                return false;
            }
            continue;
        }
        if (key != "fault" && !seen.insert(key).second) {
            error = where + "\"" + key + "\" given twice";
            return false;
        }
        if (key == "model")
            model = value;
        else
            settings.push_back({i + 1, key, value});
    }
    if (model.empty()) {
        error = "no \"model\" (one of the model table: QV, VORTAN, GV-4, GV-8, DORIVAN, Zinto, ZIN, PEL, BODUN, "
                "Thickness)";
        return false;
    }
    if (!ModelDefaults(model, gauge)) {
        error = "unknown model \"" + model + "\"";
        return false;
    }
    const std::time_t now = std::time(nullptr);
    for (const Setting& setting : settings) {
        const std::string reason = ApplySetting(gauge, setting.key, setting.value, now);
        if (!reason.empty()) {
            error = "line " + std::to_string(setting.line) + ": " + reason;
            return false;
        }
    }
    return true;
}

bool LoadGaugeFolder(const fs::path& folder, GaugeSetup& gauge, std::string& error)
{
    const fs::path description = folder / kDescriptionFile;
    std::string text;
    if (!ReadFile(description, text, error))
        return false;
    if (!ParseDescription(text, gauge, error)) {
        error = description.string() + " " + error;
        return false;
    }
    return LoadMemories(folder, gauge, error);
}

bool LoadContentFolder(const fs::path& folder, std::vector<GaugeSetup>& gauges, std::string& error)
{
    std::error_code code;
    if (!fs::is_directory(folder, code)) {
        error = folder.string() + ": not a folder";
        return false;
    }
    std::vector<GaugeSetup> loaded;
    if (fs::exists(folder / kDescriptionFile, code)) {
        GaugeSetup gauge;
        if (!LoadGaugeFolder(folder, gauge, error))
            return false;
        loaded.push_back(std::move(gauge));
    } else {
        std::vector<fs::path> folders;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, code)) {
            std::error_code kind;
            if (entry.is_directory(kind))
                folders.push_back(entry.path());
        }
        if (code) {
            error = folder.string() + ": " + code.message();
            return false;
        }
        std::sort(folders.begin(), folders.end());
        for (const fs::path& sub : folders) {
            GaugeSetup gauge;
            if (!LoadGaugeFolder(sub, gauge, error))
                return false;
            loaded.push_back(std::move(gauge));
        }
    }
    if (loaded.empty()) {
        error = folder.string() + ": no gauge (a " + kDescriptionFile + " here or in sub-folders)";
        return false;
    }
    std::set<std::uint64_t> addresses;
    for (const GaugeSetup& gauge : loaded) {
        if (!addresses.insert(gauge.address).second) {
            error = folder.string() + ": two gauges with the address " + AddressText(gauge.address);
            return false;
        }
    }
    gauges = std::move(loaded);
    return true;
}

}  // namespace quen::gaugesim
