#include "state/filename.h"

#include <gtest/gtest.h>

namespace davrenta {
namespace {

TEST(FilePattern, IsStarDotFlag) {
    EXPECT_EQ(ProblemFilePattern("fl"), "*.fl");
    EXPECT_EQ(ProblemFilePattern("mhs"), "*.mhs");
}

TEST(StripExtension, RemovesDotAndFlagOnly) {
    EXPECT_EQ(StripProblemExtension("town.fl", "fl"), "town");
    EXPECT_EQ(StripProblemExtension("plant.mhs", "mhs"), "plant");
    EXPECT_EQ(StripProblemExtension("a.b.sf", "sf"), "a.b");
    EXPECT_EQ(StripProblemExtension("town", "fl"), "town");
    // Another study's ending stays: it is part of the name.
    EXPECT_EQ(StripProblemExtension("plant.mh", "mhs"), "plant.mh");
    EXPECT_EQ(StripProblemExtension("plant.mhs", "mh"), "plant.mhs");
    // The comparison is exact, as file names are on this platform.
    EXPECT_EQ(StripProblemExtension("TOWN.FL", "fl"), "TOWN.FL");
}

TEST(StripExtension, KeepsFlagLettersWithoutDot) {
    // Dropping the letters and the character before them would save "townfl" as "tow.fl".
    EXPECT_EQ(StripProblemExtension("townfl", "fl"), "townfl");
    EXPECT_EQ(StripProblemExtension("plantmhs", "mhs"), "plantmhs");
    EXPECT_EQ(StripProblemExtension("fl", "fl"), "fl");
}

TEST(JoinPath, OneSeparatorBetweenDirectoryAndName) {
    EXPECT_EQ(JoinDirectoryAndName("/home/ann", "town.fl"), "/home/ann/town.fl");
    // A drive root already ends in the separator.
    EXPECT_EQ(JoinDirectoryAndName("/", "town.fl"), "/town.fl");
    EXPECT_EQ(JoinDirectoryAndName("/media/usb/", "x"), "/media/usb/x");
    EXPECT_EQ(JoinDirectoryAndName("C:\\", "x.fl", '\\'), "C:\\x.fl");
    EXPECT_EQ(JoinDirectoryAndName("C:\\data", "x.fl", '\\'), "C:\\data\\x.fl");
}

TEST(AcceptableName, RejectsWhatIsNoFileName) {
    EXPECT_TRUE(IsAcceptableFileName("town.fl"));
    EXPECT_TRUE(IsAcceptableFileName(" spaced name "));
    EXPECT_FALSE(IsAcceptableFileName(""));
    EXPECT_FALSE(IsAcceptableFileName("."));
    EXPECT_FALSE(IsAcceptableFileName(".."));
    EXPECT_FALSE(IsAcceptableFileName("sub/town.fl"));
    EXPECT_FALSE(IsAcceptableFileName("/etc/passwd"));
    EXPECT_FALSE(IsAcceptableFileName(std::string_view("a\0b", 3)));
}

TEST(ClickedName, StrippedOnlyInSaveMode) {
    EXPECT_EQ(ClickedFileName("town.fl", ChooserMode::Write, "fl"), "town");
    EXPECT_EQ(ClickedFileName("town.fl", ChooserMode::Read, "fl"), "town.fl");
    EXPECT_EQ(ClickedFileName("plant.mhs", ChooserMode::Write, "mhs"), "plant");
}

TEST(ChosenPath, SaveModeNormalisesTheEnding) {
    EXPECT_EQ(ChosenProblemFileName("/d", "town", ChooserMode::Write, "fl"), "/d/town.fl");
    // The same name typed with its ending gives the same path.
    EXPECT_EQ(ChosenProblemFileName("/d", "town.fl", ChooserMode::Write, "fl"), "/d/town.fl");
    EXPECT_EQ(ChosenProblemFileName("/d", "plant.mhs", ChooserMode::Write, "mhs"), "/d/plant.mhs");
    EXPECT_EQ(ChosenProblemFileName("/d", "plant", ChooserMode::Write, "mhs"), "/d/plant.mhs");
    EXPECT_EQ(ChosenProblemFileName("/d", "townfl", ChooserMode::Write, "fl"), "/d/townfl.fl");
    EXPECT_EQ(ChosenProblemFileName("/d", "v1.2", ChooserMode::Write, "sm"), "/d/v1.2.sm");
    EXPECT_EQ(ChosenProblemFileName("/", "town", ChooserMode::Write, "fl"), "/town.fl");
}

TEST(ChosenPath, ShortNamesNeverReachIntoTheDirectory) {
    EXPECT_EQ(ChosenProblemFileName("/home/ann", "fl", ChooserMode::Write, "fl"),
              "/home/ann/fl.fl");
    EXPECT_EQ(ChosenProblemFileName("/home/ann", "l", ChooserMode::Write, "fl"), "/home/ann/l.fl");
    // Nothing is left of ".fl" once its ending is gone.
    EXPECT_EQ(ChosenProblemFileName("/home/ann", ".fl", ChooserMode::Write, "fl"), std::nullopt);
}

TEST(ChosenPath, LoadModeTakesTheNameAsItStands) {
    EXPECT_EQ(ChosenProblemFileName("/d", "town", ChooserMode::Read, "fl"), "/d/town");
    EXPECT_EQ(ChosenProblemFileName("/d", "town.fl", ChooserMode::Read, "fl"), "/d/town.fl");
    EXPECT_EQ(ChosenProblemFileName("/d", "townfl", ChooserMode::Read, "fl"), "/d/townfl");
    EXPECT_EQ(ChosenProblemFileName("/", "x.mhs", ChooserMode::Read, "mhs"), "/x.mhs");
}

TEST(ChosenPath, InvalidNamesGiveNoPath) {
    for (ChooserMode mode : {ChooserMode::Read, ChooserMode::Write}) {
        EXPECT_EQ(ChosenProblemFileName("/d", "", mode, "fl"), std::nullopt);
        EXPECT_EQ(ChosenProblemFileName("/d", "..", mode, "fl"), std::nullopt);
        EXPECT_EQ(ChosenProblemFileName("/d", "a/b", mode, "fl"), std::nullopt);
    }
}

} // namespace
} // namespace davrenta
