#include "app/modulestate.h"
#include "popmap/mapfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "popmap/search.h"
#include "popmap/sequence.h"
#include "popmap_fixtures.h"
#include "randomfigures.h"
#include "state/atomicfile.h"
#include "state/numbers.h"

namespace davrenta {
namespace {

using testing::MakeState;
using testing::Problem;
using testing::RandomFigures;
using testing::SameBits;

namespace fs = std::filesystem;

class TempDir : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("davrenta-mapfile-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

std::string Contents(const PopMap& fl) {
    const auto text = MapFileContents(fl);
    EXPECT_TRUE(text.ok()) << text.message();
    return text ? *text : std::string();
}

TEST(MapFileFormat, WritesTheRecordsInOrder) {
    Problem p{{{"A", 100}, {"B", 2.5}, {"C", 1200}}, {{2, 3}, {1, 1}}, {"AAB", " CC", "B"}};
    ModuleState s = MakeState(p);
    EXPECT_EQ(Contents(s.fl), "3,2,4\r\n\"A\",100\r\n\"B\",2.5\r\n\"C\",1200\r\n2,3\r\n1,1\r\n"
                              "3,\"AAB\"\r\n3,\" CC\"\r\n1,\"B\"\r\n");
}

TEST(MapFileFormat, NoExistingPodAndEmptyLineInsideTheMap) {
    Problem p{{{"A", 7}}, {}, {"A", "", "  A  "}};
    ModuleState s = MakeState(p);
    const std::string text = Contents(s.fl);
    EXPECT_EQ(text, "1,0,4\r\n\"A\",7\r\n1,\"A\"\r\n0,\"\"\r\n5,\"  A  \"\r\n");

    ModuleState back;
    ASSERT_TRUE(ParseMapProblem(text, back.fl).ok());
    EXPECT_EQ(back.fl.ExistingPodCount, 0);
    EXPECT_EQ(back.fl.MapLine[2], "");
    EXPECT_EQ(back.fl.MapLine[3], "  A  "); // leading and trailing blanks kept
    EXPECT_EQ(back.fl.MapLineLength[3], 5);
    EXPECT_EQ(back.fl.MapEndLine, 4);
    EXPECT_EQ(back.fl.TotalPopulation, 7);
}

TEST(MapFileFormat, RoundTripKeepsEveryValueExactly) {
    Problem p{
        {{"x", 0.1 + 0.2}, {"%", 1e-7}, {"Z", 123456789.125}}, {{50, 60}, {1, 1}}, {"xx%Z", "Z"}};
    ModuleState s = MakeState(p);
    ModuleState back;
    ASSERT_TRUE(ParseMapProblem(Contents(s.fl), back.fl).ok());
    for (int a = 1; a <= 3; ++a) {
        EXPECT_EQ(back.fl.AreaSymbol[a], s.fl.AreaSymbol[a]);
        EXPECT_EQ(back.fl.AreaPopulation[a], s.fl.AreaPopulation[a]);
    }
    EXPECT_EQ(back.fl.PodLine[1], 50);
    EXPECT_EQ(back.fl.PodColumn[1], 60);
    EXPECT_EQ(back.fl.TotalPopulation, s.fl.TotalPopulation);
    EXPECT_EQ(Contents(back.fl), Contents(s.fl));
}

TEST(MapFileFormat, ReaderAcceptsLineFeedsAndLooseSpacing) {
    ModuleState s;
    ASSERT_TRUE(ParseMapProblem("1, 1, 2\n\"A\", 50\n 1 , 2\n2,\"AA\"\n", s.fl).ok());
    EXPECT_EQ(s.fl.AreaCount, 1);
    EXPECT_EQ(s.fl.PodColumn[1], 2);
    EXPECT_EQ(s.fl.MapLine[1], "AA");
    // Values may be spread over lines in any way.
    ModuleState t;
    ASSERT_TRUE(ParseMapProblem("1,0,2,\"A\",50,2,\"AA\"", t.fl).ok());
    EXPECT_EQ(t.fl.MapLine[1], "AA");
}

TEST(MapFileFormat, StoredLengthIsTakenFromTheText) {
    ModuleState s;
    ASSERT_TRUE(ParseMapProblem("1,0,2\r\n\"A\",50\r\n9,\"AA\"\r\n", s.fl).ok());
    EXPECT_EQ(s.fl.MapLineLength[1], 2);
}

TEST(MapFileFormat, LoadingEmptiesLinesOfAnEarlierLongerMap) {
    ModuleState s = MakeState(Problem{{{"A", 1}}, {{3, 1}}, {"A", "A", "A"}});
    ASSERT_TRUE(ParseMapProblem("1,0,2\r\n\"A\",5\r\n1,\"A\"\r\n", s.fl).ok());
    EXPECT_EQ(s.fl.MapLine[2], "");
    EXPECT_EQ(s.fl.MapLine[3], "");
    EXPECT_EQ(s.fl.PodLine[1], 0);
}

struct BadFile {
    const char* contents;
    const char* mentions;
};

class MalformedMapFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(MalformedMapFile, LeavesTheProblemUnchangedAndNamesTheRecord) {
    ModuleState s = MakeState(Problem{{{"Q", 9}}, {{1, 1}}, {"QQ"}});
    const PopMap before = s.fl;
    const Status read = ParseMapProblem(GetParam().contents, s.fl);
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.message().find(GetParam().mentions), std::string::npos) << read.message();
    EXPECT_EQ(s.fl.AreaCount, before.AreaCount);
    EXPECT_EQ(s.fl.AreaSymbol, before.AreaSymbol);
    EXPECT_EQ(s.fl.AreaPopulation, before.AreaPopulation);
    EXPECT_EQ(s.fl.PodLine, before.PodLine);
    EXPECT_EQ(s.fl.MapLine, before.MapLine);
    EXPECT_EQ(s.fl.MapEndLine, before.MapEndLine);
    EXPECT_EQ(s.fl.TotalPopulation, before.TotalPopulation);
}

INSTANTIATE_TEST_SUITE_P(
    Records, MalformedMapFile,
    ::testing::Values(
        BadFile{"", "header record"}, BadFile{"1,0", "header record"},
        BadFile{"1,0,2\r\n\"A\",lots\r\n1,\"A\"\r\n", "line 2, area record 1"},
        BadFile{"2,0,2\r\n\"A\",5\r\n", "area record 2"},
        BadFile{"1,1,2\r\n\"A\",5\r\n1\r\n", "existing POD record 1"},
        BadFile{"1,1,2\r\n\"A\",5\r\n51,1\r\n1,\"A\"\r\n", "not a whole number from 1 to 50"},
        BadFile{"1,1,2\r\n\"A\",5\r\n1,61\r\n1,\"A\"\r\n", "not a whole number from 1 to 60"},
        BadFile{"1,1,2\r\n\"A\",5\r\n1.5,1\r\n1,\"A\"\r\n", "not a whole number"},
        BadFile{"142,0,2\r\n", "not a whole number from 0 to 141"},
        BadFile{"1,31,2\r\n", "not a whole number from 0 to 30"},
        BadFile{"1,0,52\r\n", "not a whole number from 0 to 51"},
        BadFile{"-1,0,2\r\n", "not a whole number from 0 to 141"},
        BadFile{"1,0,3\r\n\"A\",5\r\n1,\"A\"\r\n", "map line record 2"},
        BadFile{"1,0,2\r\n\"A\",5\r\n61,"
                "\"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\"\r\n",
                "more than the 60 columns"},
        BadFile{"x,0,2\r\n", "header record"},
        // Nothing but blank lines and an end-of-file mark may follow the last map line.
        BadFile{"1,0,2\r\n\"A\",5\r\n1,\"A\"\r\n7\r\n",
                "line 4, after map line record 1: the file holds more than the 1 areas, 0 "
                "existing PODs and 1 map lines its header counts: \"7\" follows the last record."},
        BadFile{"1,0,2\r\n\"A\",5\r\n1,\"A\",\r\n", "a comma follows the last value"},
        BadFile{"0,0,0\r\n\"A\"\r\n", "line 2, after header record"}));

TEST(MapFileFormat, BlankLinesAndAnEndOfFileMarkMayFollowTheMap) {
    ModuleState s;
    ASSERT_TRUE(ParseMapProblem("1,0,2\r\n\"A\",5\r\n1,\"A\"\r\n\r\n  \r\n\x1a", s.fl).ok());
    EXPECT_EQ(s.fl.MapLine[1], "A");
}

TEST(MapFileFormat, PodBeyondItsLineButInsideTheMapIsValid) {
    ModuleState s;
    ASSERT_TRUE(ParseMapProblem("1,1,2\r\n\"A\",5\r\n1,40\r\n2,\"AA\"\r\n", s.fl).ok());
    EXPECT_EQ(s.fl.PodColumn[1], 40);
}

TEST(MapFileFormat, TextWithADoubleQuoteIsNotWritten) {
    ModuleState s = MakeState(Problem{{{"\"", 5}}, {}, {"\"\""}});
    auto text = MapFileContents(s.fl);
    ASSERT_FALSE(text.ok());
    EXPECT_NE(text.message().find("area 1"), std::string::npos);
    ModuleState t = MakeState(Problem{{{"A", 5}}, {}, {"A\"A"}});
    text = MapFileContents(t.fl);
    ASSERT_FALSE(text.ok());
    EXPECT_NE(text.message().find("Map line 1"), std::string::npos);
}

TEST_F(TempDir, ReadAndWriteThroughTheChosenFile) {
    ModuleState s = MakeState(Problem{{{"A", 100}, {"B", 50}}, {{1, 2}}, {"AAB"}});
    s.ProblemFileName = path("town.fl");
    ASSERT_TRUE(WriteMapFile(s).ok());

    ModuleState back;
    back.ProblemFileName = s.ProblemFileName;
    ASSERT_TRUE(ReadMapFile(back).ok());
    EXPECT_EQ(back.fl.PodSymbol[1], "A");
    EXPECT_EQ(back.fl.PodSymbol[30], "^");
    EXPECT_EQ(back.fl.MapLine[1], "AAB");
    EXPECT_EQ(back.fl.TotalPopulation, 150);

    // No file chosen: nothing read, nothing written, labels rebuilt.
    ModuleState none = MakeState(Problem{{{"Q", 1}}, {}, {"Q"}});
    none.fl.PodSymbol[1] = "*";
    EXPECT_TRUE(ReadMapFile(none).ok());
    EXPECT_EQ(none.fl.PodSymbol[1], "A");
    EXPECT_EQ(none.fl.AreaSymbol[1], "Q");
    EXPECT_TRUE(WriteMapFile(none).ok());
}

TEST_F(TempDir, UnreadableFileNamesTheFile) {
    ModuleState s = MakeState(Problem{{{"Q", 1}}, {}, {"Q"}});
    s.ProblemFileName = path("missing.fl");
    Status read = ReadMapFile(s);
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.message().find("missing.fl"), std::string::npos);
    EXPECT_EQ(s.fl.AreaSymbol[1], "Q");

