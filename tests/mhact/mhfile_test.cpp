#include "mhact/mhfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

#include "app/modulestate.h"
#include "mhact/texts.h"
#include "mhact_fixtures.h"
#include "randomfigures.h"

namespace davrenta {
namespace {

using mhtest::Layout;
using testing::RandomFigures;
using testing::SameBits;
namespace fs = std::filesystem;

const char* const kTwoDepartments =
    " 2 \r\n"
    "Press         ,              1.5          ,              4 \r\n"
    "Paint         ,              3            ,              8 \r\n"
    " 0 \r\n 5 \r\n 3 \r\n 0 \r\n";

TEST(MhFileWriter, DepartmentLinesInFourteenCharacterZones) {
    EXPECT_EQ(DepartmentLine("Press", 1.5, 4),
              "Press         ,              1.5          ,              4 ");
    EXPECT_EQ(DepartmentLine("A", -2, 0.25),
              "A             ,             -2            ,              0.25 ");
    // A name filling its zone exactly leaves the comma at position 15.
    EXPECT_EQ(DepartmentLine("Fourteen chars", 1, 2),
              "Fourteen chars,              1            ,              2 ");
    // A longer name pushes every later field one zone on.
    EXPECT_EQ(DepartmentLine("Final Assembly Hall", 10, 20),
              "Final Assembly Hall         ,              10           ,              20 ");
    EXPECT_EQ(DepartmentLine("", 1, 2),
              "              ,              1            ,              2 ");
}

TEST(MhFileWriter, TwoDepartmentsMakeSevenLines) {
    MhActivityState mh = Layout({{"Press", 1.5, 4}, {"Paint", 3, 8}}, {{0, 5}, {3, 0}});
    auto text = MhFileContents(mh);
    ASSERT_TRUE(text.ok()) << text.message();
    EXPECT_EQ(*text, kTwoDepartments);
}

TEST(MhFileWriter, RefusesNamesThatWouldNotReadBack) {
    for (const char* name : {"Paint, wet", "\"Paint\"", " Paint", "Paint ", "Pa\r\nint"}) {
        MhActivityState mh = Layout({{"Press", 1, 4}, {name, 3, 8}});
        auto text = MhFileContents(mh);
        ASSERT_FALSE(text.ok()) << name;
        EXPECT_NE(text.message().find("department 2"), std::string::npos) << text.message();
    }
}

TEST(MhFileWriter, RefusesNumbersAndCountsTheReaderWouldRefuse) {
    MhActivityState mh = Layout({{"Press", 1, 4}, {"Paint", 3, 8}}, {{0, 5}, {3, 0}});
    mh.MoveCount(1, 2) = std::numeric_limits<double>::infinity();
    auto text = MhFileContents(mh);
    ASSERT_FALSE(text.ok());
    EXPECT_EQ(text.message(), "The number of moves from department 1 to 2 goes beyond the "
                              "largest number, which a problem file cannot keep. The problem is "
                              "not saved.");
    mh.MoveCount(1, 2) = 5;
    mh.DeptY[2] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(MhFileContents(mh).message(),
              "The location of department 2 goes beyond the largest number, which a problem file "
              "cannot keep. The problem is not saved.");
    EXPECT_EQ(MhFileContents(MhActivityState{}).message(),
              "There is no department to save. Enter the departments and save again.");
}

TEST(MhFileReader, ReadsFreeFields) {
    MhActivityState mh;
    ASSERT_TRUE(ParseMhProblem(kTwoDepartments, mh).ok());
    EXPECT_EQ(mh.DeptCount, 2);
    EXPECT_EQ(mh.DeptName[1], "Press");
    EXPECT_EQ(mh.DeptX[1], 1.5);
    EXPECT_EQ(mh.DeptY[2], 8);
    EXPECT_EQ(mh.MoveCount(1, 2), 5);
    EXPECT_EQ(mh.MoveCount(2, 1), 3);

    // Quotes removed, blanks around fields skipped, commas and line ends alike, LF alone.
    MhActivityState other;
    ASSERT_TRUE(ParseMhProblem("2\n \"Saw, band\" , 1,2\n  Lathe,3,  4\n0,1\n2,0", other).ok());
    EXPECT_EQ(other.DeptName[1], "Saw, band");
    EXPECT_EQ(other.DeptName[2], "Lathe");
    EXPECT_EQ(other.MoveCount(2, 1), 2);
}

TEST(MhFileReader, BlankLinesAndAnEndOfFileMarkMayFollowTheLastMoveCount) {
    MhActivityState mh;
    ASSERT_TRUE(ParseMhProblem(" 1 \r\nA, 1 , 2 \r\n 4 \r\n\r\n\x1a", mh).ok());
    EXPECT_EQ(mh.MoveCount(1, 1), 4);
}

TEST(MhFileReader, ClearsWhatAnEarlierProblemLeftBeyondTheNewOne) {
    MhActivityState mh =
        Layout({{"A", 1, 1}, {"B", 2, 2}, {"C", 3, 3}}, {{0, 1, 2}, {0, 0, 9}, {0, 0, 0}});
    ASSERT_TRUE(ParseMhProblem(kTwoDepartments, mh).ok());
    EXPECT_TRUE(mh.DeptName[3].empty());
    EXPECT_EQ(mh.MoveCount(2, 3), 0);
}

TEST(MhFileReader, MalformedFilesLeaveTheProblemUnchanged) {
    const struct {
        const char* contents;
        const char* says;
    } cases[] = {
        {"", "line 1, department count: the file ends before the number of departments."},
        {"16\r\n", "is not a whole number from 1 to 15"},
        {"0\r\n", "is not a whole number from 1 to 15"},
        {"2.5\r\n", "is not a whole number from 1 to 15"},
        {"two\r\n", "the number of departments \"two\" is not a whole number from 1 to 15"},
        {"2\r\nA,1,2\r\nB,3\r\n",
         "line 3, department 2: the file ends before the Y of department 2."},
        {"2\r\nA,1,2\r\nB,3,4\r\n0\r\n5\r\n3\r\n", "move count 2,2: the file ends"},
        {"1\r\nA,x1,2\r\n0\r\n",
         "line 2, department 1: the X of department 1 \"x1\" is not a number."},
        {"1\r\nA,1,\"2\"\r\n0\r\n", "the Y of department 1"},
        {"1\r\nA,1,2\r\n\xff\xfe\r\n", "\"\\xFF\\xFE\" is not a number"},
        {"1\r\nA,1,2\r\n0\r\nB\r\n",
         "line 4, after move count 1,1: the file holds more than the 1 departments and 1 move "
         "counts it declares: \"B\" follows the last record."},
        // A trailing comma is refused as in every study's file.
        {"1\r\nA,1,2\r\n 0 ,\r\n", "line 3, after move count 1,1: the file holds more than "
                                   "the 1 departments and 1 move counts it declares: a comma "
                                   "follows the last value."},
        {"1\r\nA,1e999,2\r\n0\r\n", "the X of department 1"},
    };
    for (const auto& c : cases) {
        MhActivityState mh = Layout({{"Old", 7, 7}}, {{3}});
        const MhActivityState before = mh;
        Status read = ParseMhProblem(c.contents, mh);
        ASSERT_FALSE(read.ok()) << c.contents;
        EXPECT_NE(read.message().find(c.says), std::string::npos) << read.message();
        EXPECT_EQ(mh.DeptCount, 1);
        EXPECT_EQ(mh.DeptName[1], "Old");
        EXPECT_EQ(mh.DeptX[1], 7);
        EXPECT_EQ(mh.MoveCount(1, 1), 3);
    }
}

class MhFileOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("mhfile-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        state.mh = Layout({{"Old", 7, 7}}, {{3}});
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }
    void ExpectUnchanged() {
        EXPECT_EQ(state.mh.DeptCount, 1);
        EXPECT_EQ(state.mh.DeptName[1], "Old");
    }
    std::string Write(const std::string& name, const std::string& contents) {
        std::ofstream(dir / name, std::ios::binary) << contents;
        return (dir / name).string();
    }
    fs::path dir;
    ModuleState state;
};

TEST_F(MhFileOnDisk, SavedFileReadsBackToTheSameResults) {
    state.mh = Layout({{"Saw", 0, 4}, {"Lathe", 3, 8}, {"Pack", 6, 8.125}},
                      {{0, 5, 2}, {3, 0, 0}, {0, 1, 0}});
    const MhResultsTexts first = OpenMhResults(state.mh, Metric::Euclidean, '\r');
    state.ProblemFileName = (dir / "shop.mh").string();
    ASSERT_TRUE(WriteMhFile(state).ok());
    ModuleState again;
    again.ProblemFileName = state.ProblemFileName;
    ASSERT_TRUE(ReadMhFile(again).ok());
    EXPECT_EQ(again.mh.MoveCount(2, 1), 0);
    EXPECT_EQ(again.mh.MoveCount(1, 2), 8);
    const MhResultsTexts second = OpenMhResults(again.mh, Metric::Euclidean, '\r');
    EXPECT_EQ(second.res1grd, first.res1grd);
    EXPECT_EQ(second.Label2, first.Label2);
    EXPECT_EQ(second.Label3, first.Label3);
}

TEST_F(MhFileOnDisk, UnreadablePathsLeaveTheProblemUnchanged) {
    const std::string fifo = (dir / "pipe.mh").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string big = Write("big.mh", "1\r\nA,1,2\r\n" + std::string(2 << 20, '0') + "\r\n");
    for (const std::string& path : {fifo, dir.string(), big, (dir / "missing.mh").string()}) {
        state.ProblemFileName = path;
        Status read = ReadMhFile(state);
        ASSERT_FALSE(read.ok()) << path;
        EXPECT_NE(read.message().find(path), std::string::npos) << read.message();
        ExpectUnchanged();
    }
}

TEST_F(MhFileOnDisk, MalformedFileMessageNamesTheFile) {
    state.ProblemFileName = Write("bad.mh", "1\r\nA,1,\xc3\x28\r\n0\r\n");
    Status read = ReadMhFile(state);
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.message().find("bad.mh"), std::string::npos);
    EXPECT_NE(read.message().find("department 1"), std::string::npos) << read.message();
    ExpectUnchanged();
}

