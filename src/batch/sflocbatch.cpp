#include "batch/sflocbatch.h"

#include <memory>

#include "app/modulestate.h"
#include "sfloc/sffile.h"
#include "sfloc/solve.h"
#include "sfloc/texts.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

struct SflocOptions {
    std::string file;
    std::string save;
    bool json = false;
};

constexpr const char* kLabelNames[] = {"olrectxlbl", "olrectylbl", "oleuclxlbl",
                                       "oleuclylbl", "olsqeuxlbl", "olsqeuylbl"};

std::string Column(std::string text, std::size_t width) {
    text.append(text.size() < width ? width - text.size() : 1, ' ');
    return text;
}

std::string TrimRight(std::string line) {
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

// The table window in the result state, as text.
void PrintSolved(std::ostream& out, const SingleFacilityState& sf, const SfLabels& labels,
                 const std::array<std::string, 3>& objectives) {
    out << "== Existing Facility ==\n";
    out << TrimRight(Column("", 6) + Column("x", 24) + Column("y", 24) + "Weight") << '\n';
    const auto rows = TableBoxes(sf);
    for (std::size_t r = 0; r < rows.size(); ++r)
        out << TrimRight(Column(std::to_string(r + 1), 6) + Column(rows[r][0], 24) +
                         Column(rows[r][1], 24) + rows[r][2])
            << '\n';
    out << "\n== Optimal Location ==\n";
    out << TrimRight(Column("", 11) + Column("X", 28) + Column("Y", 28) + "Weighted total distance")
        << '\n';
    const char* names[] = {kRectName, kEuclName, kSqEuclName};
    for (std::size_t k = 0; k < 3; ++k)
        out << TrimRight(Column(names[k], 11) + Column(labels[2 * k], 28) +
                         Column(labels[2 * k + 1], 28) + objectives[k])
            << '\n';
}

int RunSfloc(const SflocOptions& options, std::ostream& out, std::ostream& err) {
    ModuleState state;
    state.ModuleFlag = Study::SingleFacility;
    state.ProblemFileName = options.file;
    if (Status read = ReadSfFile(state); !read)
        return Unreadable(err, read.message());

    auto solved = SolveSingleFacility(state.sf);
    if (!solved)
        return NoResult(options.json, out, err,
                        "The problem in " + options.file + " has no location: " + solved.message());
    const SfLabels labels = SolutionLabels(*solved);
    const auto objectives = ObjectiveTexts(*solved);

    if (!options.save.empty()) {
        ModuleState target = state;
        target.ProblemFileName = options.save;
        if (Status saved = WriteSfFile(target); !saved)
            return Unreadable(err, saved.message()); // the message names the file
    }

    {
        const SingleFacilityState& sf = state.sf;
        ordered_json j;
        for (std::size_t k = 0; k < labels.size(); ++k)
            j[kLabelNames[k]] = JsonText(labels[k]);
        j["ExistingFacilityCount"] = sf.ExistingFacilityCount;
        j["FacilityX"] = JsonSlots(sf.FacilityX, sf.ExistingFacilityCount);
        j["FacilityY"] = JsonSlots(sf.FacilityY, sf.ExistingFacilityCount);
        j["FacilityWeight"] = JsonSlots(sf.FacilityWeight, sf.ExistingFacilityCount);
        j["RectilinearObjective"] = solved->rectObjective;
        j["EuclideanObjective"] = solved->euclObjective;
        j["SquaredEuclideanObjective"] = solved->sqeuObjective;
        if (std::optional<int> done = CheckedResult(options.json, out, err, j))
            return *done;
    }
    PrintSolved(out, state.sf, labels, objectives);
    return kExitDone;
}

} // namespace

BatchCommand AddSflocCommand(CLI::App& app) {
    auto options = std::make_shared<SflocOptions>();
    CLI::App* sub = app.add_subcommand(
        "sfloc", "Locate one new facility among existing ones by demand (.sf file)");
    AddFileArgument(sub, options->file, "The single-facility problem file");
    AddSaveOption(sub, options->save, "Also write the problem, as Save does, to OUT");
    AddJsonFlag(sub, options->json);
    return {sub, [options](std::ostream& out, std::ostream& err) {
                return RunSfloc(*options, out, err);
            }};
}

} // namespace davrenta