    std::ofstream(path("bad.fl")) << "1,0,2\r\n\"A\",x\r\n";
    s.ProblemFileName = path("bad.fl");
    read = ReadMapFile(s);
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.message().find("bad.fl"), std::string::npos);
    EXPECT_NE(read.message().find("area record 1"), std::string::npos);
}

TEST_F(TempDir, FailedSaveKeepsTheOldFile) {
    ModuleState s = MakeState(Problem{{{"A", 100}}, {}, {"A"}});
    s.ProblemFileName = path("keep.fl");
    ASSERT_TRUE(WriteMapFile(s).ok());
    const auto before = ReadWholeFile(s.ProblemFileName, nullptr);

    // A quote cannot be written: the old file stays as it was.
    s.fl.MapLine[1] = "A\"";
    EXPECT_FALSE(WriteMapFile(s).ok());
    EXPECT_EQ(ReadWholeFile(s.ProblemFileName, nullptr), before);

    // A target that is a folder cannot be replaced.
    fs::create_directories(path("folder.fl"));
    s.fl.MapLine[1] = "A";
    s.ProblemFileName = path("folder.fl");
    EXPECT_FALSE(WriteMapFile(s).ok());
    EXPECT_TRUE(fs::is_directory(path("folder.fl")));
}

TEST(ResultsSave, AddsTheNewPodAsAnExistingOne) {
    ModuleState s = MakeState(Problem{{{"A", 60}}, {{1, 1}, {1, 9}}, {"AAAAAAAAA"}});
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    const int line = s.fl.NewPodLine, column = s.fl.NewPodColumn;
    ASSERT_TRUE(AddNewPodsAsExisting(s.fl).ok());
    EXPECT_EQ(s.fl.ExistingPodCount, 3);
    const std::string text = Contents(s.fl);
    EXPECT_EQ(text.substr(0, 7), "1,3,2\r\n");
    EXPECT_NE(text.find("\r\n" + std::to_string(line) + "," + std::to_string(column) + "\r\n9,\"A"),
              std::string::npos);

    // Loading it and solving again locates the next POD elsewhere.
    ModuleState next;
    ResetPodSymbols(next.fl);
    ASSERT_TRUE(ParseMapProblem(text, next.fl).ok());
    next.fl.NewPodCount = 1;
    next.fl.PerformanceMeasure = Measure::MinimizeTravel;
    ASSERT_EQ(RunSearch(next).status, SearchStatus::Done);
    EXPECT_NE(next.fl.NewPodColumn, column);
    EXPECT_LT(next.fl.BestTravel, s.fl.BestTravel);
}

