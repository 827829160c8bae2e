#include "popmap/keyboard.h"

#include <gtest/gtest.h>

namespace davrenta {
namespace {

std::vector<std::string> Boxes(std::initializer_list<std::string> filled, std::size_t size) {
    std::vector<std::string> v(filled);
    v.resize(size);
    return v;
}

TEST(AreaEntry, AreasAreTheLeadingFilledSymbolBoxes) {
    PopMap fl;
    StoreAreas(fl, Boxes({"A", "B", "", "D"}, 140), Boxes({"100", "2,5", "7", "9"}, 140));
    EXPECT_EQ(fl.AreaCount, 2);
    EXPECT_EQ(fl.AreaPopulation[2], 2); // the leading-number rule stops at the comma
    EXPECT_EQ(fl.TotalPopulation, 102);

    StoreAreas(fl, Boxes({}, 140), Boxes({"5"}, 140));
    EXPECT_EQ(fl.AreaCount, 0);
    EXPECT_EQ(fl.TotalPopulation, 0);

    std::vector<std::string> all(140, "Z");
    StoreAreas(fl, all, Boxes({"abc"}, 140));
    EXPECT_EQ(fl.AreaCount, 140);
    EXPECT_EQ(fl.AreaPopulation[1], 0);
}

TEST(AreaEntry, OpeningShowsTheAreasAndRebuildsLabels) {
    PopMap fl;
    fl.AreaCount = 2;
    fl.AreaSymbol[1] = "A";
    fl.AreaPopulation[1] = 12.5;
    fl.AreaSymbol[2] = "B";
    fl.AreaPopulation[2] = 3;
    fl.PodSymbol[1] = "*";
    const auto boxes = OpenAreaEntry(fl);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], (std::pair<std::string, std::string>{"A", "12.5"}));
    EXPECT_EQ(fl.PodSymbol[1], "A");
    EXPECT_EQ(fl.PodSymbol[27], "[");
    EXPECT_EQ(fl.PodSymbol[28], "\\");
}

TEST(PodEntry, PodsAreTheRowsBeforeTheFirstEmptyX) {
    PopMap fl;
    ASSERT_TRUE(
        StorePods(fl, Boxes({"4", "5", "6", "", "9"}, 30), Boxes({"1", "2", "3", "", "9"}, 30))
            .ok());
    EXPECT_EQ(fl.ExistingPodCount, 3);
    EXPECT_EQ(fl.PodColumn[3], 6);
    EXPECT_EQ(fl.PodLine[3], 3);

    ASSERT_TRUE(StorePods(fl, Boxes({}, 30), Boxes({}, 30)).ok());
    EXPECT_EQ(fl.ExistingPodCount, 0);

    std::vector<std::string> xs(30, "2"), ys(30, "7.6");
    ASSERT_TRUE(StorePods(fl, xs, ys).ok());
    EXPECT_EQ(fl.ExistingPodCount, 30);
    EXPECT_EQ(fl.PodLine[30], 8);
}

TEST(PodEntry, PodOffTheMapIsRefusedAndNothingChanges) {
    PopMap fl;
    ASSERT_TRUE(StorePods(fl, Boxes({"4"}, 30), Boxes({"1"}, 30)).ok());
    for (auto [x, y] : {std::pair{"61", "1"}, {"0", "1"}, {"5", "51"}, {"5", "abc"}}) {
        const Status stored = StorePods(fl, Boxes({"3", x}, 30), Boxes({"2", y}, 30));
        ASSERT_FALSE(stored.ok()) << x << "," << y;
        EXPECT_NE(stored.message().find("Facility 2"), std::string::npos);
        EXPECT_EQ(fl.ExistingPodCount, 1);
        EXPECT_EQ(fl.PodColumn[1], 4);
    }
}

