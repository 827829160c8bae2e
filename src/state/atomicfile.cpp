#include "state/atomicfile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace davrenta {

namespace {

namespace fs = std::filesystem;

std::string Reason(const char* verb, const std::string& path, int err) {
    return std::string("cannot ") + verb + " " + path + ": " + std::strerror(err);
}

// Closes on every path out; close errors on a file being read carry no information.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

// A short name of our own beside the target: a name derived from the target's could exceed
// the longest name the folder allows even when the target's own name fits.
std::string TempName() {
    static std::atomic<unsigned> counter{0};
    static const unsigned long long salt = std::random_device{}();
    std::mt19937_64 mix(salt ^ (static_cast<unsigned long long>(::getpid()) << 20) ^ counter++);
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".davrenta-save-";
    for (int i = 0; i < 10; ++i)
        name += alphabet[mix() % (sizeof alphabet - 1)];
    return name + ".tmp";
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
        return Fail("The file " + path + " cannot be read: " + why + ".");
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

Status SaveProblemFile(const std::string& path, const std::string& contents) {
    if (auto reason = WriteFileAtomically(path, contents))
        return Fail("The file " + path + " was not saved: " + *reason + ".");
    return {};
}

std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               const std::string& contents) {
    fs::path target(path);
    std::error_code ec;
    // Saving through a link replaces the file it points to, not the link.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";

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

    auto abandon = [&](int e) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.c_str());
        return Reason("write", path, e);
    };

    // A replaced file keeps its permissions.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
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