TEST(ResultsSave, TwoNewPodsAreBothAddedAndThirtyIsTheLimit) {
    ModuleState s = MakeState(Problem{{{"A", 60}}, {}, {"AAAAAAAAA"}}, 1, 1, 2);
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    ASSERT_TRUE(AddNewPodsAsExisting(s.fl).ok());
    EXPECT_EQ(s.fl.ExistingPodCount, 2);
    EXPECT_EQ(s.fl.PodColumn[1], s.fl.NewPod1Column);
    EXPECT_EQ(s.fl.PodColumn[2], s.fl.NewPod2Column);

    Problem full{{{"A", 60}}, {}, {std::string(60, 'A')}};
    for (int k = 1; k <= 30; ++k)
        full.pods.push_back({1, k});
    ModuleState f = MakeState(full);
    ASSERT_EQ(RunSearch(f).status, SearchStatus::Done);
    EXPECT_FALSE(AddNewPodsAsExisting(f.fl).ok());
    EXPECT_EQ(f.fl.ExistingPodCount, 30);
}

TEST(Examples, EveryShippedProblemLoads) {
    for (const char* name :
         {"worked-example.fl", "small-town.fl", "mid-county.fl", "full-region.fl"}) {
        ModuleState s;
        s.ProblemFileName = std::string(DAVRENTA_EXAMPLES_DIR) + "/" + name;
        EXPECT_TRUE(ReadMapFile(s).ok()) << name;
        EXPECT_GT(s.fl.AreaCount, 0) << name;
    }
}

