// The access point's start file (see ApConfigFile.h).
#include "drivers/linuxwlan/ApConfigFile.h"

#include "drivers/linuxwlan/ControlReplies.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace kesto::linuxwlan {
namespace {

std::string Why(const std::filesystem::path& path, int error)
{
    return path.string() + ": " + std::strerror(error);
}

} // namespace

std::filesystem::path ApConfigFile::DefaultFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && std::filesystem::path(runtime).is_absolute())
        return std::filesystem::path(runtime) / "kesto";
    std::error_code ec;
    std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
    return (ec ? std::filesystem::path("/tmp") : tmp) / ("kesto-" + std::to_string(::getuid()));
}

std::filesystem::path ApConfigFile::PathIn(const std::filesystem::path& folder,
                                           std::string_view interfaceName)
{
    return folder / ("hostapd-" + std::string(interfaceName) + ".conf");
}

std::string ApConfigFile::Text(std::string_view interfaceName, const std::string& controlDir,
                               const AdapterSettings& settings)
{
    const std::string name =
        settings.ssid && !settings.ssid->empty() ? *settings.ssid : std::string(kDefaultName);
    std::string text = "# The access point of the Kesto WLAN Utility; the utility sets the rest "
                       "over the control socket.\n";
    text += "interface=" + std::string(interfaceName) + "\n";
    text += "driver=nl80211\n";
    text += "ctrl_interface=" + controlDir + "\n";
    struct stat folder {};
    if (::stat(controlDir.c_str(), &folder) == 0)
        text += "ctrl_interface_group=" + std::to_string(folder.st_gid) + "\n";
    // As hexadecimal digits: no byte of the name can end the line or the value.
    text += "ssid2=" + HexText(name) + "\n";
    text += "hw_mode=g\n";
    text += "channel=" + std::to_string(settings.channel) + "\n";
    text += "ignore_broadcast_ssid=" + std::to_string(settings.hideSsid) + "\n";
    text += "auth_algs=1\n";
    text += "macaddr_acl=0\n";
    return text;
}

std::string ApConfigFile::Write(const std::filesystem::path& file, std::string_view text)
{
    const std::filesystem::path folder = file.parent_path();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return Why(folder, errno);
    // A folder someone else made, or a link to one, could let them put their own file in
    // our file's place, and hostapd reads it as root.
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0)
        return Why(folder, errno);
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 0077) != 0)
        return folder.string() + ": not a private folder of this user";
    const std::filesystem::path part = file.string() + ".part";
    ::unlink(part.c_str());
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return Why(part, errno);
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(part.c_str());
            return Why(part, error);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 || ::rename(part.c_str(), file.c_str()) != 0) {
        const int error = errno;
        ::unlink(part.c_str());
        return Why(file, error);
    }
    return {};
}

} // namespace kesto::linuxwlan
