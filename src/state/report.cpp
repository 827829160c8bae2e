#include "state/report.h"

#include <cmath>
#include <cstdint>

#include "state/numbers.h"

namespace davrenta {

namespace {

// Print columns count characters, not bytes: UTF-8 continuation bytes take no column.
std::int64_t Columns(const std::string& text) {
    std::int64_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

bool SameItem(const ReportItem& a, const ReportItem& b) {
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case ReportItem::Kind::Text:
        return a.text == b.text;
    case ReportItem::Kind::Number:
        return a.number == b.number || (std::isnan(a.number) && std::isnan(b.number));
    case ReportItem::Kind::Tab:
    case ReportItem::Kind::Blanks:
        return a.count == b.count;
    }
    return false;
}

} // namespace

ReportLine& ReportLine::text(std::string value) {
    ReportItem item;
    item.kind = ReportItem::Kind::Text;
    item.text = std::move(value);
    items.push_back(std::move(item));
    return *this;
}

ReportLine& ReportLine::number(double value) {
    ReportItem item;
    item.kind = ReportItem::Kind::Number;
    item.number = value;
    items.push_back(std::move(item));
    return *this;
}

ReportLine& ReportLine::tab(int column) {
    ReportItem item;
    item.kind = ReportItem::Kind::Tab;
    item.count = column;
    items.push_back(std::move(item));
    return *this;
}

ReportLine& ReportLine::blanks(int count) {
    ReportItem item;
    item.kind = ReportItem::Kind::Blanks;
    item.count = count;
    items.push_back(std::move(item));
    return *this;
}

ReportLine& Report::line() {
    lines.emplace_back();
    return lines.back();
}

bool Report::operator==(const Report& other) const {
    if (fontName != other.fontName || fontSize != other.fontSize ||
        lines.size() != other.lines.size())
        return false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& a = lines[i].items;
        const auto& b = other.lines[i].items;
        if (a.size() != b.size())
            return false;
        for (std::size_t k = 0; k < a.size(); ++k)
            if (!SameItem(a[k], b[k]))
                return false;
    }
    return true;
}

std::vector<std::vector<ReportSegment>> RenderSegments(const Report& report) {
    std::vector<std::vector<ReportSegment>> printed;
    for (const ReportLine& line : report.lines) {
        printed.emplace_back();
        std::int64_t used = 0; // columns printed on the current printed line
        // Where the next piece starts when a tab placed it; 0 while text simply runs on.
        std::int64_t tabColumn = 0;
        auto put = [&](const std::string& text) {
            auto& pieces = printed.back();
            if (tabColumn > 0 || pieces.empty()) {
                ReportSegment piece;
                piece.column = static_cast<int>(tabColumn > 0 ? tabColumn : used + 1);
                piece.tabbed = tabColumn > 0;
                pieces.push_back(piece);
                if (tabColumn > 0)
                    used = tabColumn - 1;
                tabColumn = 0;
            }
            pieces.back().text += text;
            used += Columns(text);
        };
        for (const ReportItem& item : line.items) {
            switch (item.kind) {
            case ReportItem::Kind::Text:
                put(item.text);
                break;
            case ReportItem::Kind::Number:
                put(StrForm(item.number) + " ");
                break;
            case ReportItem::Kind::Blanks:
                put(std::string(item.count > 0 ? static_cast<std::size_t>(item.count) : 0, ' '));
                break;
            case ReportItem::Kind::Tab: {
                std::int64_t column = item.count < 1 ? 1 : item.count;
                if (tabColumn > 0) {
                    // Two tabs in a row: the first one's move is made before the second.
                    put(std::string());
                }
                if (used >= column) {
                    printed.emplace_back();
                    used = 0;
                }
                tabColumn = column;
                break;
            }
            }
        }
        if (tabColumn > 0)
            put(std::string()); // a closing tab still moves the print position
    }
    return printed;
}

std::vector<std::string> RenderText(const Report& report) {
    std::vector<std::string> out;
    for (const auto& pieces : RenderSegments(report)) {
        std::string text;
        std::int64_t used = 0;
        for (const ReportSegment& piece : pieces) {
            if (piece.column - 1 > used) {
                text.append(static_cast<std::size_t>(piece.column - 1 - used), ' ');
                used = piece.column - 1;
            }
            text += piece.text;
            used += Columns(piece.text);
        }
        out.push_back(std::move(text));
    }
    return out;
}

} // namespace davrenta