TEST_F(MhFileOnDisk, AFailedSaveKeepsTheOldFile) {
    state.ProblemFileName = Write("kept.mh", "old contents");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(dir.c_str(), W_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore a read-only folder";
    EXPECT_FALSE(WriteMhFile(state).ok());
    std::ifstream in(state.ProblemFileName, std::ios::binary);
    std::stringstream kept;
    kept << in.rdbuf();
    EXPECT_EQ(kept.str(), "old contents");
}

TEST_F(MhFileOnDisk, ARefusedNameWritesNothing) {
    state.ProblemFileName = Write("kept.mh", "old contents");
    state.mh.DeptName[1] = "Paint, wet";
    EXPECT_FALSE(WriteMhFile(state).ok());
    std::ifstream in(state.ProblemFileName, std::ios::binary);
    std::stringstream kept;
    kept << in.rdbuf();
    EXPECT_EQ(kept.str(), "old contents");
}

void ExpectSameProblem(const MhActivityState& a, const MhActivityState& b) {
    ASSERT_EQ(a.DeptCount, b.DeptCount);
    for (int i = 1; i <= a.DeptCount; ++i) {
        EXPECT_EQ(a.DeptName[i], b.DeptName[i]);
        EXPECT_TRUE(SameBits(a.DeptX[i], b.DeptX[i])) << i;
        EXPECT_TRUE(SameBits(a.DeptY[i], b.DeptY[i])) << i;
        for (int j = 1; j <= a.DeptCount; ++j)
            EXPECT_TRUE(SameBits(a.MoveCount(i, j), b.MoveCount(i, j))) << i << "," << j;
    }
}

// What the results, switch and improvement windows would show, or why they refuse.
std::vector<std::string> Shown(MhActivityState& mh, Metric method) {
    std::vector<std::string> shown;
    if (Status s = CheckActivityResult(mh, method); !s)
        return {s.message()};
    const MhResultsTexts results = OpenMhResults(mh, method, '\r');
    for (const auto& row : results.res1grd)
        for (const std::string& cell : row)
            shown.push_back(cell);
    shown.insert(shown.end(), {results.Label2, results.Label3});
    if (Status s = CheckSwitchResult(mh, method); !s) {
        shown.push_back(s.message());
        return shown;
    }
    for (const auto& row : OpenSwitches(mh, method).res2grd)
        shown.push_back(row[2]);
    if (Status s = CheckImproveResult(mh, method); !s) {
        shown.push_back(s.message());
        return shown;
    }
    shown.push_back(ImproveResultTexts(mh, Improve(mh, method)).Label1);
    return shown;
}

TEST_F(MhFileOnDisk, ReadComputeSaveReadGivesTheSameProblemAndResults) {
    RandomFigures random(9042);
    int shown = 0, refused = 0;
    for (int round = 0; round < 250; ++round) {
        const bool plain = random.chance(60);
        const auto value = [&] { return plain ? random.mostlyPlain() : random.any(); };
        MhActivityState made;
        made.DeptCount = random.whole(1, kMaxDepartments);
        std::string text = std::to_string(made.DeptCount) + "\r\n";
        const auto typed = [](double v) { return testing::Typed(v); };
        for (int i = 1; i <= made.DeptCount; ++i) {
            const std::string name = random.name(20);
            made.DeptName[i] = name;
            made.DeptX[i] = value();
            made.DeptY[i] = value();
            text += name + "," + typed(made.DeptX[i]) + "," + typed(made.DeptY[i]) + "\r\n";
        }
        for (int i = 1; i <= made.DeptCount; ++i)
            for (int j = 1; j <= made.DeptCount; ++j) {
                made.MoveCount(i, j) = random.chance(40) ? 0 : value();
                const bool last = i == made.DeptCount && j == made.DeptCount;
                text += typed(made.MoveCount(i, j)) + (!last && random.chance(50) ? "," : "\r\n");
            }
        state.ProblemFileName = Write("first.mh", text);
        ASSERT_TRUE(ReadMhFile(state).ok()) << text;
        ExpectSameProblem(state.mh, made);
        const Metric method = static_cast<Metric>(random.whole(1, 3));
        const std::vector<std::string> first = Shown(state.mh, method);

        // Saved as Save writes it (without waiting for the disk at every round).
        const Result<std::string> saved = MhFileContents(state.mh);
        ASSERT_TRUE(saved.ok()) << saved.message();
        ModuleState again;
        again.ProblemFileName = Write("second.mh", *saved);
        ASSERT_TRUE(ReadMhFile(again).ok()) << *saved;
        ExpectSameProblem(again.mh, state.mh);
        EXPECT_EQ(Shown(again.mh, method), first);
        (first.size() == 1 ? refused : shown) += 1;
    }
    EXPECT_GT(shown, 50);
    EXPECT_GT(refused, 20);
}

} // namespace
} // namespace davrenta
