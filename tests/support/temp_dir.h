// A temporary directory for the files a test writes, removed with everything in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace Korvane::testing {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvane-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name) const { return (path_ / name).string(); }

    // Writes `contents` as they stand (no line-ending translation) and returns the path.
    std::string write(const std::string& name, const std::string& contents) const {
        std::ofstream out(path(name), std::ios::binary);
        out << contents;
        return path(name);
    }

private:
    std::filesystem::path path_;
};

}  // namespace Korvane::testing
