#include "sitematch/reports.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "sitematch/texts.h"

namespace davrenta {

namespace {

constexpr const char* kReportFont = "fixedsys";
constexpr int kReportFontSize = 10;

} // namespace

Report MatchDataReport(const SiteMatchState& sm) {
    Report report(kReportFont, kReportFontSize);
    report.line();
    report.line().text("Fac.").tab(11).text("Sites").tab(60).text("Demand");
    report.line();
    const int m = std::clamp(sm.MatchFacilityCount, 0, kMaxMatchFacilities);
    const int s = std::clamp(sm.SiteCount, 0, kMaxSites);
    for (int i = 1; i <= m; ++i) {
        ReportLine& line = report.line();
        line.number(i).blanks(6);
        for (int j = 1; j <= s; ++j)
            line.number(sm.SiteTime(i, j)).blanks(6);
        line.tab(60).number(sm.FacilityDemand[i]);
    }
    return report;
}

Report MatchResultsReport(const SiteMatchState& sm, char lineBreak) {
    Report report(kReportFont, kReportFontSize);
    report.line();
    report.line().text("Results for facility site matching");
    report.line();
    const std::string message = MatchMessage(sm, lineBreak);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = message.find(lineBreak, start);
        report.line().text(message.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    report.line();
    report.line().text("Fac.").tab(10).text("Sites").tab(20).text("Cost");
    report.line();
    for (const auto& row : MatchResultRows(sm))
        report.line().text(row[0]).tab(10).text(row[1]).tab(20).text(row[2]);
    // What the window shows besides: the best cost at each limit on the number of sites.
    report.line();
    report.line().text("Costs by number of sites");
    report.line();
    constexpr int kColumns[] = {1, 16, 31, 51};
    auto row = [&](const auto& cells) {
        ReportLine& line = report.line().text(cells[0]);
        for (std::size_t k = 1; k < cells.size(); ++k)
            if (!std::string_view(cells[k]).empty())
                line.tab(kColumns[k]).text(cells[k]);
    };
    row(kCostsBySitesHeadings);
    for (const auto& cells : CostsBySitesRows(sm))
        row(cells);
    return report;
}

} // namespace davrenta
