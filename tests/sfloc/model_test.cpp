#include "sfloc/model.h"

#include <gtest/gtest.h>

#include "sfloc_fixtures.h"

namespace davrenta {
namespace {

using testing::Table;

std::vector<double> Xs(const SingleFacilityState& sf) {
    std::vector<double> xs;
    for (int i = 1; i <= sf.ExistingFacilityCount; ++i)
        xs.push_back(sf.FacilityX[static_cast<std::size_t>(i)]);
    return xs;
}

TEST(KeyboardEntry, CountThenEachFacilityInTurn) {
    SingleFacilityState sf = Table({{9, 9, 9}, {8, 8, 8}, {7, 7, 7}, {6, 6, 6}});
    OpenDescription(sf);
    EXPECT_EQ(sf.ExistingFacilityCount, 0);
    ASSERT_TRUE(SetFacilityCount(sf, " 3 ").ok());
    EXPECT_EQ(FacilityEntryLabel(sf), "Facility  1 of  3");
    EXPECT_FALSE(StoreEnteredFacility(sf, "1", "2", "10"));
    EXPECT_EQ(FacilityEntryLabel(sf), "Facility  2 of  3");
    EXPECT_FALSE(StoreEnteredFacility(sf, "-4.5", "5.5", "2,5")); // the comma ends the number
    EXPECT_TRUE(StoreEnteredFacility(sf, "12abc", "abc", ""));
    EXPECT_EQ(Xs(sf), (std::vector<double>{1, -4.5, 12}));
    EXPECT_EQ(sf.FacilityWeight[2], 2.0);
    EXPECT_EQ(sf.FacilityY[3], 0.0);
    EXPECT_EQ(sf.FacilityX[4], 6.0); // beyond the count: kept, never shown
}

TEST(KeyboardEntry, CountsOutsideOneToTwentyAreRefused) {
    SingleFacilityState sf;
    for (const char* text : {"21", "0", "-3", "2.5", "abc", ""}) {
        Status s = SetFacilityCount(sf, text);
        EXPECT_FALSE(s.ok()) << text;
        EXPECT_EQ(sf.ExistingFacilityCount, 0);
        EXPECT_EQ(sf.EntryFacility, 0);
    }
    EXPECT_EQ(SetFacilityCount(sf, "21").message(),
              "The number of existing facilities \"21\" is not a whole number from 1 to 20. Enter "
              "how many existing facilities there are (20 or less).");
    EXPECT_TRUE(SetFacilityCount(sf, "20").ok());
}

TEST(TableWindow, BoxesShowTheNumbersAndReadBackCorrections) {
    SingleFacilityState sf = Table({{1, 2, 10}, {4, 5.5, 0.1}, {1e20, -0.25, 2.75}});
    const auto boxes = TableBoxes(sf);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[1], (FacilityBoxes{"4", "5.5", "0.1"}));
    EXPECT_EQ(boxes[2], (FacilityBoxes{"1E+20", "-0.25", "2.75"}));
    auto typed = boxes;
    typed[1][2] = "7 units";
    StoreTableBoxes(sf, typed);
    EXPECT_EQ(sf.FacilityWeight[2], 7.0);
    EXPECT_EQ(sf.FacilityX[3], 1e20);
}

TEST(TableWindow, BoxesShowPlainDecimalBelowTenToTheFifteenth) {
    const auto boxes = TableBoxes(Table({{100000, 0.0001, 250000}}));
    EXPECT_EQ(boxes[0], (FacilityBoxes{"100000", "0.0001", "250000"}));
}

TEST(AddAndRemove, AddOpensTheNextSlotUpToTwenty) {
    SingleFacilityState sf = Table({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    ASSERT_TRUE(AddFacility(sf).ok());
    EXPECT_EQ(sf.ExistingFacilityCount, 4);
    EXPECT_EQ(FacilityEntryLabel(sf), "Facility  4 of  4");
    EXPECT_TRUE(StoreEnteredFacility(sf, "4", "4", "4"));
    sf.ExistingFacilityCount = 20;
    Status full = AddFacility(sf);
    ASSERT_FALSE(full.ok());
    EXPECT_EQ(full.message(), "The table already holds 20 existing facilities, as many as a "
                              "problem can hold. Remove one before adding another.");
    EXPECT_EQ(sf.ExistingFacilityCount, 20);
}

TEST(AddAndRemove, RemovingFromTheMiddleRenumbersTheRest) {
    SingleFacilityState sf = Table({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}});
    ASSERT_TRUE(RemoveFacility(sf, "2").ok());
    EXPECT_EQ(Xs(sf), (std::vector<double>{1, 3, 4}));
    EXPECT_EQ(sf.FacilityWeight[3], 4.0);
}

TEST(AddAndRemove, RemovingTheLastShiftsNothing) {
    SingleFacilityState sf = Table({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    ASSERT_TRUE(RemoveFacility(sf, "3").ok());
    EXPECT_EQ(Xs(sf), (std::vector<double>{1, 2}));
    ASSERT_TRUE(RemoveFacility(sf, "1").ok());
    ASSERT_TRUE(RemoveFacility(sf, "1").ok());
    EXPECT_EQ(sf.ExistingFacilityCount, 0);
    EXPECT_EQ(RemoveFacility(sf, "1").message(), "There is no existing facility to remove.");
}

TEST(AddAndRemove, NumbersThatNameNoFacilityAreRefusedAndNothingChanges) {
    const SingleFacilityState before = Table({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    for (const char* text : {"4", "0", "-1", "1.5", "x", ""}) {
        SingleFacilityState sf = before;
        EXPECT_FALSE(RemoveFacility(sf, text).ok()) << text;
        EXPECT_EQ(sf.ExistingFacilityCount, 3);
        EXPECT_EQ(Xs(sf), Xs(before));
    }
    SingleFacilityState sf = before;
    EXPECT_EQ(
        RemoveFacility(sf, "4").message(),
        "The facility number \"4\" is not a whole number from 1 to 3. Enter the number of the "
        "facility to remove, as the table shows it.");
}

} // namespace
} // namespace davrenta
