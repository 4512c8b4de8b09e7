// Scenario file watching and reloading.
#include "drivers/qvwlan/ScenarioFile.h"

#include "drivers/qvwlan/ScenarioLoader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <sys/stat.h>
#include <utility>

namespace kesto::qvwlan {
namespace {

bool SameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Time stamps of files move in steps of the kernel's clock tick, far below this.
constexpr time_t kStampGranularitySeconds = 2;

} // namespace

bool ScenarioFile::Signature::operator==(const Signature& o) const
{
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
           SameTime(modified, o.modified) && SameTime(changed, o.changed);
}

ScenarioFile::ScenarioFile(std::filesystem::path path) : m_path(std::move(path)) {}

ScenarioFile::Signature ScenarioFile::stat() const
{
    Signature sig;
    struct stat st {};
    if (::stat(m_path.c_str(), &st) != 0) {
        sig.error = errno;
        return sig;
    }
    sig.exists = true;
    sig.device = st.st_dev;
    sig.inode = st.st_ino;
    sig.size = st.st_size;
    sig.modified = st.st_mtim;
    sig.changed = st.st_ctim;
    return sig;
}

bool ScenarioFile::recentlyWritten(const Signature& sig) const
{
    if (!sig.exists)
        return false;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const time_t newest = std::max(sig.modified.tv_sec, sig.changed.tv_sec);
    return now.tv_sec - newest <= kStampGranularitySeconds;
}

Scenario ScenarioFile::loadInitial()
{
    auto scenario = read(stat(), true);
    // read() throws on every failure of a first read, so a value is always here.
    return std::move(*scenario);
}

std::optional<Scenario> ScenarioFile::poll()
{
    const Signature sig = stat();
    if (sig == m_signature && !recentlyWritten(sig))
        return std::nullopt;
    return read(sig, false);
}

std::optional<Scenario> ScenarioFile::reload()
{
    return read(stat(), false);
}

std::optional<Scenario> ScenarioFile::read(const Signature& sig, bool throwOnError)
{
    const std::string where = m_path.string();
    auto fail = [&](const std::string& problem, bool sameAsBefore) -> std::optional<Scenario> {
        const std::string message = where + ": " + problem;
        if (throwOnError)
            throw std::runtime_error("simulated adapter scenario " + message);
        if (!sameAsBefore || m_lastError != message)
            std::cerr << "qvwlan: scenario " << message
                      << " (the last good scenario stays in force)\n";
        m_lastError = message;
        return std::nullopt;
    };

    m_signature = sig;
    if (!sig.exists)
        return fail(sig.error == ENOENT ? std::string("no such file") : std::strerror(sig.error),
                    true);

    std::ifstream in(m_path, std::ios::binary);
    if (!in)
        return fail("cannot be opened", true);
    std::string content(ScenarioLoader::kMaxTextBytes + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad())
        return fail("cannot be read", true);
    content.resize(static_cast<std::size_t>(in.gcount()));

    if (m_haveRead && content == m_content) {
        // Same text as last time: whatever held for it (good, or its error) holds again.
        m_lastError = m_contentError;
        return std::nullopt;
    }
    m_haveRead = true;
    m_content = std::move(content);
    try {
        Scenario scenario = ScenarioLoader::Parse(m_content);
        m_contentError.clear();
        m_lastError.clear();
        return scenario;
    } catch (const std::exception& e) {
        // The loader turns every problem of the text into a ScenarioError; anything else
        // (memory) is still only this file's failure: a running program keeps its last
        // good scenario rather than end at the next poll.
        m_contentError = where + ": " + e.what();
        return fail(e.what(), false);
    }
}

} // namespace kesto::qvwlan