TEST_F(TempDir, HostileFilesGiveAMessageAndLeaveTheProblemAlone) {
    const ModuleState before = MakeState(Problem{{{"Q", 7}}, {{1, 1}}, {"QQ"}});
    ASSERT_EQ(::mkfifo(path("pipe.fl").c_str(), 0600), 0);
    fs::create_directories(path("folder.fl"));
    std::ofstream(path("huge.fl"), std::ios::binary) << std::string(300 * 1024, ' ');
    // Invalid UTF-8 and a terminal escape in a number field, far longer than a message shows.
    std::ofstream(path("bytes.fl"), std::ios::binary)
        << "1,0,2\r\n\"\xC3\",\xFF\xC3\x1B[2J" << std::string(100000, '1') << "\r\n";
    const std::pair<const char*, const char*> cases[] = {
        {"pipe.fl", "cannot be read: it is not a regular file."},
        {"folder.fl", "cannot be read: it is a folder."},
        {"huge.fl", "cannot be read: it holds 307200 bytes, more than the 262144 a problem file "
                    "may hold."},
        {"bytes.fl", "cannot be read: line 2, area record 1: the population of area 1 "
                     "\"\\xFF\\xC3\\x1B[2J1111111111111111111111111111111111...\" is not a "
                     "number."}};
    for (const auto& [name, why] : cases) {
        ModuleState s = before;
        s.ProblemFileName = path(name);
        const Status read = ReadMapFile(s);
        ASSERT_FALSE(read.ok()) << name;
        EXPECT_NE(read.message().find(path(name)), std::string::npos) << read.message();
        EXPECT_NE(read.message().find(std::string(why) + " The current problem is unchanged."),
                  std::string::npos)
            << read.message();
        EXPECT_EQ(s.fl.AreaSymbol[1], "Q");
        EXPECT_EQ(s.fl.AreaPopulation[1], 7);
        EXPECT_EQ(s.fl.MapLine[1], "QQ");
        EXPECT_EQ(s.fl.PodColumn[1], 1);
        EXPECT_EQ(s.fl.AreaCount, 1);
    }
    // Bytes that are no UTF-8 are cells like any other.
    std::ofstream(path("latin1.fl"), std::ios::binary)
        << "1,0,2\r\n\"\xE9\",5\r\n2,\"\xE9\xC3\"\r\n";
    ModuleState s = before;
    s.ProblemFileName = path("latin1.fl");
    ASSERT_TRUE(ReadMapFile(s).ok());
    EXPECT_EQ(s.fl.MapLine[1], "\xE9\xC3");
    EXPECT_EQ(s.fl.AreaSymbol[1], "\xE9");
}

