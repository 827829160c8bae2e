// What the input windows do to the tables: sizes, rows, the table's boxes, add and remove.
#include <gtest/gtest.h>

#include "sitematch/input.h"
#include "sitematch/texts.h"
#include "sitematch_fixtures.h"

namespace davrenta {
namespace {

using testing::Problem;

TEST(Sizes, WholeNumbersWithinTheTablesAreTaken) {
    Result<MatchSizes> sizes = ReadSizes(" 20 facilities", "10");
    ASSERT_TRUE(sizes.ok());
    EXPECT_EQ(sizes->facilities, 20);
    EXPECT_EQ(sizes->sites, 10);
}

TEST(Sizes, OutsideTheTablesOrNotWholeIsRefusedQuotingTheBox) {
    EXPECT_EQ(ReadSizes("21", "3").message(),
              "The number of facilities \"21\" is not a whole number from 1 to 20. Enter the "
              "number of facilities again.");
    EXPECT_EQ(ReadSizes("", "3").message(),
              "The number of facilities \"\" is not a whole number from 1 to 20. Enter the "
              "number of facilities again.");
    EXPECT_EQ(ReadSizes("4", "2.5").message(),
              "The number of available sites \"2.5\" is not a whole number from 1 to 10. Enter "
              "the number of sites again.");
    EXPECT_FALSE(ReadSizes("4", "-1").ok());
    EXPECT_FALSE(ReadSizes("4", "11").ok());
    EXPECT_FALSE(ReadSizes("0", "1").ok());
}

TEST(Rows, EachOkStoresOneFacilityAndMovesOn) {
    SiteMatchState sm;
    StartRows(sm, {2, 3});
    EXPECT_EQ(EntryFacilityText(sm), "Facility  1");
    EXPECT_TRUE(StoreRow(sm, {"4", "123456", "2,5", "99"}, "10 people"));
    EXPECT_EQ(EntryFacilityText(sm), "Facility  2");
    EXPECT_FALSE(StoreRow(sm, {"5", "1", "x"}, ""));
    EXPECT_EQ(sm.SiteTime(1, 2), 123456); // "5 digits max" is advice only
    EXPECT_EQ(sm.SiteTime(1, 3), 2);
    EXPECT_EQ(sm.SiteTime(1, 4), 0); // beyond s: not read
    EXPECT_EQ(sm.FacilityDemand[1], 10);
    EXPECT_EQ(sm.SiteTime(2, 3), 0);
    EXPECT_EQ(sm.FacilityDemand[2], 0);
    EXPECT_EQ(sm.MatchEntryFacility, 3);
}

TEST(Table, OkReadsRowsOfTenBoxesWithinMAndS) {
    SiteMatchState sm = Problem({{{1, 1}, 1}, {{1, 1}, 1}}, 1);
    std::vector<std::string> times(200, "7"), demands(20, "8");
    times[0] = "3.5";
    times[11] = "6"; // facility 2, site 2
    demands[1] = "abc";
    StoreTable(sm, times, demands);
    EXPECT_EQ(sm.SiteTime(1, 1), 3.5);
    EXPECT_EQ(sm.SiteTime(1, 2), 7);
    EXPECT_EQ(sm.SiteTime(2, 2), 6);
    EXPECT_EQ(sm.SiteTime(1, 3), 0);
    EXPECT_EQ(sm.SiteTime(3, 1), 0);
    EXPECT_EQ(sm.FacilityDemand[1], 8);
    EXPECT_EQ(sm.FacilityDemand[2], 0);
    EXPECT_EQ(sm.FacilityDemand[3], 0);
}

TEST(AddFacility, CollectsOneMoreRowUntilTheTableIsFull) {
    SiteMatchState sm = Problem({{{1, 2}, 3}, {{4, 5}, 6}}, 1);
    ASSERT_TRUE(AddFacility(sm).ok());
    EXPECT_EQ(sm.MatchFacilityCount, 3);
    EXPECT_EQ(EntryFacilityText(sm), "Facility  3");
    EXPECT_FALSE(StoreRow(sm, {"7", "8"}, "9"));
    EXPECT_EQ(sm.SiteTime(3, 2), 8);
    EXPECT_FALSE(sm.AddingFacility);

    sm.MatchFacilityCount = 20;
    const SiteMatchState full = sm;
    EXPECT_EQ(AddFacility(sm).message(),
              "The table holds at most 20 facilities: no facility can be added.");
    EXPECT_EQ(sm, full);
}

TEST(AddFacility, BackOnTheAddedRowKeepsTheTableAsItWas) {
    SiteMatchState sm = Problem({{{1, 2}, 3}, {{4, 5}, 6}}, 1);
    ASSERT_TRUE(AddFacility(sm).ok());
    CancelAddedFacility(sm);
    EXPECT_EQ(sm.MatchFacilityCount, 2);
    EXPECT_FALSE(sm.AddingFacility);
    CancelAddedFacility(sm); // not adding: nothing happens
    EXPECT_EQ(sm.MatchFacilityCount, 2);
}

TEST(RemoveFacility, RowsAfterItMoveUpWithTheirDemands) {
    SiteMatchState sm = Problem({{{1, 2}, 3}, {{4, 5}, 6}, {{7, 8}, 9}}, 1);
    ASSERT_TRUE(RemoveFacility(sm, "1").ok());
    EXPECT_EQ(sm.MatchFacilityCount, 2);
    EXPECT_EQ(sm.SiteTime(1, 1), 4);
    EXPECT_EQ(sm.SiteTime(1, 2), 5);
    EXPECT_EQ(sm.FacilityDemand[1], 6);
    EXPECT_EQ(sm.SiteTime(2, 2), 8);
    EXPECT_EQ(sm.FacilityDemand[2], 9);
    ASSERT_TRUE(RemoveFacility(sm, " 2").ok());
    EXPECT_EQ(sm.MatchFacilityCount, 1);
    EXPECT_EQ(sm.FacilityDemand[1], 6);
}

TEST(RemoveFacility, NumbersOutsideTheRowsAndTheOnlyFacilityAreRefused) {
    SiteMatchState sm = Problem({{{1, 2}, 3}, {{4, 5}, 6}}, 1);
    const SiteMatchState before = sm;
    EXPECT_EQ(RemoveFacility(sm, "3").message(),
              "The facility number \"3\" is not a whole number from 1 to 2. Enter the number of "
              "the facility to remove, as the table shows it.");
    EXPECT_FALSE(RemoveFacility(sm, "0").ok());
    EXPECT_FALSE(RemoveFacility(sm, "1.5").ok());
    EXPECT_FALSE(RemoveFacility(sm, "one").ok());
    EXPECT_EQ(sm, before);
    ASSERT_TRUE(RemoveFacility(sm, "2").ok());
    EXPECT_EQ(RemoveFacility(sm, "1").message(),
              "The problem has only one facility, and it needs at least one: facility 1 cannot "
              "be removed.");
    EXPECT_EQ(sm.MatchFacilityCount, 1);
}

TEST(GridText, InstructionsInFourParagraphs) {
    EXPECT_EQ(GridInstructions('\r'),
              "In this window, you can correct, add, or remove any data.\r\rTo correct data, "
              "enter the correct data in the corresponding text box.\r\rTo add a facility, press "
              "the Add Facility button.\r\rTo remove a facility, press the Remove Facility "
              "button.");
}

} // namespace
} // namespace davrenta
