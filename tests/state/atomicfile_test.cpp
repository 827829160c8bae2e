#include "state/atomicfile.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
