#include "state/atomicfile.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace davrenta {
namespace {

namespace fs = std::filesystem;

class AtomicFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "davrenta-atomic-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    void put(const std::string& name, const std::string& contents) const {
        std::ofstream(path(name), std::ios::binary) << contents;
    }

    std::string contentsOf(const std::string& name) const {
        std::string error;
        auto c = ReadWholeFile(path(name), &error);
        EXPECT_TRUE(c.has_value()) << error;
        return c.value_or("");
    }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    fs::path dir_;
};

TEST_F(AtomicFile, ReadsWholeFileByteForByte) {
    std::string bytes("a\r\nb\0c\xff", 7);
    bytes += std::string(200000, 'x');
    put("f.fl", bytes);
    EXPECT_EQ(contentsOf("f.fl"), bytes);
    put("empty.fl", "");
    EXPECT_EQ(contentsOf("empty.fl"), "");
}

TEST_F(AtomicFile, ReadFailureNamesFileAndReason) {
    std::string error;
    EXPECT_FALSE(ReadWholeFile(path("missing.fl"), &error).has_value());
    EXPECT_EQ(error, "cannot read " + path("missing.fl") + ": No such file or directory");
    EXPECT_FALSE(ReadWholeFile(dir_.string(), &error).has_value());
    EXPECT_EQ(error, "cannot read " + dir_.string() + ": Is a directory");
    EXPECT_FALSE(ReadWholeFile(path("missing.fl"), nullptr).has_value());
}

TEST_F(AtomicFile, WritesNewFileAndReplacesOldOne) {
    EXPECT_EQ(WriteFileAtomically(path("p.fl"), "first\r\n"), std::nullopt);
    EXPECT_EQ(contentsOf("p.fl"), "first\r\n");
    EXPECT_EQ(WriteFileAtomically(path("p.fl"), "second"), std::nullopt);
    EXPECT_EQ(contentsOf("p.fl"), "second");
    EXPECT_EQ(WriteFileAtomically(path("p.fl"), ""), std::nullopt);
    EXPECT_EQ(contentsOf("p.fl"), "");
    EXPECT_EQ(names(), std::vector<std::string>{"p.fl"});
}

