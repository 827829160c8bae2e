// The matching problem file: its exact text, round trips, and files that must be refused
// without touching the problem in hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "randomfigures.h"
#include "sitematch/search.h"
#include "sitematch/smfile.h"
#include "sitematch/texts.h"
#include "sitematch_fixtures.h"

namespace davrenta {
namespace {

namespace fs = std::filesystem;
using testing::Problem;
using testing::RandomFigures;
using testing::SameBits;

// The two-facility, three-site example: times 4, 7, 2 and demand 10; 5, 1, 6 and demand 3.
SiteMatchState Example() {
    return Problem({{{4, 7, 2}, 10}, {{5, 1, 6}, 3}}, 2);
}

constexpr const char* kExampleFile = "2,3\r\n4\r\n7\r\n2\r\n10\r\n5\r\n1\r\n6\r\n3\r\n";

class SiteMatchFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "davrenta-sm-XXXXXX").string();
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
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir_;
};

TEST(SiteMatchFileText, OneValueALineAfterTheCounts) {
    EXPECT_EQ(SiteMatchFileContents(Example()), kExampleFile);
    const SiteMatchState single = Problem({{{0.1}, 2.75}, {{1e-7}, 123456}}, 1);
    EXPECT_EQ(SiteMatchFileContents(single), "2,1\r\n0.1\r\n2.75\r\n1E-07\r\n123456\r\n");
}

TEST(SiteMatchFileText, ValuesReadTheSameHoweverTheyAreSpread) {
    for (const char* text :
         {kExampleFile, "2,3,4,7,2,10,5,1,6,3", "2,3\n4,7,2\n10\n\n  5, 1,6\n3\n",
          "2\r\n3\r\n4,7\r\n2,10,5,1,6,3\r\n"}) {
        SiteMatchState sm;
        sm.MaxSites = 2;
        ASSERT_TRUE(ParseSiteMatchProblem(text, sm).ok()) << text;
        SiteMatchState expected = Example();
        expected.MatchEntryFacility = 3;
        EXPECT_EQ(sm, expected) << text;
    }
}

TEST(SiteMatchFileText, BlankLinesAndAnEndOfFileMarkMayFollowTheLastDemand) {
    SiteMatchState sm;
    ASSERT_TRUE(ParseSiteMatchProblem("1,1\r\n4\r\n7\r\n\r\n\x1a", sm).ok());
    EXPECT_EQ(sm.FacilityDemand[1], 7);
}

TEST(SiteMatchFileText, NumbersAreWrittenInPlainDecimal) {
    SiteMatchState sm;
    ASSERT_TRUE(ParseSiteMatchProblem("1,2,100000,0.0001,1e6", sm).ok());
    EXPECT_EQ(SiteMatchFileContents(sm), "1,2\r\n100000\r\n0.0001\r\n1000000\r\n");
}

TEST(SiteMatchFileText, LoadingEmptiesTheSlotsOfALargerEarlierProblem) {
    SiteMatchState sm = Problem({{{9, 9, 9, 9}, 9}, {{9, 9, 9, 9}, 9}, {{9, 9, 9, 9}, 9}}, 1);
    ASSERT_TRUE(ParseSiteMatchProblem("1,1,5,6", sm).ok());
    EXPECT_EQ(sm.SiteTime(1, 1), 5);
    EXPECT_EQ(sm.FacilityDemand[1], 6);
    EXPECT_EQ(sm.SiteTime(1, 2), 0);
    EXPECT_EQ(sm.SiteTime(3, 4), 0);
    EXPECT_EQ(sm.FacilityDemand[3], 0);
}

