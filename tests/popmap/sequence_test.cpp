#include "popmap/sequence.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/modulestate.h"
#include "popmap/mapfile.h"
#include "popmap/results.h"
#include "popmap/search.h"
#include "popmap_fixtures.h"

namespace davrenta {
namespace {

using testing::kWorkedExample;
using testing::MakeState;

TEST(ResultSequence, OkWalksFromTheInputMapToTheResultsAndBack) {
    ModuleState s = MakeState(kWorkedExample, 1, 1, 1);
    PopMap& fl = s.fl;
    EXPECT_EQ(MapScreenOk(fl), NextWindow::Search);
    EXPECT_EQ(fl.maptype, MapType::Input);
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);

    EXPECT_EQ(SummaryOk(fl), NextWindow::Map);
    EXPECT_EQ(MapCaption(fl), "INPUT MAP WITH EXISTING FACILITIES MARKED BY NUMBER");
    EXPECT_EQ(MapScreenOk(fl), NextWindow::Distribution);
    EXPECT_EQ(MapCaption(fl), "SERVICE AREAS FOR EACH EXISTING FACILITY");
    EXPECT_EQ(MapScreenOk(fl), NextWindow::Results);
    const ResultsTexts before = OpenResults(fl, Metric::Rectilinear);
    EXPECT_TRUE(before.okbut);
    EXPECT_EQ(fl.maptype, MapType::ExistingService);

    EXPECT_EQ(ResultsOk(fl), NextWindow::Map);
    EXPECT_EQ(MapCaption(fl), "SERVICE AREAS FOR EACH EXISTING FACILITY PLUS NEW FACILITY");
    EXPECT_EQ(MapScreenOk(fl), NextWindow::Results);
    const ResultsTexts after = OpenResults(fl, Metric::Rectilinear);
    EXPECT_TRUE(after.Savebut);
    EXPECT_EQ(fl.maptype, MapType::Input); // the sequence is over
    EXPECT_EQ(ResultsOk(fl), NextWindow::None);
    EXPECT_EQ(SummaryOk(fl), NextWindow::Map); // a summary reached again starts it anew
}

TEST(ResultSequence, NearOptimalMapHasNoOkStep) {
    ModuleState s = MakeState(kWorkedExample, 1, 1, 1);
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    ASSERT_TRUE(MarkNearOptimal(s.fl, "0.4"));
    EXPECT_EQ(s.fl.maptype, MapType::NearOptimal);
    EXPECT_EQ(MapScreenOk(s.fl), NextWindow::Unknown);
    EXPECT_EQ(SummaryOk(s.fl), NextWindow::None);
    EXPECT_EQ(s.fl.maptype, MapType::NearOptimal);
}

TEST(ResultSequence, SaveAddsTheNewPodOnceHoweverOftenItIsSaved) {
    ModuleState s = MakeState(kWorkedExample, 1, 1, 1);
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    std::string dir = (std::filesystem::temp_directory_path() / "seqXXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    s.ProblemFileName = dir + "/out.fl";
    bool added = false;
    ASSERT_TRUE(SaveResults(s, added));
    ASSERT_TRUE(SaveResults(s, added));
    EXPECT_TRUE(added);
    EXPECT_EQ(s.fl.ExistingPodCount, 1);

    ModuleState back;
    back.ProblemFileName = s.ProblemFileName;
    ASSERT_TRUE(ReadMapFile(back));
    EXPECT_EQ(back.fl.ExistingPodCount, 1);
    EXPECT_EQ(back.fl.PodColumn[1], 2);
    EXPECT_EQ(back.fl.PodLine[1], 1);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace davrenta
