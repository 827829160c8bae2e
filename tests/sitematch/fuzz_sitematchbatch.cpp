// davrenta-batch sitematch end to end on any file bytes: the first byte picks the site limit, the
// rest is the .sm file. The results as text and as JSON, each run saving the problem, then the
// saved file read back and searched again. Whatever the file holds, the exit status is one of
// the table's, the JSON parses and every figure in it is finite, a run that is done saves
// exactly the problem it read, which reads back and searches to the same results, and a run
// that is not done saves nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "batch/sitematchbatch.h"
#include "fuzz/batchfuzz.h"
#include "sitematch/smfile.h"

using namespace davrenta;
using namespace davrenta::fuzz;

namespace {

// The problem as the study's tables hold it, in the file's own text.
std::optional<std::string> Canonical(std::string_view contents) {
    SiteMatchState sm;
    if (!ParseSiteMatchProblem(contents, sm).ok())
        return std::nullopt;
    return SiteMatchFileContents(sm);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string maxSites = std::to_string(1 + data[0] % 3);
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::optional<std::string> problem = Canonical(file);
    PrepareFiles(file);

    const auto run = [&maxSites](const std::string& path, const std::string& save, bool json) {
        std::vector<std::string> args = {"sitematch", path,     "--max-sites",
                                         maxSites,    "--save", save};
        if (json)
            args.push_back("--json");
        return RunCommand(AddSiteMatchCommand, args);
    };
    const Run text = run(ProblemPath(), FilePath(1), false);
    const Run json = run(ProblemPath(), FilePath(2), true);
    CheckRuns(text, json);
    Require(problem.has_value() == (text.status != kExitUnreadable),
            "the batch and the reader disagree on the file");
    const nlohmann::json j = ParsedJson(json);
    const std::optional<std::string> saved = SavedByBoth(text);
    if (!saved)
        return 0;

    // The saving of the first site limit has nothing to compare with.
    CheckFigures(j, {"Saving"});
    Require(!HasNonFiniteWord(text.out) && !HasNonFiniteWord(json.out),
            "a figure printed as inf or nan");
    Require(*saved == *problem, "the saved file is not the problem that was read");
    Require(Canonical(*saved) == saved, "the saved file does not read back to itself");

    const Run again = run(FilePath(1), FilePath(3), true);
    Require(again.status == kExitDone && again.out == json.out,
            "the saved problem searches to other results");
    Require(ReadBytes(FilePath(3)) == saved, "saving the saved problem changed it");
    return 0;
}
