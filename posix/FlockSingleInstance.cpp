#include "posix/FlockSingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kesto {

namespace {

constexpr std::size_t kMaxNameBytes = 100;

// A private directory of ours: an existing entry must be a real directory (not a link)
// owned by this user and closed to others, or the guard could be taken over by whoever
// made it.
bool EnsurePrivateDirectory(const std::filesystem::path& dir)
{
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0077) == 0;
}

// $XDG_RUNTIME_DIR when it is set and absolute: the session's own private directory.
std::filesystem::path RuntimeDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime)
        return {};
    std::filesystem::path dir(runtime);
    return dir.is_absolute() ? dir : std::filesystem::path{};
}

// flock without waiting: 0 when taken, else the error (EWOULDBLOCK: another holds it).
int LockAtOnce(int fd, int operation)
{
    while (::flock(fd, operation | LOCK_NB) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

} // namespace

FlockSingleInstance::FlockSingleInstance(std::filesystem::path directory)
    : m_directory(std::move(directory))
{
}

FlockSingleInstance::~FlockSingleInstance()
{
    for (const auto& [name, fd] : m_held)
        ::close(fd);
}

std::filesystem::path FlockSingleInstance::DefaultDirectory()
{
    if (auto runtime = RuntimeDirectory(); !runtime.empty())
        return runtime;
    std::error_code ec;
    std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
    if (ec)
        tmp = "/tmp";
    return tmp / ("kesto-" + std::to_string(::getuid()));
}

std::string FlockSingleInstance::LockFileName(std::string_view name)
{
    std::string out;
    for (char c : name.substr(0, kMaxNameBytes)) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        out.push_back(keep ? c : '_');
    }
    if (out.empty() || out.front() == '.')
        out.insert(out.begin(), '_');
    return out + ".lock";
}

GuardResult FlockSingleInstance::TryAcquire(std::string_view name)
{
    const std::string file = LockFileName(name);
    if (m_held.contains(file))
        return GuardResult::Acquired;

    if (m_directory.empty()) {
        std::filesystem::path dir = DefaultDirectory();
        if (RuntimeDirectory().empty() && !EnsurePrivateDirectory(dir))
            return GuardResult::Failed;
        m_directory = std::move(dir);
    }

    const std::filesystem::path path = m_directory / file;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return GuardResult::Failed;

    if (const int err = LockAtOnce(fd, LOCK_EX); err != 0) {
        ::close(fd);
        return err == EWOULDBLOCK ? GuardResult::AlreadyHeld : GuardResult::Failed;
    }

    // The holder's process id and note, for whoever looks at the file; the lock alone
    // decides.
    const std::string text = std::to_string(::getpid()) + "\n" + m_note + "\n";
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
    }
    m_held.emplace(file, fd);
    return GuardResult::Acquired;
}

std::optional<FlockSingleInstance::Holder>
FlockSingleInstance::HolderOf(std::string_view name, const std::filesystem::path& directory)
{
    const std::filesystem::path path =
        (directory.empty() ? DefaultDirectory() : directory) / LockFileName(name);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    if (LockAtOnce(fd, LOCK_SH) != EWOULDBLOCK) {
        ::close(fd); // nobody holds it (closing drops the lock just taken)
        return std::nullopt;
    }
    std::string text(4096, '\0');
    const ssize_t got = ::read(fd, text.data(), text.size());
    ::close(fd);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);

    Holder holder;
    const auto endOfPid = text.find('\n');
    holder.pid = static_cast<pid_t>(std::atol(text.substr(0, endOfPid).c_str()));
    if (endOfPid != std::string::npos) {
        const auto endOfNote = text.find('\n', endOfPid + 1);
        if (endOfNote != std::string::npos)
            holder.note = text.substr(endOfPid + 1, endOfNote - endOfPid - 1);
    }
    return holder;
}

} // namespace kesto