void ExpectSameProblem(const PopMap& a, const PopMap& b) {
    ASSERT_EQ(a.AreaCount, b.AreaCount);
    ASSERT_EQ(a.ExistingPodCount, b.ExistingPodCount);
    ASSERT_EQ(a.MapEndLine, b.MapEndLine);
    for (int k = 1; k <= a.AreaCount; ++k) {
        EXPECT_EQ(a.AreaSymbol[k], b.AreaSymbol[k]);
        EXPECT_TRUE(SameBits(a.AreaPopulation[k], b.AreaPopulation[k])) << k;
    }
    for (int k = 1; k <= a.ExistingPodCount; ++k) {
        EXPECT_EQ(a.PodLine[k], b.PodLine[k]);
        EXPECT_EQ(a.PodColumn[k], b.PodColumn[k]);
    }
    for (int i = 1; i < a.MapEndLine; ++i)
        EXPECT_EQ(a.MapLine[i], b.MapLine[i]);
    EXPECT_TRUE(SameBits(a.TotalPopulation, b.TotalPopulation));
}

// What a search shows, in exact texts: its refusal, or every figure, the located cells and the
// service map.
std::vector<std::string> Search(ModuleState& s) {
    const SearchOutcome outcome = RunSearch(s);
    if (outcome.status != SearchStatus::Done)
        return {outcome.message};
    const PopMap& fl = s.fl;
    std::vector<std::string> shown;
    for (const double figure : {fl.BestTravel, fl.BestMaxDistance, fl.BestServed,
                                fl.BestServedTravel, fl.PriorAverageDistance, fl.PriorMaxDistance})
        shown.push_back(RoundTripForm(figure));
    for (int k = 1; k <= fl.ExistingPodCount + 2; ++k)
        shown.push_back(RoundTripForm(fl.PodServed[k]));
    for (const int cell : {fl.NewPodLine, fl.NewPodColumn, fl.NewPod1Line, fl.NewPod1Column,
                           fl.NewPod2Line, fl.NewPod2Column})
        shown.push_back(std::to_string(cell));
    for (int i = 1; i < fl.MapEndLine; ++i)
        shown.push_back(fl.BestServiceMap[i]);
    return shown;
}

