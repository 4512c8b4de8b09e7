// The client certificate's path checked (see CertificateFile.h).
#include "security/CertificateFile.h"

#include "base/Text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kesto {

namespace {

// Well-formed UTF-8 without control characters (C0, DEL, C1) and without the double
// quote, which ends the quoted path in the daemon's command.
bool PrintablePath(std::string_view path)
{
    if (!IsValidUtf8(path))
        return false;
    for (std::size_t at = 0; at < path.size(); ++at) {
        const auto byte = static_cast<unsigned char>(path[at]);
        if (byte < 0x20 || byte == 0x7F || byte == '"')
            return false;
        // U+0080..U+009F are encoded as C2 80 .. C2 9F.
        if (byte == 0xC2 && at + 1 < path.size() && static_cast<unsigned char>(path[at + 1]) < 0xA0)
            return false;
    }
    return true;
}

} // namespace

FileFacts ProbeLocalFile(const std::string& path)
{
    FileFacts facts;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return facts;
    facts.regular = S_ISREG(info.st_mode);
    facts.ownedByUser = info.st_uid == ::geteuid();
    facts.readable = ::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) == 0;
    return facts;
}

std::string_view CertificateRefusal(std::string_view path, const FileProbe& probe)
{
    if (path.empty() || path.front() != '/' || !PrintablePath(path))
        return kCertificatePathMessage;
    const FileFacts facts = probe(std::string(path));
    if (!facts.regular)
        return kCertificateFileMessage;
    if (!facts.ownedByUser || !facts.readable)
        return kCertificateOwnerMessage;
    return {};
}

} // namespace kesto
