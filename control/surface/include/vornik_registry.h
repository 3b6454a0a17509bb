// The class registry file: where in-process controls are registered and
// how a host finds a control's module by ProgID, without loading it.
//
// Format (like an exported registry, one file per scope):
//   [CLSID\{85400400-F789-11CE-86F8-0020AFD8C6DB}\InprocServer32]
//   @="/usr/lib/x86_64-linux-gnu/libvornik220.so.2"
//   "ThreadingModel"="Apartment"
// Key paths are relative to the classes root and compared without case;
// "@" is a key's default value; '\\' and '"' inside values are escaped
// with a backslash. Lines starting with ';' are comments.
//
// Per user: $XDG_DATA_HOME/inproc-servers/classes.reg (default
// ~/.local/share). System-wide: <dir>/inproc-servers/classes.reg for each
// dir of $XDG_DATA_DIRS (default /usr/local/share:/usr/share); the user's
// file is consulted first. Header-only so hosts need not link the control.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vornik::registry {

inline constexpr std::string_view kFolderName = "inproc-servers";
inline constexpr std::string_view kFileName = "classes.reg";
inline constexpr std::string_view kHeader = "; In-process class registrations";
inline constexpr int kMaxCurVerHops = 4;

inline std::string lowerCase(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

struct Key {
    std::string path;                              // as written
    std::map<std::string, std::string> values;     // name (as written) -> value; "@" is the default
};

// One registry file: keys by lower-cased path.
class Hive {
public:
    bool parse(std::istream& in, std::string& error)
    {
        std::string line;
        Key* current = nullptr;
        for (int lineNo = 1; std::getline(in, line); ++lineNo) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty() || line[0] == ';')
                continue;
            if (line.front() == '[' && line.back() == ']') {
                current = &ensure(line.substr(1, line.size() - 2));
                continue;
            }
            std::string name;
            std::string value;
            if (!current || !parseValueLine(line, name, value)) {
                error = "line " + std::to_string(lineNo) + " is not a key or a value: " + line;
                return false;
            }
            current->values[name] = value;
        }
        return true;
    }

    std::string serialize() const
    {
        std::ostringstream out;
        out << kHeader << "\n";
        for (const auto& [lower, key] : keys_) {
            out << "\n[" << key.path << "]\n";
            for (const auto& [name, value] : key.values)
                out << (name == "@" ? "@" : quote(name)) << "=" << quote(value) << "\n";
        }
        return out.str();
    }

    Key& ensure(std::string_view path)
    {
        auto [it, inserted] = keys_.try_emplace(lowerCase(path));
        if (inserted)
            it->second.path = std::string(path);
        return it->second;
    }

    void set(std::string_view path, std::string_view name, std::string_view value)
    {
        ensure(path).values[std::string(name)] = std::string(value);
    }

    // Removes the key and every key below it.
    void removeTree(std::string_view path)
    {
        const std::string lower = lowerCase(path);
        for (auto it = keys_.begin(); it != keys_.end();) {
            const bool below = it->first.size() > lower.size() && it->first.compare(0, lower.size(), lower) == 0
                               && it->first[lower.size()] == '\\';
            it = (it->first == lower || below) ? keys_.erase(it) : std::next(it);
        }
    }

    std::optional<std::string> value(std::string_view path, std::string_view name = "@") const
    {
        const auto it = keys_.find(lowerCase(path));
        if (it == keys_.end())
            return std::nullopt;
        for (const auto& [valueName, value] : it->second.values)
            if (lowerCase(valueName) == lowerCase(name))
                return value;
        return std::nullopt;
    }

    bool hasKey(std::string_view path) const { return keys_.count(lowerCase(path)) != 0; }
    bool empty() const { return keys_.empty(); }

private:
    static std::string quote(std::string_view text)
    {
        std::string out = "\"";
        for (const char c : text) {
            if (c == '\\' || c == '"')
                out += '\\';
            out += c;
        }
        return out + "\"";
    }

    // Reads a quoted string at text[pos]; pos ends after the closing quote.
    static bool unquote(std::string_view text, std::size_t& pos, std::string& out)
    {
        if (pos >= text.size() || text[pos] != '"')
            return false;
        for (++pos; pos < text.size(); ++pos) {
            if (text[pos] == '"') {
                ++pos;
                return true;
            }
            if (text[pos] == '\\' && pos + 1 < text.size())
                ++pos;
            out += text[pos];
        }
        return false;
    }

    static bool parseValueLine(std::string_view line, std::string& name, std::string& value)
    {
        std::size_t pos = 0;
        if (line[0] == '@') {
            name = "@";
            pos = 1;
        } else if (!unquote(line, pos, name)) {
            return false;
        }
        if (pos >= line.size() || line[pos] != '=')
            return false;
        ++pos;
        return unquote(line, pos, value) && pos == line.size();
    }

    std::map<std::string, Key> keys_;
};

