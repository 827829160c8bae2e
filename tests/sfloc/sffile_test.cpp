#include "sfloc/sffile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "app/modulestate.h"
#include "randomfigures.h"
#include "sfloc/solve.h"
#include "sfloc_fixtures.h"

namespace davrenta {
namespace {

namespace fs = std::filesystem;
using testing::RandomFigures;
using testing::SameBits;
using testing::Table;
using testing::Typed;

class SfFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("sffile-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    // Loads a file over a problem already in the table; returns the message, empty on success.
    std::string Load(const std::string& path) {
        state.ProblemFileName = path;
        Status s = ReadSfFile(state);
        return s.message();
    }

    fs::path dir;
    ModuleState state;
};

TEST_F(SfFile, WriterWritesOneRecordPerLine) {
    EXPECT_EQ(SfFileContents(Table({{1, 2, 10}, {4, 5.5, 20}})), "2\r\n1,2,10\r\n4,5.5,20\r\n");
    EXPECT_EQ(SfFileContents(SingleFacilityState{}), "0\r\n");
}

TEST_F(SfFile, NumbersAreWrittenInPlainDecimalBelowTenToTheFifteenth) {
    EXPECT_EQ(SfFileContents(Table({{100000, 0.0001, 2e6}, {1e15, -0.000001, 1e-7}})),
              "2\r\n100000,0.0001,2000000\r\n1E+15,-0.000001,1E-07\r\n");
}

TEST_F(SfFile, SaveAfterSolveThenLoadGivesTheSameTableAndResults) {
    state.sf = Table({{3, 4, 2}, {8, 1, 3}, {-1.5, 2, 2.75}});
    auto before = SolveSingleFacility(state.sf);
    ASSERT_TRUE(before.ok());
    state.ProblemFileName = (dir / "three.sf").string();
    ASSERT_TRUE(WriteSfFile(state).ok());

    ModuleState other;
    other.ProblemFileName = state.ProblemFileName;
    ASSERT_TRUE(ReadSfFile(other).ok());
    EXPECT_EQ(other.sf.ExistingFacilityCount, 3);
    EXPECT_EQ(other.sf.FacilityWeight[3], 2.75);
    auto after = SolveSingleFacility(other.sf);
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(SolutionLabels(*after), SolutionLabels(*before));
}

TEST_F(SfFile, ValuesSpreadOverLinesInAnyWayReadTheSame) {
    for (const char* bytes :
         {"1,7.25,-3,0.125", "1\n7.25\n-3\n0.125\n", " 1 ,\t7.25\r\n-3, 0.125\r\n\r\n"}) {
        ASSERT_EQ(Load(Write("one.sf", bytes)), "") << bytes;
        EXPECT_EQ(state.sf.ExistingFacilityCount, 1);
        EXPECT_EQ(state.sf.FacilityX[1], 7.25);
        EXPECT_EQ(state.sf.FacilityY[1], -3.0);
        EXPECT_EQ(state.sf.FacilityWeight[1], 0.125);
    }
}

TEST_F(SfFile, CountZeroLoadsAnEmptyTable) {
    state.sf = Table({{1, 1, 1}});
    ASSERT_EQ(Load(Write("empty.sf", "0\r\n")), "");
    EXPECT_EQ(state.sf.ExistingFacilityCount, 0);
}

TEST_F(SfFile, MalformedFilesLeaveTheProblemUnchanged) {
    const SingleFacilityState before = Table({{1, 2, 3}, {4, 5, 6}});
    struct Case {
        const char* bytes;
        const char* why;
    };
    const Case cases[] = {
        {"2\r\n1,2,3\r\n4,5\r\n",
         "line 3, facility record 2: the file ends before the weight of facility 2."},
        {"1\r\n1,abc,3\r\n",
         "line 2, facility record 1: the y coordinate of facility 1 \"abc\" is not a number."},
        {"21\r\n", "line 1, count record: the number of existing facilities \"21\" is not a whole "
                   "number from 0 to 20."},
        {"2.5\r\n", "line 1, count record: the number of existing facilities \"2.5\" is not a "
                    "whole number from 0 to 20."},
        {"-1\r\n", "line 1, count record: the number of existing facilities \"-1\" is not a whole "
                   "number from 0 to 20."},
        {"", "line 1, count record: the file ends before the number of existing facilities."},
        {"1\r\n1,2,inf\r\n",
         "line 2, facility record 1: the weight of facility 1 \"inf\" is not a number."},
        {"1\r\n\"1\",2,3\r\n",
         "line 2, facility record 1: the x coordinate of facility 1 \"1\" is not a number."},
        {"1\r\n1,2,3\r\n4,5,6\r\n",
         "line 3, after facility record 1: the file holds more than the 1 facilities its first "
         "record counts: \"4\" follows the last record."},
        // A trailing comma is refused as in every study's file.
        {"1\r\n1,2,3,\r\n", "line 2, after facility record 1: the file holds more than the 1 "
                            "facilities its first record counts: a comma follows the last value."},
        // The record that would start the next line is named on that line.
        {"2\r\n1,2,3\r\n",
         "line 3, facility record 2: the file ends before the x coordinate of facility 2."},
        {"1\r\n1,2,\xE9\xFF\r\n",
         "line 2, facility record 1: the weight of facility 1 \"\\xE9\\xFF\" is not a number."},
    };
    for (const Case& c : cases) {
        state.sf = before;
        const std::string path = Write("bad.sf", c.bytes);
        EXPECT_EQ(Load(path), "The file " + path + " cannot be read: " + c.why +
                                  " The current problem is unchanged.")
            << c.bytes;
        EXPECT_EQ(state.sf.ExistingFacilityCount, 2);
        EXPECT_EQ(state.sf.FacilityX, before.FacilityX);
        EXPECT_EQ(state.sf.FacilityWeight, before.FacilityWeight);
    }
}

TEST_F(SfFile, FolderPipeOversizedFileAreRefusedWithoutChange) {
    state.sf = Table({{1, 2, 3}});
    const fs::path fifo = dir / "pipe.sf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(dir / "folder.sf");
    const std::string big = Write("big.sf", "1\r\n1,2,3\r\n" + std::string(2 << 20, ' '));
    for (const std::string& path :
         {fifo.string(), (dir / "folder.sf").string(), big, (dir / "missing.sf").string()}) {
        const std::string message = Load(path);
        EXPECT_EQ(message.rfind("The file " + path + " cannot be read: ", 0), 0u) << message;
        EXPECT_NE(message.find("The current problem is unchanged."), std::string::npos);
        EXPECT_EQ(state.sf.ExistingFacilityCount, 1);
        EXPECT_EQ(state.sf.FacilityX[1], 1.0);
    }
    EXPECT_NE(Load(big).find("2097162 bytes"), std::string::npos);
}

TEST_F(SfFile, FailedSaveKeepsTheOldFile) {
    const std::string path = Write("kept.sf", "1\r\n9,9,9\r\n");
    state.sf = Table({{1, 2, 3}});
    state.ProblemFileName = (dir / "no-such-folder" / "x.sf").string();
    Status s = WriteSfFile(state);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.message().rfind("The file " + state.ProblemFileName + " was not saved: ", 0), 0u);
    ASSERT_EQ(Load(path), "");
    EXPECT_EQ(state.sf.FacilityX[1], 9.0);
}

void ExpectSameTable(const SingleFacilityState& a, const SingleFacilityState& b) {
    ASSERT_EQ(a.ExistingFacilityCount, b.ExistingFacilityCount);
    for (std::size_t i = 1; i <= static_cast<std::size_t>(a.ExistingFacilityCount); ++i) {
        EXPECT_TRUE(SameBits(a.FacilityX[i], b.FacilityX[i])) << i;
        EXPECT_TRUE(SameBits(a.FacilityY[i], b.FacilityY[i])) << i;
        EXPECT_TRUE(SameBits(a.FacilityWeight[i], b.FacilityWeight[i])) << i;
    }
}

TEST_F(SfFile, ReadSolveSaveReadGivesTheSameProblemAndAnswers) {
    RandomFigures random(1318);
    int solved = 0, refused = 0;
    for (int round = 0; round < 400; ++round) {
        SingleFacilityState made;
        made.ExistingFacilityCount = random.whole(0, kMaxFacilities);
        std::string text = std::to_string(made.ExistingFacilityCount);
        for (std::size_t i = 1; i <= static_cast<std::size_t>(made.ExistingFacilityCount); ++i) {
            const bool plain = round % 2 == 0;
            for (double* value :
                 {&made.FacilityX[i], &made.FacilityY[i], &made.FacilityWeight[i]}) {
                *value = plain ? random.mostlyPlain() : random.any();
                text += (random.chance(50) ? "\r\n" : ",") + Typed(*value);
            }
        }
        state.ProblemFileName = Write("first.sf", text);
        ASSERT_TRUE(ReadSfFile(state).ok()) << text;
        ExpectSameTable(state.sf, made);
        const auto first = SolveSingleFacility(state.sf);

        // Saved as Save writes it (without waiting for the disk at every round).
        ModuleState again;
        again.ProblemFileName = Write("second.sf", SfFileContents(state.sf));
        ASSERT_TRUE(ReadSfFile(again).ok()) << SfFileContents(state.sf);
        ExpectSameTable(again.sf, state.sf);
        EXPECT_EQ(SfFileContents(again.sf), SfFileContents(state.sf));
        const auto second = SolveSingleFacility(again.sf);
        ASSERT_EQ(second.ok(), first.ok()) << text;
        if (!first) {
            EXPECT_EQ(second.message(), first.message());
            ++refused;
            continue;
        }
        ++solved;
        EXPECT_EQ(SolutionLabels(*second), SolutionLabels(*first));
        EXPECT_EQ(ObjectiveTexts(*second), ObjectiveTexts(*first));
        for (const auto& [a, b] : {std::pair{first->rectObjective, second->rectObjective},
                                   {first->euclObjective, second->euclObjective},
                                   {first->sqeuObjective, second->sqeuObjective}})
            EXPECT_TRUE(SameBits(a, b));
    }
    // Both outcomes were met often enough to count.
    EXPECT_GT(solved, 50);
    EXPECT_GT(refused, 20);
}

} // namespace
} // namespace davrenta