TEST(SiteMatchFileText, MalformedFilesAreRefusedNamingLineAndValue) {
    const std::pair<const char*, const char*> cases[] = {
        {"2,3\r\n4\r\n7\r\n2\r\n10\r\n5\r\n",
         "line 7, time 2,2: the file ends before the time to site 2 of facility 2."},
        {"2,3\r\n4\r\nseven\r\n2\r\n10\r\n5\r\n1\r\n6\r\n3\r\n",
         "line 3, time 1,2: the time to site 2 of facility 1 \"seven\" is not a number."},
        {"21,3", "line 1, count record: the number of facilities \"21\" is not a whole number "
                 "from 1 to 20."},
        {"2,11", "line 1, count record: the number of sites \"11\" is not a whole number from 1 "
                 "to 10."},
        {"0,3", "line 1, count record: the number of facilities \"0\" is not a whole number from "
                "1 to 20."},
        {"2.5,3", "line 1, count record: the number of facilities \"2.5\" is not a whole number "
                  "from 1 to 20."},
        {"1,1\r\n\"4\"\r\n1\r\n",
         "line 2, time 1,1: the time to site 1 of facility 1 \"4\" is not a number."},
        {"1,1\r\n4\r\n1\r\n7\r\n",
         "line 4, after demand 1: the file holds more than the 1 facilities and 1 sites it "
         "declares: \"7\" follows the last record."},
        // A trailing comma is refused as in every study's file.
        {"1,1,5,6,", "line 1, after demand 1: the file holds more than the 1 facilities and 1 "
                     "sites it declares: a comma follows the last value."},
        {"1,1\r\n4\r\n1e999\r\n",
         "line 3, demand 1: the number of demands of facility 1 \"1e999\" is not a number."},
        {"", "line 1, count record: the file ends before the number of facilities."},
        {"1,1\r\n\xff\xfe\r\n1\r\n",
         "line 2, time 1,1: the time to site 1 of facility 1 \"\\xFF\\xFE\" is not a number."},
    };
    for (const auto& [text, message] : cases) {
        SiteMatchState sm = Example();
        const SiteMatchState before = sm;
        const Status status = ParseSiteMatchProblem(text, sm);
        ASSERT_FALSE(status.ok()) << text;
        EXPECT_EQ(status.message(), message);
        EXPECT_EQ(sm, before) << text;
    }
}

TEST_F(SiteMatchFile, SavedProblemLoadsBackAndGivesIdenticalResults) {
    SiteMatchState original = Problem(
        {{{12.5, 3, 0.1}, 7}, {{1.0 / 3, 8, 2}, 2.25}, {{6, 6, 6}, 0}, {{9, 1e-3, 4}, 1e6}}, 3);
    ASSERT_TRUE(MatchSearch(original).ok());
    ASSERT_TRUE(WriteSiteMatchFile(path("p.sm"), original).ok());
    EXPECT_EQ(contentsOf("p.sm").substr(0, 5), "4,3\r\n");

    SiteMatchState loaded;
    loaded.MaxSites = 3;
    ASSERT_TRUE(ReadSiteMatchFile(path("p.sm"), loaded).ok());
    EXPECT_EQ(loaded.SiteTime(2, 1), 1.0 / 3);
    ASSERT_TRUE(MatchSearch(loaded).ok());
    EXPECT_EQ(MatchResultRows(loaded), MatchResultRows(original));
    EXPECT_EQ(MatchMessage(loaded, '\r'), MatchMessage(original, '\r'));
    EXPECT_EQ(loaded.OptimalTotalCost, original.OptimalTotalCost);
}

TEST_F(SiteMatchFile, OneSiteFileHasTwoLinesPerFacility) {
    put("one.sm", "2,1\r\n5\r\n3\r\n4\r\n10\r\n");
    SiteMatchState sm;
    ASSERT_TRUE(ReadSiteMatchFile(path("one.sm"), sm).ok());
    EXPECT_EQ(sm.SiteCount, 1);
    EXPECT_EQ(sm.SiteTime(2, 1), 4);
    EXPECT_EQ(sm.FacilityDemand[2], 10);
    EXPECT_EQ(SiteMatchFileContents(sm), contentsOf("one.sm"));
}

TEST_F(SiteMatchFile, UnreadablePlacesLeaveTheProblemAndNameTheFile) {
    ASSERT_EQ(::mkfifo(path("pipe.sm").c_str(), 0600), 0);
    fs::create_directory(path("folder.sm"));
    put("big.sm", "1,1\r\n" + std::string(2 << 20, '1'));
    put("bad.sm", "1,1\r\n4\r\n\xc3\x28\r\n");
    const std::pair<std::string, std::string> cases[] = {
        {"pipe.sm", "it is not a regular file"},
        {"folder.sm", "it is a folder"},
        {"big.sm", "more than the 1048576"},
        {"missing.sm", "No such file or directory"},
        {"bad.sm", "line 3, demand 1: the number of demands of facility 1 \"\\xC3(\" is not a "
                   "number."},
    };
    for (const auto& [name, reason] : cases) {
        SiteMatchState sm = Example();
        const SiteMatchState before = sm;
        const Status status = ReadSiteMatchFile(path(name), sm);
        ASSERT_FALSE(status.ok()) << name;
        EXPECT_EQ(status.message().rfind("The file " + path(name) + " cannot be read: ", 0), 0u)
            << status.message();
        EXPECT_NE(status.message().find(reason), std::string::npos) << status.message();
        EXPECT_NE(status.message().find("The current problem is unchanged."), std::string::npos);
        EXPECT_EQ(sm, before) << name;
    }
}

