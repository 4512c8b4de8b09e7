// A scratch directory removed with its contents when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kesto::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path file(std::string_view name) const { return m_path / name; }
    // Writes (replaces) a file below the directory and returns its path.
    std::filesystem::path write(std::string_view name, std::string_view content) const;

private:
    std::filesystem::path m_path;
};

// The source tree (for shipped resources such as the default scenario).
std::filesystem::path SourceDir();
// The build tree's data folder (share/kesto), laid out as installed: the programs' data,
// with the pages as the build assembles them from their sources.
std::filesystem::path DataDir();

} // namespace kesto::test
