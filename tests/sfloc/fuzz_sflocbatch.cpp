// davrenta-batch sfloc end to end on any file bytes: the results as text and as JSON, each run
// saving the problem, then the saved file read back and solved again. Whatever the file holds,
// the exit status is one of the table's, the JSON parses and every figure in it is finite, a
// run that is done saves exactly the problem it read, which reads back and solves to the same
// results, and a run that is not done saves nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "batch/sflocbatch.h"
#include "fuzz/batchfuzz.h"
#include "sfloc/sffile.h"

using namespace davrenta;
using namespace davrenta::fuzz;

namespace {

// The problem as the study's table holds it, in the file's own text.
std::optional<std::string> Canonical(std::string_view contents) {
    auto problem = ParseSfProblem(contents);
    if (!problem)
        return std::nullopt;
    SingleFacilityState sf;
    ApplySfProblem(*problem, sf);
    return SfFileContents(sf);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> problem = Canonical(file);
    PrepareFiles(file);

    const Run text = RunCommand(AddSflocCommand, {"sfloc", ProblemPath(), "--save", FilePath(1)});
    const Run json =
        RunCommand(AddSflocCommand, {"sfloc", ProblemPath(), "--save", FilePath(2), "--json"});
    CheckRuns(text, json);
    Require(problem.has_value() == (text.status != kExitUnreadable),
            "the batch and the reader disagree on the file");
    const nlohmann::json j = ParsedJson(json);
    const std::optional<std::string> saved = SavedByBoth(text);
    if (!saved)
        return 0;

    CheckFigures(j, {});
    Require(!HasNonFiniteWord(text.out) && !HasNonFiniteWord(json.out),
            "a figure printed as inf or nan");
    Require(*saved == *problem, "the saved file is not the problem that was read");
    Require(Canonical(*saved) == saved, "the saved file does not read back to itself");

    const Run again =
        RunCommand(AddSflocCommand, {"sfloc", FilePath(1), "--save", FilePath(3), "--json"});
    Require(again.status == kExitDone && again.out == json.out,
            "the saved problem solves to other results");
    Require(ReadBytes(FilePath(3)) == saved, "saving the saved problem changed it");
    return 0;
}
