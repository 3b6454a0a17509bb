// A private temporary folder for one test, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vornik::test {

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vornik-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Points the registry at private folders for the life of the object.
class PrivateRegistry {
public:
    PrivateRegistry()
    {
        ::setenv("XDG_DATA_HOME", (dir_.path() / "user").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (dir_.path() / "system").c_str(), 1);
    }
    const std::filesystem::path& root() const { return dir_.path(); }

private:
    TempDir dir_;
};

} // namespace vornik::test
