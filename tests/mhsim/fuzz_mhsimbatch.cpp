// davrenta-batch mhsim end to end on any file bytes: the first byte picks the option and the
// number of cycles (the file's own or a few), the second the seed, the rest is the .mhs file;
// problems whose run would take more than a few thousand events are left out. The results as
// text and as JSON, each run saving the problem, then the saved file read back and run again
// with the same seed. Whatever the file holds, the exit status is one of the table's, the JSON
// parses and every figure in it is finite, a run that is done saves the problem it ran, which
// reads back and runs to the same results, and a run that is not done saves nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "batch/mhsimbatch.h"
#include "fuzz/batchfuzz.h"
#include "mhsim/parameters.h"
#include "mhsim/problemfile.h"

using namespace davrenta;
using namespace davrenta::fuzz;

namespace {

// Events a run may take here: a few milliseconds under the sanitizers.
constexpr double kMaxEvents = 2000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const unsigned pick = data[0];
    const std::string option = std::to_string(1 + (pick & 3));
    static constexpr int kCycles[] = {0, 2, 3, 5}; // 0: the file's
    const int cycles = kCycles[(pick >> 2) & 3];
    const std::string seed = std::to_string(data[1]);
    const std::string_view file(reinterpret_cast<const char*>(data) + 2, size - 2);

    const Result<MhsProblem> problem = ParseMhsProblem(file);
    MhSimState ran; // the problem as the run takes it
    if (problem) {
        ran.SimOption = 1 + static_cast<int>(pick & 3);
        ran.SimCycles = cycles > 0 ? cycles : problem->SimCycles;
        ran.CycleLength = problem->CycleLength;
        ran.QueueLimit = problem->QueueLimit;
        ran.DemandRate = problem->DemandRate;
        ran.DistCode = problem->DistCode;
        ran.ServiceParamA = problem->ServiceParamA;
        // The parameter window keeps Poisson's one parameter in both.
        ran.ServiceParamB =
            problem->DistCode == 6 ? problem->ServiceParamA : problem->ServiceParamB;
        ran.NumServers = problem->NumServers;
        if (!(ExpectedWork(ran).total <= kMaxEvents))
            return 0;
    }
    PrepareFiles(file);

    const auto run = [&](const std::string& path, const std::string& save, bool json,
                         bool fileCycles) {
        std::vector<std::string> args = {"mhsim",  path, "--option", option,
                                         "--seed", seed, "--save",   save};
        if (cycles > 0 && !fileCycles)
            args.insert(args.end(), {"--cycles", std::to_string(cycles)});
        if (json)
            args.push_back("--json");
        return RunCommand(AddMhSimCommand, args);
    };
    const Run text = run(ProblemPath(), FilePath(1), false, false);
    const Run json = run(ProblemPath(), FilePath(2), true, false);
    CheckRuns(text, json);
    Require(problem.ok() == (text.status != kExitUnreadable),
            "the batch and the reader disagree on the file");
    const nlohmann::json j = ParsedJson(json);
    const std::optional<std::string> saved = SavedByBoth(text);
    if (!saved)
        return 0;

    CheckFigures(j, {});
    Require(!HasNonFiniteWord(text.out) && !HasNonFiniteWord(json.out),
            "a figure printed as inf or nan");
    const Result<MhsProblem> reread = ParseMhsProblem(*saved);
    Require(reread.ok(), "the saved file cannot be read");
    Require(reread->SimCycles == ran.SimCycles && reread->CycleLength == ran.CycleLength &&
                reread->QueueLimit == ran.QueueLimit && reread->DemandRate == ran.DemandRate &&
                reread->DistCode == ran.DistCode && reread->ServiceParamA == ran.ServiceParamA &&
                reread->ServiceParamB == ran.ServiceParamB && reread->NumServers == ran.NumServers,
            "the saved file is not the problem that was run");
    Require(MhsFileContents(ran) == *saved, "the saved file is not in the file's own text");

    // The saved file carries the number of cycles of the run.
    const Run again = run(FilePath(1), FilePath(3), true, true);
    Require(again.status == kExitDone && again.out == json.out,
            "the saved problem runs to other results");
    Require(ReadBytes(FilePath(3)) == saved, "saving the saved problem changed it");
    return 0;
}
