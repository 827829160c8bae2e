// davrenta-batch mhact end to end on any file bytes: the first byte picks the distance method,
// --improve, and --optimal (on layouts small enough to prove quickly, or stopped by a tiny time
// limit), the rest is the .mh file. The results as text and as JSON, each run saving the
// problem, then the saved file read back and computed again. Whatever the file holds, the exit
// status is one of the table's, the JSON parses and every figure in it is finite (or null where
// a window shows none), a run that is done saves exactly the problem it read with the moves of a
// pair combined, which reads back and computes to the same results, and a run that is not done
// saves nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "batch/mhactbatch.h"
#include "fuzz/batchfuzz.h"
#include "mhact/activity.h"
#include "mhact/mhfile.h"

using namespace davrenta;
using namespace davrenta::fuzz;

namespace {

// The best layout search proves layouts of up to this many departments in milliseconds.
constexpr int kMaxProvenDepartments = 8;

// The best layout's part of the results, which a search stopped by its time limit may find
// differently from one run to the next.
constexpr const char* kBestLayoutKeys[] = {
    "OptimalActivity", "OptimalLayout",       "Proven",           "LowerBound",           "Gap",
    "CurrentActivity", "CurrentAboveOptimal", "ImprovedActivity", "ImprovedAboveOptimal", "bestgrd",
    "BestLabel1",      "BestLabel2",          "BestPrint"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned pick = data[0];
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
    MhActivityState mh;
    const bool readable = ParseMhProblem(file, mh).ok();
    bool userNonFinite = false;
    for (int i = 1; i <= mh.DeptCount; ++i)
        userNonFinite = userNonFinite || MentionsNonFinite(mh.DeptName[i]);
    // The problem as a save writes it: the moves of each pair combined, as the results window
    // leaves them.
    CombineDirections(mh);
    const Result<std::string> problem = MhFileContents(mh);
    PrepareFiles(file);

    std::vector<std::string> options = {"--distance", std::to_string(1 + (pick & 3) % 3)};
    if (pick & 4)
        options.push_back("--improve");
    const bool optimal = (pick & 8) && mh.DeptCount <= kMaxProvenDepartments;
    if (optimal)
        options.insert(options.end(), {"--optimal", "--time-limit", pick & 16 ? "0.001" : "5"});
    const auto run = [&options](const std::string& path, const std::string& save, bool json) {
        std::vector<std::string> args = {"mhact", path, "--save", save};
        args.insert(args.end(), options.begin(), options.end());
        if (json)
            args.push_back("--json");
        return RunCommand(AddMhActCommand, args);
    };
    const Run text = run(ProblemPath(), FilePath(1), false);
    const Run json = run(ProblemPath(), FilePath(2), true);
    CheckRuns(text, json);
    if (!readable)
        Require(text.status == kExitUnreadable, "the batch read a file the reader refuses");
    else if (text.status == kExitUnreadable)
        Require(!problem.ok(), "a readable problem whose save failed");
    nlohmann::json j = ParsedJson(json);
    const std::optional<std::string> saved = SavedByBoth(text);
    if (!saved)
        return 0;

    // Averages of no load have no value.
    CheckFigures(j, {"AverageMoveDistance", "StandardDeviation", "Gap", "CurrentAboveOptimal",
                     "ImprovedAboveOptimal"});
    Require(userNonFinite || (!HasNonFiniteWord(text.out) && !HasNonFiniteWord(json.out)),
            "a figure printed as inf or nan");
    Require(problem.ok() && *saved == *problem, "the saved file is not the problem that was read");
    MhActivityState reread;
    Require(ParseMhProblem(*saved, reread).ok(), "the saved file cannot be read");
    const Result<std::string> rewritten = MhFileContents(reread);
    Require(rewritten.ok() && *rewritten == *saved, "the saved file does not read back to itself");

    const Run again = run(FilePath(1), FilePath(3), true);
    Require(again.status == kExitDone, "the saved problem gives no result");
    Require(ReadBytes(FilePath(3)) == saved, "saving the saved problem changed it");
    nlohmann::json k = nlohmann::json::parse(again.out);
    // The move table prints the moves as the file gave them, before they are combined.
    j.erase("MoveTablePrint");
    k.erase("MoveTablePrint");
    if (optimal && !(j["Proven"].get<bool>() && k["Proven"].get<bool>()))
        for (const char* key : kBestLayoutKeys) {
            j.erase(key);
            k.erase(key);
        }
    Require(j == k, "the saved problem computes to other results");
    return 0;
}
