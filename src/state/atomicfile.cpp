#include "state/atomicfile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace davrenta {

namespace {

namespace fs = std::filesystem;

std::string Reason(const char* verb, const std::string& path, int err) {
    return std::string("cannot ") + verb + " " + ShownPath(path) + ": " + std::strerror(err);
}

// Closes on every path out; close errors on a file being read carry no information.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::string ShownPath(std::string_view path) {
    static const char hex[] = "0123456789ABCDEF";
    constexpr std::size_t kLimit = 300;
    std::string out;
    for (std::size_t i = 0; i < path.size() && i < kLimit; ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (c < 32 || c == 127) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    if (path.size() > kLimit)
        out += "...";
    return out;
}

namespace {

constexpr std::string_view kTempPrefix = ".davrenta-save-";
constexpr std::string_view kTempSuffix = ".tmp";

// A short name of our own beside the target: a name derived from the target's could exceed
// the longest name the folder allows even when the target's own name fits.
std::string TempName() {
    static std::atomic<unsigned> counter{0};
    static const unsigned long long salt = std::random_device{}();
    std::mt19937_64 mix(salt ^ (static_cast<unsigned long long>(::getpid()) << 20) ^ counter++);
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name(kTempPrefix);
    for (int i = 0; i < 10; ++i)
        name += alphabet[mix() % (sizeof alphabet - 1)];
    return name + std::string(kTempSuffix);
}

bool IsOurTempName(const std::string& name) {
    return name.size() == kTempPrefix.size() + 10 + kTempSuffix.size() &&
           name.compare(0, kTempPrefix.size(), kTempPrefix) == 0 &&
           name.compare(name.size() - kTempSuffix.size(), kTempSuffix.size(), kTempSuffix) == 0;
}

// A save killed part way leaves its temporary file behind. A save in progress holds a lock on
// its own, so a file of our naming that nobody holds, and that was not touched in the last
// minute (a save that has created its file but not yet locked it), is stale and goes.
void RemoveStaleTempFiles(const fs::path& folder) {
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!IsOurTempName(name) || !it->is_regular_file(ec) || it->is_symlink(ec))
            continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_mtime < now - 60 && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(it->path().c_str());
        ::close(fd);
    }
}

// Where a save through path lands: a link, even a dangling one, is followed to the file it
// names, so that the link stays a link. Nullopt when the links go round in a loop.
std::optional<fs::path> SaveTarget(const fs::path& path) {
    fs::path target = path;
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec)))
            return target;
        fs::path next = fs::read_symlink(target, ec);
        if (ec)
            return target;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return std::nullopt;
}

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "a special file";
}

void SyncFolder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // makes the rename itself durable; not every file system supports it
        ::close(fd);
    }
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error) {
    auto fail = [&](int err) -> std::optional<std::string> {
        if (error)
            *error = Reason("read", path, err);
        return std::nullopt;
    };
    Fd file;
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.fd < 0)
        return fail(errno);
    struct stat st {};
    if (::fstat(file.fd, &st) == 0 && S_ISDIR(st.st_mode))
        return fail(EISDIR);
    std::string contents;
    char buf[65536];
    for (;;) {
        ssize_t got = ::read(file.fd, buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (got == 0)
            break;
        contents.append(buf, static_cast<std::size_t>(got));
    }
    return contents;
}

Result<std::string> ReadProblemFile(const std::string& path, std::size_t maxBytes) {
    auto fail = [&](const std::string& why) {
        return Fail("The file " + ShownPath(path) + " cannot be read: " + why + ".");
    };
    if (path.empty())
        return fail("no file name was given");
    Fd file;
    // Non-blocking, so that opening a pipe with no writer cannot hang; the type is checked
    // before any byte is read.
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (file.fd < 0)
        return fail(std::strerror(errno));
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        return fail(std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        return fail("it is a folder");
    if (!S_ISREG(st.st_mode))
        return fail("it is not a regular file");
    if (static_cast<unsigned long long>(st.st_size) > maxBytes)
        return fail("it holds " + std::to_string(static_cast<long long>(st.st_size)) +
                    " bytes, more than the " + std::to_string(maxBytes) +
                    " a problem file may hold");
    std::string contents;
    char buf[65536];
    for (;;) {
        ssize_t got = ::read(file.fd, buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return fail(std::strerror(errno));
        }
        if (got == 0)
            break;
        contents.append(buf, static_cast<std::size_t>(got));
        // The file may grow while it is read.
        if (contents.size() > maxBytes)
            return fail("it holds more than the " + std::to_string(maxBytes) +
                        " bytes a problem file may hold");
    }
    return contents;
}

Status LoadProblemFile(const std::string& path,
                       const std::function<Status(std::string_view contents)>& parse,
                       std::size_t maxBytes) {
    constexpr std::string_view kUnchanged = " The current problem is unchanged.";
    Result<std::string> contents = ReadProblemFile(path, maxBytes);
    if (!contents)
        return Fail(contents.message() + std::string(kUnchanged));
    if (Status parsed = parse(*contents); !parsed)
        return Fail("The file " + ShownPath(path) + " cannot be read: " + parsed.message() +
                    std::string(kUnchanged));
    return {};
}

Status SaveProblemFile(const std::string& path, const std::string& contents) {
    if (auto reason = WriteFileAtomically(path, contents))
        return Fail("The file " + ShownPath(path) + " was not saved: " + *reason + ".");
    return {};
}

std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               const std::string& contents) {
    // Saving through a link replaces the file it points to, not the link.
    const std::optional<fs::path> resolved = SaveTarget(path);
    if (!resolved)
        return Reason("write", path, ELOOP);
    const fs::path target = *resolved;
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";

    // The rename would put a regular file in the place of a folder, a pipe, a device or a
    // socket (as root, even of /dev/null): a save replaces only a file.
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        return "cannot write " + ShownPath(path) + ": it is " + KindOf(old.st_mode) +
               ", not a file; save under another name";
    // The atomic rename would replace a file the user marked read-only without a word; refuse
    // it as an editor does.
    if (replacing && ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0))
        return "cannot write " + ShownPath(path) +
               ": the file is read-only; allow writing to it, or save under another name";

    RemoveStaleTempFiles(folder);

    fs::path temp;
    int fd = -1;
    int err = 0;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder / TempName();
        // Mode 0666 lets the umask decide, as for any new file.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (err = errno) != EEXIST)
            break;
    }
    if (fd < 0)
        return Reason("write", path, err);
    // Held until the file is closed: tells a later save that this one is still alive.
    ::flock(fd, LOCK_EX | LOCK_NB);

    auto abandon = [&](int e) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.c_str());
        return Reason("write", path, e);
    };

    // A replaced file keeps its permissions.
    if (replacing)
        ::fchmod(fd, old.st_mode & 07777);

    const char* p = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        ssize_t put = ::write(fd, p, left);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return abandon(errno);
        }
        p += put;
        left -= static_cast<std::size_t>(put);
    }
    if (::fsync(fd) != 0 && errno != EINVAL) // EINVAL: a file system that cannot sync
        return abandon(errno);
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return abandon(errno);
    if (::rename(temp.c_str(), target.c_str()) != 0)
        return abandon(errno);
    SyncFolder(folder);
    return std::nullopt;
}

} // namespace davrenta
