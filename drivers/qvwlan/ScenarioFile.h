// ScenarioFile: the scenario file on disk, watched for changes. A test (or a person)
// edits the file to plug the adapter out, add a network or change the traffic; the
// library polls on each call, which costs one stat() while nothing changed. A file that
// turns out broken keeps the last good scenario in force and says why once.
#pragma once

#include "drivers/qvwlan/Scenario.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

namespace kesto::qvwlan {

class ScenarioFile {
public:
    explicit ScenarioFile(std::filesystem::path path);

    // Reads the file for the first time. Throws std::runtime_error naming the file when
    // it is missing, unreadable or broken: there is no earlier scenario to fall back to.
    Scenario loadInitial();

    // The new scenario when the file changed since the last read and parses; nullopt
    // when it is unchanged or broken (then lastError() says why, and the message has
    // gone to stderr once for this version of the file).
    std::optional<Scenario> poll();
    // As poll(), but reads the file even when its time stamps and size look unchanged.
    std::optional<Scenario> reload();

    const std::filesystem::path& path() const { return m_path; }
    // "<file>: <problem>" of the last failed read; empty once a read succeeds again.
    const std::string& lastError() const { return m_lastError; }

private:
    // What stat() tells about the file; a change in any part means "read it again".
    struct Signature {
        bool exists = false;
        int error = 0; // errno of a failed stat(); not part of the comparison
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        bool operator==(const Signature& o) const;
    };

    Signature stat() const;
    // A file written within the time stamp granularity of the last read may have changed
    // again without its stamps showing it; such a file is compared by content.
    bool recentlyWritten(const Signature& sig) const;
    std::optional<Scenario> read(const Signature& sig, bool throwOnError);

    std::filesystem::path m_path;
    Signature m_signature;
    std::string m_content;      // the text of the last read, good or broken
    std::string m_contentError; // what was wrong with m_content; empty when it was good
    bool m_haveRead = false;
    std::string m_lastError;
};

} // namespace kesto::qvwlan