TEST(PodEntry, OpeningShowsTheExistingPodsWithAColumn) {
    PopMap fl;
    fl.ExistingPodCount = 3;
    fl.PodColumn[1] = 3;
    fl.PodLine[1] = 4;
    fl.PodColumn[3] = 9;
    const auto rows = OpenPodEntry(fl);
    ASSERT_EQ(rows.size(), 30u);
    EXPECT_EQ(rows[0], (std::pair<std::string, std::string>{"3", "4"}));
    EXPECT_EQ(rows[1].first, "");
    EXPECT_EQ(rows[2].first, "9");
}

TEST(PodEntry, SearchCandidateLeftInTheNextSlotIsNoPhantomPod) {
    // A search leaves its last candidate in slot ExistingPodCount + 1.
    PopMap fl;
    fl.ExistingPodCount = 1;
    fl.PodColumn[1] = 2;
    fl.PodLine[1] = 1;
    fl.PodColumn[2] = 60;
    fl.PodLine[2] = 50;
    const auto rows = OpenPodEntry(fl);
    EXPECT_EQ(rows[0], (std::pair<std::string, std::string>{"2", "1"}));
    EXPECT_EQ(rows[1], (std::pair<std::string, std::string>{"", ""}));

    // Ok with the boxes as they opened keeps the one existing POD.
    std::vector<std::string> xs, ys;
    for (const auto& [x, y] : rows) {
        xs.push_back(x);
        ys.push_back(y);
    }
    ASSERT_TRUE(StorePods(fl, xs, ys));
    EXPECT_EQ(fl.ExistingPodCount, 1);
    EXPECT_EQ(fl.PodColumn[2], 0);
}

TEST(MapEntry, MovingBetweenLinesStoresTheBox) {
    PopMap fl;
    fl.MapLine[3] = "old";
    OpenMapEntry(fl, true); // a new keyboard problem starts empty
    EXPECT_EQ(fl.MapLine[3], "");
    EXPECT_EQ(fl.MapInputLine, 1);
    StoreInputLine(fl, "AAB");
    NextInputLine(fl);
    EXPECT_EQ(fl.MapInputLine, 2);
    StoreInputLine(fl, " BB");
    PreviousInputLine(fl);
    PreviousInputLine(fl);
    EXPECT_EQ(fl.MapInputLine, 1);
    EXPECT_EQ(fl.MapLine[1], "AAB");
    EXPECT_EQ(fl.MapLine[2], " BB");

    fl.MapInputLine = 50;
    StoreInputLine(fl, "last");
    NextInputLine(fl);
    EXPECT_EQ(fl.MapInputLine, 50);
    EXPECT_EQ(InputTopRow(fl), 40);
    fl.MapInputLine = 10;
    EXPECT_EQ(InputTopRow(fl), 0);

    // A second pass (Edit) keeps the typed lines.
    OpenMapEntry(fl, true);
    EXPECT_EQ(fl.MapLine[1], "AAB");
}

TEST(MapEntry, OkPadsLinesUnderPodsAndFindsTheEnd) {
    PopMap fl;
    fl.ExistingPodCount = 2;
    fl.PodLine[1] = 5;
    fl.PodColumn[1] = 20;
    fl.PodLine[2] = 2;
    fl.PodColumn[2] = 99; // typed off the map: the line is padded to 60 at most
    fl.MapLine[5] = "AAAAAAAAAAAA";
    fl.MapLine[37] = "B";
    FinishMapEntry(fl);
    EXPECT_EQ(fl.MapLine[5], "AAAAAAAAAAAA" + std::string(8, ' '));
    EXPECT_EQ(fl.MapLineLength[5], 20);
    EXPECT_EQ(fl.MapLineLength[2], 60);
    EXPECT_EQ(fl.MapEndLine, 38);
    EXPECT_EQ(fl.maptype, MapType::Input);

    PopMap empty;
    empty.MapEndLine = 12;
    FinishMapEntry(empty);
    EXPECT_EQ(empty.MapEndLine, 1);

    PopMap blanks;
    blanks.MapLine[4] = "   ";
    FinishMapEntry(blanks);
    EXPECT_EQ(blanks.MapEndLine, 5); // a line of blanks counts
}

} // namespace
} // namespace davrenta
