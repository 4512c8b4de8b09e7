#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace kesto::test {

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "kesto-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create a scratch directory");
    m_path = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path TempDir::write(std::string_view name, std::string_view content) const
{
    const auto p = file(name);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return p;
}

std::filesystem::path SourceDir()
{
    if (const char* dir = std::getenv("KESTO_SOURCE_DIR"))
        return dir;
    return KESTO_SOURCE_DIR_FALLBACK;
}

std::filesystem::path DataDir()
{
    return KESTO_BUILD_DATA_DIR;
}

} // namespace kesto::test