TEST_F(AtomicFile, ReplacedFileKeepsPermissions) {
    put("p.fl", "old");
    ASSERT_EQ(::chmod(path("p.fl").c_str(), 0640), 0);
    ASSERT_EQ(WriteFileAtomically(path("p.fl"), "new"), std::nullopt);
    struct stat st {};
    ASSERT_EQ(::stat(path("p.fl").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(AtomicFile, WritingThroughLinkReplacesLinkedFile) {
    put("real.fl", "old");
    fs::create_symlink(path("real.fl"), path("link.fl"));
    ASSERT_EQ(WriteFileAtomically(path("link.fl"), "new"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(path("link.fl")));
    EXPECT_EQ(contentsOf("real.fl"), "new");
}

TEST_F(AtomicFile, FailsWhenFolderIsMissingOrNotAFolder) {
    std::string target = path("nofolder/p.fl");
    EXPECT_EQ(WriteFileAtomically(target, "x"),
              "cannot write " + target + ": No such file or directory");
    put("plain", "I am a file");
    target = path("plain/p.fl");
    EXPECT_EQ(WriteFileAtomically(target, "x"), "cannot write " + target + ": Not a directory");
    EXPECT_EQ(contentsOf("plain"), "I am a file");
    EXPECT_EQ(names(), std::vector<std::string>{"plain"});
}

TEST_F(AtomicFile, FailedRenameLeavesTargetAndNoTempFile) {
    fs::create_directory(path("p.fl"));
    put("p.fl/inside", "kept");
    auto reason = WriteFileAtomically(path("p.fl"), "x");
    ASSERT_TRUE(reason.has_value());
    EXPECT_EQ(reason->rfind("cannot write " + path("p.fl") + ": ", 0), 0u) << *reason;
    EXPECT_EQ(contentsOf("p.fl/inside"), "kept");
    EXPECT_EQ(names(), std::vector<std::string>{"p.fl"});
}

// A file-size limit makes the write itself fail part way, even for root.
TEST_F(AtomicFile, FailedWriteLeavesOldFileWhole) {
    put("p.fl", "old contents");
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    auto reason = WriteFileAtomically(path("p.fl"), std::string(100000, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(reason, "cannot write " + path("p.fl") + ": File too large");
    EXPECT_EQ(contentsOf("p.fl"), "old contents");
    EXPECT_EQ(names(), std::vector<std::string>{"p.fl"});
}

} // namespace
} // namespace davrenta

namespace davrenta {
namespace {

class ProblemFile : public AtomicFile {};

TEST_F(ProblemFile, PipesDevicesFoldersAndHugeFilesAreRefusedWithoutBlocking) {
    ASSERT_EQ(::mkfifo(path("pipe.fl").c_str(), 0600), 0);
    Result<std::string> read = ReadProblemFile(path("pipe.fl"));
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.message(),
              "The file " + path("pipe.fl") + " cannot be read: it is not a regular file.");
    read = ReadProblemFile("/dev/zero");
    EXPECT_EQ(read.message(), "The file /dev/zero cannot be read: it is not a regular file.");
    read = ReadProblemFile(dir_.string());
    EXPECT_EQ(read.message(), "The file " + dir_.string() + " cannot be read: it is a folder.");
    put("big.fl", std::string(5000, 'x'));
    read = ReadProblemFile(path("big.fl"), 4096);
    EXPECT_EQ(read.message(), "The file " + path("big.fl") +
                                  " cannot be read: it holds 5000 bytes, more than the 4096 a "
                                  "problem file may hold.");
    ASSERT_TRUE(ReadProblemFile(path("big.fl"), 5000).ok());
    EXPECT_EQ(ReadProblemFile("").message(), "The file  cannot be read: no file name was given.");
    // A name with control bytes is shown escaped.
    EXPECT_EQ(ReadProblemFile(path("a\x1b[2Jb.fl")).message(),
              "The file " + path("a\\x1B[2Jb.fl") + " cannot be read: No such file or directory.");
}

TEST_F(ProblemFile, SavingThroughADanglingLinkWritesTheLinksTarget) {
    fs::create_symlink("real.fl", path("link.fl")); // relative, and real.fl does not exist yet
    ASSERT_TRUE(SaveProblemFile(path("link.fl"), "new").ok());
    EXPECT_TRUE(fs::is_symlink(path("link.fl")));
    EXPECT_EQ(contentsOf("real.fl"), "new");
    // A link to a link is followed to the end; a loop of links is refused.
    fs::create_symlink(path("link.fl"), path("link2.fl"));
    ASSERT_TRUE(SaveProblemFile(path("link2.fl"), "newer").ok());
    EXPECT_EQ(contentsOf("real.fl"), "newer");
    fs::create_symlink(path("loop2.fl"), path("loop1.fl"));
    fs::create_symlink(path("loop1.fl"), path("loop2.fl"));
    EXPECT_FALSE(SaveProblemFile(path("loop1.fl"), "x").ok());
    EXPECT_TRUE(fs::is_symlink(path("loop1.fl")));
}

TEST_F(ProblemFile, ReadOnlyFileIsNotOverwritten) {
    put("locked.fl", "kept");
    ASSERT_EQ(::chmod(path("locked.fl").c_str(), 0444), 0);
    Status saved = SaveProblemFile(path("locked.fl"), "lost");
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.message(), "The file " + path("locked.fl") + " was not saved: cannot write " +
                                   path("locked.fl") +
                                   ": the file is read-only; allow writing to it, or save under "
                                   "another name.");
    EXPECT_EQ(contentsOf("locked.fl"), "kept");
    EXPECT_EQ(names(), std::vector<std::string>{"locked.fl"});
}

TEST_F(ProblemFile, StaleTemporaryFilesOfASaveAreRemovedAtTheNextSave) {
    put(".davrenta-save-abcdefghij.tmp", std::string(1000, 'p')); // a save killed long ago
    put(".davrenta-save-klmnopqrst.tmp", "in flight");            // a save just started
    put(".davrenta-save-other.tmp", "not ours");
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path(".davrenta-save-abcdefghij.tmp").c_str(), old, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, path(".davrenta-save-other.tmp").c_str(), old, 0), 0);
    ASSERT_TRUE(SaveProblemFile(path("p.fl"), "x").ok());
    EXPECT_EQ(names(), (std::vector<std::string>{".davrenta-save-klmnopqrst.tmp",
                                                 ".davrenta-save-other.tmp", "p.fl"}));
}

// The rename of a save would put a regular file in the place of whatever the name holds; as
// root that could even be the system's /dev/null.
TEST_F(ProblemFile, SaveNeverReplacesAPipeADeviceASocketOrAFolder) {
    ASSERT_EQ(::mkfifo(path("pipe.sf").c_str(), 0600), 0);
    Status saved = SaveProblemFile(path("pipe.sf"), "1\r\n");
    EXPECT_EQ(saved.message(), "The file " + path("pipe.sf") + " was not saved: cannot write " +
                                   path("pipe.sf") +
                                   ": it is a named pipe, not a file; save under another name.");
    EXPECT_TRUE(fs::is_fifo(path("pipe.sf")));

    // Through a link, the link's target is what is refused.
    fs::create_symlink("/dev/null", path("null.sm"));
    saved = SaveProblemFile(path("null.sm"), "x");
    EXPECT_NE(saved.message().find(": it is a device, not a file"), std::string::npos)
        << saved.message();
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_symlink(path("null.sm")));

    fs::create_directory(path("folder.mh"));
    saved = SaveProblemFile(path("folder.mh"), "x");
    EXPECT_NE(saved.message().find(": it is a folder, not a file"), std::string::npos)
        << saved.message();
    EXPECT_TRUE(fs::is_directory(path("folder.mh")));

    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    struct sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = path("socket.mhs");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    saved = SaveProblemFile(socketPath, "x");
    ::close(sock);
    EXPECT_NE(saved.message().find(": it is a socket, not a file"), std::string::npos)
        << saved.message();
    EXPECT_TRUE(fs::is_socket(socketPath));

    // No temporary file is left beside any of them.
    EXPECT_EQ(names(), (std::vector<std::string>{"folder.mh", "null.sm", "pipe.sf", "socket.mhs"}));
}

// A device node of the /dev/null kind in a folder of the test's own; making one needs the
// rights to do so.
TEST_F(ProblemFile, SaveLeavesADeviceNodeAsItIs) {
    if (::mknod(path("dev.fl").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "no rights to make a device node";
    const Status saved = SaveProblemFile(path("dev.fl"), "x");
    EXPECT_FALSE(saved.ok());
    EXPECT_TRUE(fs::is_character_file(path("dev.fl")));
}

} // namespace
} // namespace davrenta
