#include "batch/sitematchbatch.h"

#include <memory>

#include "sitematch/reports.h"
#include "sitematch/search.h"
#include "sitematch/smfile.h"
#include "sitematch/texts.h"

namespace davrenta {

namespace {

struct SiteMatchBatchOptions {
    std::string file;
    int maxSites = 1;
    std::string save;
    bool json = false;
};

// The program's own line break, as the results window's label carries it.
constexpr char kLineBreak = '\r';

template <std::size_t N>
void PrintColumns(std::ostream& out, const std::vector<std::array<std::string, N>>& rows,
                  std::size_t width) {
    for (const auto& row : rows) {
        std::string line;
        for (const auto& cell : row) {
            line += cell;
            line.append(cell.size() < width ? width - cell.size() : 1, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << SafeForTerminal(line) << '\n';
    }
}

ordered_json CostsJson(const SiteMatchState& sm) {
    ordered_json out = ordered_json::array();
    const std::vector<LimitCost> costs = CostsBySites(sm);
    for (std::size_t n = 0; n < costs.size(); ++n) {
        ordered_json row;
        row["MaxSites"] = costs[n].sites;
        row["ChosenSites"] = costs[n].chosen;
        row["OptimalTotalCost"] = costs[n].total;
        row["Saving"] =
            n == 0 ? ordered_json(nullptr) : ordered_json(costs[n - 1].total - costs[n].total);
        out.push_back(std::move(row));
    }
    return out;
}

int Run(const SiteMatchBatchOptions& options, std::ostream& out, std::ostream& err) {
    SiteMatchState sm;
    if (Status read = ReadSiteMatchFile(options.file, sm); !read)
        return Unreadable(err, read.message());
    sm.MaxSites = options.maxSites;
    if (Status searched = SearchForResults(sm); !searched)
        return NoResult(options.json, out, err, searched.message());

    const auto rows = MatchResultRows(sm);
    const std::string message = MatchMessage(sm, kLineBreak);
    const Report results = MatchResultsReport(sm, kLineBreak);
    const Report data = MatchDataReport(sm);

    if (!options.save.empty())
        if (Status saved = WriteSiteMatchFile(options.save, sm); !saved)
            return Unreadable(err, saved.message());

    {
        ordered_json j;
        j["MaxSites"] = sm.MaxSites;
        j["MatchFacilityCount"] = sm.MatchFacilityCount;
        j["SiteCount"] = sm.SiteCount;
        j["rows"] = JsonRows(rows);
        j["Label2"] = JsonText(message);
        j["Report"] = JsonReport(results);
        j["DataReport"] = JsonReport(data);
        j["OptimalTotalCost"] = sm.OptimalTotalCost;
        j["ChosenSites"] = ChosenSites(sm);
        j["CostsBySites"] = CostsJson(sm);
        if (std::optional<int> done = CheckedResult(options.json, out, err, j))
            return *done;
    }

    out << "== results ==\n";
    PrintColumns(out, std::vector<std::array<std::string, 3>>{{"Facility", "Site(s)", "Cost"}}, 16);
    PrintColumns(out, rows, 16);
    out << '\n' << ForTerminal(message) << "\n\n";
    out << "== Costs by number of sites ==\n";
    std::vector<std::array<std::string, 4>> costs{
        {kCostsBySitesHeadings[0], kCostsBySitesHeadings[1], kCostsBySitesHeadings[2],
         kCostsBySitesHeadings[3]}};
    for (const auto& row : CostsBySitesRows(sm))
        costs.push_back(row);
    PrintColumns(out, costs, 20);
    out << '\n';
    PrintReport(out, "results", results);
    PrintReport(out, "data table", data);
    return kExitDone;
}

} // namespace

BatchCommand AddSiteMatchCommand(CLI::App& app) {
    auto options = std::make_shared<SiteMatchBatchOptions>();
    CLI::App* sm = app.add_subcommand(
        "sitematch", "Choose the cheapest one, two or three sites for the facilities (.sm file)");
    AddFileArgument(sm, options->file, "The matching problem file");
    sm->add_option("--max-sites", options->maxSites, "Largest number of sites to use: 1, 2 or 3")
        ->required()
        ->transform(WholeFrom(1, 3));
    AddSaveOption(sm, options->save,
                  "Also write the problem to this file, as the results window's Save does");
    AddJsonFlag(sm, options->json);
    return {sm,
            [options](std::ostream& out, std::ostream& err) { return Run(*options, out, err); }};
}

} // namespace davrenta