TEST_F(SiteMatchFile, FailedSaveKeepsTheOldFileAndSaysWhy) {
    fs::create_directory(path("taken.sm"));
    put("taken.sm/inside", "kept");
    const Status status = WriteSiteMatchFile(path("taken.sm"), Example());
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.message().rfind("The file " + path("taken.sm") + " was not saved: ", 0), 0u)
        << status.message();
    EXPECT_EQ(contentsOf("taken.sm/inside"), "kept");
    EXPECT_FALSE(WriteSiteMatchFile(path("no-folder/p.sm"), Example()).ok());
}

void ExpectSameProblem(const SiteMatchState& a, const SiteMatchState& b) {
    ASSERT_EQ(a.MatchFacilityCount, b.MatchFacilityCount);
    ASSERT_EQ(a.SiteCount, b.SiteCount);
    for (int i = 1; i <= a.MatchFacilityCount; ++i) {
        for (int j = 1; j <= a.SiteCount; ++j)
            EXPECT_TRUE(SameBits(a.SiteTime(i, j), b.SiteTime(i, j)))
                << i << "," << j << ": " << a.SiteTime(i, j) << " " << b.SiteTime(i, j);
        EXPECT_TRUE(SameBits(a.FacilityDemand[i], b.FacilityDemand[i]))
            << i << ": " << a.FacilityDemand[i] << " " << b.FacilityDemand[i];
    }
}

TEST_F(SiteMatchFile, ReadSearchSaveReadGivesTheSameProblemAndResults) {
    RandomFigures random(4217);
    int shown = 0, refused = 0;
    for (int round = 0; round < 300; ++round) {
        SiteMatchState made;
        made.MatchFacilityCount = random.whole(1, kMaxMatchFacilities);
        made.SiteCount = random.whole(1, kMaxSites);
        const bool plain = random.chance(60);
        std::string text =
            std::to_string(made.MatchFacilityCount) + "," + std::to_string(made.SiteCount);
        const auto typed = [&](double value) {
            text += (random.chance(50) ? "\r\n" : ",") + testing::Typed(value);
            return value;
        };
        for (int i = 1; i <= made.MatchFacilityCount; ++i) {
            for (int j = 1; j <= made.SiteCount; ++j)
                made.SiteTime(i, j) = typed(plain ? random.mostlyPlain() : random.any());
            made.FacilityDemand[i] = typed(plain ? random.mostlyPlain() : random.any());
        }
        put("first.sm", text);
        SiteMatchState first;
        ASSERT_TRUE(ReadSiteMatchFile(path("first.sm"), first).ok()) << text;
        ExpectSameProblem(first, made);
        first.MaxSites = random.whole(1, std::min(made.SiteCount, kMaxSiteLimit));
        const Status searched = SearchForResults(first);

        // Saved as Save writes it (without waiting for the disk at every round).
        put("second.sm", SiteMatchFileContents(first));
        SiteMatchState second;
        ASSERT_TRUE(ReadSiteMatchFile(path("second.sm"), second).ok());
        ExpectSameProblem(second, first);
        EXPECT_EQ(SiteMatchFileContents(second), contentsOf("second.sm"));
        second.MaxSites = first.MaxSites;
        const Status again = SearchForResults(second);
        ASSERT_EQ(again.ok(), searched.ok()) << text;
        EXPECT_EQ(again.message(), searched.message());
        if (!searched) {
            ++refused;
            continue;
        }
        ++shown;
        EXPECT_TRUE(SameBits(second.OptimalTotalCost, first.OptimalTotalCost));
        EXPECT_EQ(MatchResultRows(second), MatchResultRows(first));
        EXPECT_EQ(MatchMessage(second, '\r'), MatchMessage(first, '\r'));
        EXPECT_EQ(CostsBySitesRows(second), CostsBySitesRows(first));
    }
    EXPECT_GT(shown, 50);
    EXPECT_GT(refused, 20);
}

} // namespace
} // namespace davrenta