inline std::filesystem::path userDataHome()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return xdg;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/") / ".local" / "share";
}

inline std::vector<std::filesystem::path> systemDataDirs()
{
    std::string dirs = "/usr/local/share:/usr/share";
    if (const char* xdg = std::getenv("XDG_DATA_DIRS"); xdg && *xdg)
        dirs = xdg;
    std::vector<std::filesystem::path> out;
    std::stringstream split(dirs);
    for (std::string dir; std::getline(split, dir, ':');)
        if (!dir.empty())
            out.emplace_back(dir);
    return out;
}

inline std::filesystem::path userRegistryFile()
{
    return userDataHome() / kFolderName / kFileName;
}

inline std::filesystem::path systemRegistryFile()
{
    const auto dirs = systemDataDirs();
    return (dirs.empty() ? std::filesystem::path("/usr/local/share") : dirs.front()) / kFolderName / kFileName;
}

// Every registry file in lookup order: the user's first.
inline std::vector<std::filesystem::path> registryFiles()
{
    std::vector<std::filesystem::path> files{userRegistryFile()};
    for (const auto& dir : systemDataDirs())
        files.push_back(dir / kFolderName / kFileName);
    return files;
}

// Loads a file; a missing file is an empty hive.
inline bool loadHive(const std::filesystem::path& file, Hive& hive, std::string& error)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (!std::filesystem::exists(file))
            return true;
        error = "cannot read " + file.string();
        return false;
    }
    if (!hive.parse(in, error)) {
        error = file.string() + ": " + error;
        return false;
    }
    return true;
}

// Writes through a temporary file and a rename, so readers never see half a
// file. An empty hive removes the file.
inline bool saveHive(const std::filesystem::path& file, const Hive& hive, std::string& error)
{
    std::error_code ec;
    if (hive.empty()) {
        std::filesystem::remove(file, ec);
        return true;
    }
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        error = "cannot create " + file.parent_path().string() + ": " + ec.message();
        return false;
    }
    const auto temp = file.string() + ".tmp";
    const std::string text = hive.serialize();
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            error = "cannot write " + temp;
            return false;
        }
    }
    // A file that does not read back as written (a value with a line break
    // would split its line) must not replace a good one.
    Hive reread;
    std::string readError;
    if (!loadHive(temp, reread, readError) || reread.serialize() != text) {
        std::filesystem::remove(temp, ec);
        error = "the registry file " + file.string() + " would not read back as written"
                + (readError.empty() ? std::string(".") : ": " + readError);
        return false;
    }
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        error = "cannot replace " + file.string() + ": " + ec.message();
        return false;
    }
    return true;
}

inline bool isClsidString(std::string_view text)
{
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return false;
    for (std::size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

struct Resolution {
    std::string clsid;
    std::filesystem::path module;
    std::filesystem::path registryFile;
};

// Finds the module of a ProgID (following CurVer) or CLSID. On failure the
// error says what was looked for and where.
inline std::optional<Resolution> resolve(std::string_view progIdOrClsid, std::string& error)
{
    std::string searched;
    for (const auto& file : registryFiles()) {
        Hive hive;
        std::string loadError;
        if (!loadHive(file, hive, loadError)) {
            error = loadError;
            return std::nullopt;
        }
        searched += (searched.empty() ? "" : ", ") + file.string();
        std::string clsid(progIdOrClsid);
        if (!isClsidString(clsid)) {
            std::string progId(progIdOrClsid);
            for (int hop = 0; hop < kMaxCurVerHops; ++hop) {
                const auto next = hive.value(progId + "\\CurVer");
                if (!next || lowerCase(*next) == lowerCase(progId))
                    break;
                progId = *next;
            }
            const auto found = hive.value(progId + "\\CLSID");
            if (!found)
                continue;
            clsid = *found;
        }
        const auto module = hive.value("CLSID\\" + clsid + "\\InprocServer32");
        if (!module || module->empty())
            continue;
        return Resolution{clsid, *module, file};
    }
    error = "\"" + std::string(progIdOrClsid) + "\" is not registered (looked in " + searched + ").";
    return std::nullopt;
}

} // namespace vornik::registry
