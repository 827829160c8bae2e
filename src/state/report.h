#pragma once

#include <string>
#include <vector>

namespace davrenta {

// One printed item: text as it stands, a number (signed form and one blank), a tab to a
// print column (1-based), or a run of blanks.
struct ReportItem {
    enum class Kind { Text, Number, Tab, Blanks };
    Kind kind = Kind::Text;
    std::string text;
    double number = 0;
    int count = 0; // the column of a tab, the count of blanks
};

struct ReportLine {
    std::vector<ReportItem> items;

    ReportLine& text(std::string value);
    ReportLine& number(double value);
    ReportLine& tab(int column);
    ReportLine& blanks(int count);
};

// A character report: a font and lines of items, printed in order.
struct Report {
    std::string fontName; // "courier", "times new roman", "fixedsys", or empty: the printer's
    int fontSize = 12;
    std::vector<ReportLine> lines;

    Report() = default;
    Report(std::string font, int size) : fontName(std::move(font)), fontSize(size) {}
    ReportLine& line(); // appends an empty line and returns it
    bool operator==(const Report&) const;
};

// A piece of a rendered line: text starting at a print column. "tabbed" tells a painter with
// a proportional font that the column is a tab stop rather than where the previous text ended.
struct ReportSegment {
    int column = 1;
    std::string text;
    bool tabbed = false;
};

// The printed lines with their pieces; a tab to a column the line is already past starts a new
// printed line at that column.
std::vector<std::vector<ReportSegment>> RenderSegments(const Report& report);

// The exact character lines of a report.
std::vector<std::string> RenderText(const Report& report);

} // namespace davrenta
