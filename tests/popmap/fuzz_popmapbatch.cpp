// davrenta-batch popmap end to end on any file bytes: the command line as a user types it, the
// text output and the JSON output, each run saving the problem with the new POD(s) added, then
// the saved problem read back and run again. The first byte picks the options, the rest is the
// .fl file. Whatever the file holds, the exit status is one of the table's, a failure says why
// on stderr in a short message, no raw control byte reaches the terminal, the JSON parses back
// with no text replaced and every figure in it is finite, a result names a real cell of the map,
// and the saved problem is the one read with the new PODs as existing ones: it reads back to
// itself, and its existing PODs reach every cell as far as the new layout did.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/modulestate.h"
#include "batch/popmapbatch.h"
#include "fuzz/batchfuzz.h"
#include "popmap/mapfile.h"

using namespace davrenta;
using namespace davrenta::fuzz;

namespace {

// Searches grow with the square of the cells; larger maps would make each run slow.
constexpr int kMaxCells = 30;

bool IsCell(const PopMap& fl, int line, int column) {
    return line >= 1 && line <= LastMapLine(fl) && column >= 1 && column <= CellsInLine(fl, line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned pick = data[0];
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);

    // Only small maps: the parse also tells which cells a result may name.
    ModuleState parsed;
    ResetPodSymbols(parsed.fl);
    const bool readable = ParseMapProblem(file, parsed.fl).ok();
    if (readable) {
        int cells = 0;
        for (int i = 1; i <= LastMapLine(parsed.fl); ++i)
            cells += CellsInLine(parsed.fl, i);
        if (cells > kMaxCells)
            return 0;
    }
    PrepareFiles(file);

    const int pods = 1 + static_cast<int>(pick & 1);
    const int measure = 1 + static_cast<int>((pick >> 1) & 3) % 3;
    const int distance = 1 + static_cast<int>((pick >> 3) & 3) % 3;
    const auto args = [&](const std::string& path, int newPods) {
        return std::vector<std::string>{"popmap",     path,
                                        "--pods",     std::to_string(newPods),
                                        "--measure",  std::to_string(measure),
                                        "--distance", std::to_string(distance)};
    };
    std::vector<std::string> command = args(ProblemPath(), pods);
    if (pods == 1 && (pick & 0x20)) {
        static const char* const bounds[] = {"0", "0.1", "0.5", "1"};
        command.insert(command.end(), {"--near-optimal", bounds[(pick >> 6) & 3]});
    }
    command.insert(command.end(), {"--save", FilePath(1)});
    const Run text = RunCommand(AddPopMapCommand, command);
    command.back() = FilePath(2);
    command.push_back("--json");
    const Run json = RunCommand(AddPopMapCommand, command);
    CheckRuns(text, json);

    // A save refuses a problem of more than 30 PODs and texts a file cannot keep.
    const bool saveRefused =
        parsed.fl.ExistingPodCount + pods > kMaxExistingPods || !MapFileContents(parsed.fl).ok();
    if (!readable)
        Require(text.status == kExitUnreadable, "the batch read a file the reader refuses");
    else if (text.status == kExitUnreadable)
        Require(saveRefused, "a readable problem whose save failed");
    nlohmann::json j = ParsedJson(json);
    const std::optional<std::string> saved = SavedByBoth(text);
    if (!saved)
        return 0;

    CheckFigures(j, {});
    const auto cell = [&](const char* line, const char* column) {
        Require(IsCell(parsed.fl, j.at(line).get<int>(), j.at(column).get<int>()),
                "a result made of no cell");
    };
    PopMap& fl = parsed.fl;
    fl.NewPodCount = pods;
    if (pods == 1) {
        cell("NewPodLine", "NewPodColumn");
        fl.NewPodLine = j["NewPodLine"];
        fl.NewPodColumn = j["NewPodColumn"];
    } else {
        cell("NewPod1Line", "NewPod1Column");
        cell("NewPod2Line", "NewPod2Column");
        fl.NewPod1Line = j["NewPod1Line"];
        fl.NewPod1Column = j["NewPod1Column"];
        fl.NewPod2Line = j["NewPod2Line"];
        fl.NewPod2Column = j["NewPod2Column"];
    }
    Require(AddNewPodsAsExisting(fl).ok(), "a save beyond the PODs a problem holds");
    const Result<std::string> expected = MapFileContents(fl);
    Require(expected.ok() && *expected == *saved,
            "the saved file is not the problem with the new PODs added");
    PopMap reread;
    Require(ParseMapProblem(*saved, reread).ok(), "the saved file cannot be read");
    const Result<std::string> rewritten = MapFileContents(reread);
    Require(rewritten.ok() && *rewritten == *saved, "the saved file does not read back to itself");

    // Every cell is as far from the saved problem's existing PODs as it was from the new layout.
    std::vector<std::string> again = args(FilePath(1), 1);
    again.push_back("--json");
    const Run rerun = RunCommand(AddPopMapCommand, again);
    Require(rerun.status == kExitDone || rerun.status == kExitNoResult,
            "the saved problem cannot be run");
    if (rerun.status == kExitDone && measure != 2) {
        const nlohmann::json k = nlohmann::json::parse(rerun.out);
        Require(k["PriorMaxDistance"] == j["BestMaxDistance"],
                "the saved PODs reach the cells otherwise than the new layout");
        Require(k["TotalPopulation"] == j["TotalPopulation"], "the saved map holds other people");
    }
    return 0;
}