TEST_F(TempDir, ReadSearchSaveReadGivesTheSameProblemAndResults) {
    RandomFigures random(7731);
    int done = 0, refused = 0;
    for (int round = 0; round < 150; ++round) {
        const int areas = random.whole(1, 6), pods = random.whole(0, 3);
        const int lines = random.whole(1, 6), width = random.whole(1, 9);
        const bool plain = random.chance(60);
        const std::string symbols = "AB\xE9%x~.";
        std::string text = std::to_string(areas) + "," + std::to_string(pods) + "," +
                           std::to_string(lines + 1) + "\r\n";
        for (int a = 0; a < areas; ++a) {
            text += "\"" + symbols.substr(static_cast<std::size_t>(a), 1) + "\"," +
                    testing::Typed(plain ? random.mostlyPlain() : random.any()) + "\r\n";
        }
        for (int k = 0; k < pods; ++k)
            text += std::to_string(random.whole(1, lines)) + "," +
                    std::to_string(random.whole(1, width)) + "\r\n";
        for (int i = 0; i < lines; ++i) {
            std::string line;
            for (int j = random.whole(0, width); j > 0; --j)
                line += random.chance(20)
                            ? ' '
                            : symbols[static_cast<std::size_t>(random.whole(0, areas))];
            text += std::to_string(line.size()) + ",\"" + line + "\"\r\n";
        }
        std::ofstream(path("first.fl"), std::ios::binary) << text;

        const auto fresh = [&](const std::string& file) {
            ModuleState s;
            s.ModuleFlag = Study::PopMap;
            ClearOnModuleEntry(s.fl);
            s.fl.NewPodCount = 1 + round % 2;
            s.fl.PerformanceMeasure = static_cast<Measure>(1 + round % 3);
            s.DistanceMethod = static_cast<Metric>(1 + round / 3 % 3);
            s.ProblemFileName = path(file);
            return s;
        };
        ModuleState first = fresh("first.fl");
        ASSERT_TRUE(ReadMapFile(first).ok()) << text;
        const std::vector<std::string> shown = Search(first);

        // Saved as Save writes it (without waiting for the disk at every round).
        const Result<std::string> contents = MapFileContents(first.fl);
        ASSERT_TRUE(contents.ok()) << contents.message();
        std::ofstream(path("second.fl"), std::ios::binary) << *contents;
        ModuleState second = fresh("second.fl");
        ASSERT_TRUE(ReadMapFile(second).ok());
        ExpectSameProblem(second.fl, first.fl);
        EXPECT_EQ(Search(second), shown);
        if (shown.size() == 1) {
            ++refused;
            continue;
        }
        if (++done % 5 != 0)
            continue;
        // The results window's Save: the problem with the new POD(s) as existing ones.
        bool added = false;
        first.ProblemFileName = path("saved.fl");
        ASSERT_TRUE(SaveResults(first, added).ok());
        ModuleState saved = fresh("saved.fl");
        ASSERT_TRUE(ReadMapFile(saved).ok());
        ExpectSameProblem(saved.fl, first.fl);
        EXPECT_EQ(saved.fl.ExistingPodCount, pods + 1 + round % 2);
    }
    EXPECT_GT(done, 40);
    EXPECT_GT(refused, 10);
}

} // namespace
} // namespace davrenta
