#include "state/report.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace davrenta {
namespace {

using Lines = std::vector<std::string>;

std::vector<std::string> Render(const ReportLine& line) {
    Report r;
    r.lines.push_back(line);
    return RenderText(r);
}

TEST(ReportRender, TextNumbersAndBlanksRunOn) {
    EXPECT_EQ(Render(ReportLine().text("n=").number(3)), Lines{"n= 3 "});
    EXPECT_EQ(Render(ReportLine().number(-2.5).number(0.1 + 0.2)), Lines{"-2.5  0.3 "});
    EXPECT_EQ(Render(ReportLine().text("a").blanks(3).text("b")), Lines{"a   b"});
    EXPECT_EQ(Render(ReportLine().blanks(0).blanks(-2).text("b")), Lines{"b"});
    EXPECT_EQ(Render(ReportLine()), Lines{""});
}

TEST(ReportRender, TabMovesToColumnOfCurrentLine) {
    EXPECT_EQ(Render(ReportLine().text("ab").tab(6).text("c")), Lines{"ab   c"});
    EXPECT_EQ(Render(ReportLine().tab(3).text("x").tab(5).number(7)), Lines{"  x  7 "});
    // A tab exactly at the current position changes nothing.
    EXPECT_EQ(Render(ReportLine().text("abcd").tab(5).text("e")), Lines{"abcde"});
    EXPECT_EQ(Render(ReportLine().tab(1).text("a")), Lines{"a"});
    EXPECT_EQ(Render(ReportLine().tab(0).text("a")), Lines{"a"});
    // A closing tab still moves the position.
    EXPECT_EQ(Render(ReportLine().text("a").tab(4)), Lines{"a  "});
}

TEST(ReportRender, TabBehindPositionStartsNextPrintedLine) {
    EXPECT_EQ(Render(ReportLine().text("abcdef").tab(3).text("x")), (Lines{"abcdef", "  x"}));
    EXPECT_EQ(Render(ReportLine().text("abc").tab(3).text("x")), (Lines{"abc", "  x"}));
    // Two tabs in a row: the second goes back from where the first one moved to.
    EXPECT_EQ(Render(ReportLine().text("a").tab(10).tab(5).text("x")),
              (Lines{"a        ", "    x"}));
    Report r;
    r.line().text("one");
    r.line();
    r.line().text("long text").tab(2).text("b").tab(4).text("c");
    EXPECT_EQ(RenderText(r), (Lines{"one", "", "long text", " b c"}));
}

TEST(ReportRender, ColumnsCountCharactersNotBytes) {
    EXPECT_EQ(Render(ReportLine().text("\xC3\xA9").tab(3).text("x")), Lines{"\xC3\xA9 x"});
}

TEST(ReportSegments, PiecesCarryColumnAndTabStop) {
    Report r;
    r.line().text("Area").number(12).tab(10).text("Pop").blanks(2).text("x").tab(3).text("y");
    auto printed = RenderSegments(r);
    ASSERT_EQ(printed.size(), 2u);
    ASSERT_EQ(printed[0].size(), 2u);
    EXPECT_EQ(printed[0][0].column, 1);
    EXPECT_EQ(printed[0][0].text, "Area 12 ");
    EXPECT_FALSE(printed[0][0].tabbed);
    EXPECT_EQ(printed[0][1].column, 10);
    EXPECT_EQ(printed[0][1].text, "Pop  x");
    EXPECT_TRUE(printed[0][1].tabbed);
    ASSERT_EQ(printed[1].size(), 1u);
    EXPECT_EQ(printed[1][0].column, 3);
    EXPECT_EQ(printed[1][0].text, "y");
    EXPECT_TRUE(printed[1][0].tabbed);
    EXPECT_TRUE(RenderSegments(Report()).empty());
}

TEST(Report, EqualityComparesFontAndItems) {
    auto make = [] {
        Report r("courier", 12);
        r.line().text("a").number(1.5).tab(4).blanks(2);
        r.line();
        return r;
    };
    EXPECT_EQ(make(), make());
    Report other = make();
    other.fontSize = 10;
    EXPECT_FALSE(other == make());
    other = make();
    other.lines[0].items[1].number = 2.5;
    EXPECT_FALSE(other == make());
    other = make();
    other.lines[0].items[2].count = 5;
    EXPECT_FALSE(other == make());
    other = make();
    other.line();
    EXPECT_FALSE(other == make());
    other = make();
    other.lines[0].items[0].kind = ReportItem::Kind::Number;
    EXPECT_FALSE(other == make());
}

} // namespace
} // namespace davrenta
