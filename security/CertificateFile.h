// CertificateFile: the client certificate of an EAP-TLS profile, checked before its path
// reaches the adapter library (on Linux, a daemon that runs as root and reads the file):
// an absolute path of printable characters naming a regular file that the user owns and
// can read, so a profile never has the daemon read a file the user could not.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kesto {

// What the file system says about a path; a link at its end is not followed.
struct FileFacts {
    bool regular = false;     // a regular file (not a link, folder, device or FIFO)
    bool ownedByUser = false; // its owner is the process's effective user
    bool readable = false;    // the effective user may read it
};

// How the facts are learnt: the local file system in the program, a table in tests.
using FileProbe = std::function<FileFacts(const std::string& path)>;

// The local file system: lstat for the kind and the owner, faccessat with the effective
// ids for reading. A path that cannot be examined has no facts (all false).
FileFacts ProbeLocalFile(const std::string& path);

inline constexpr std::string_view kCertificatePathMessage =
    "Der Pfad des Zertifikats muss vollst\u00e4ndig sein (mit \u201e/\u201c beginnen) und "
    "darf keine Steuerzeichen und keine Anf\u00fchrungszeichen enthalten. Bitte w\u00e4hlen Sie "
    "das Zertifikat neu.";
inline constexpr std::string_view kCertificateFileMessage =
    "Die Zertifikatsdatei fehlt oder ist keine gew\u00f6hnliche Datei. Bitte w\u00e4hlen Sie das "
    "Zertifikat neu.";
inline constexpr std::string_view kCertificateOwnerMessage =
    "Die Zertifikatsdatei muss Ihnen geh\u00f6ren und f\u00fcr Sie lesbar sein. Bitte w\u00e4hlen "
    "Sie eine eigene Zertifikatsdatei.";

// "" when path names a usable client certificate; otherwise the German message saying
// why not (an empty path is no path).
std::string_view CertificateRefusal(std::string_view path, const FileProbe& probe);

} // namespace kesto
