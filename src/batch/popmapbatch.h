#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "batch/batchio.h"
#include "state/result.h"

namespace davrenta {

struct PopMapBatchOptions {
    std::string file;
    int pods = 1;
    int measure = 1;
    int distance = 1;
    std::optional<std::string> nearOptimal; // the bound as typed
    bool json = false;
    std::optional<std::string> save; // the results window's Save to this file
    double timeLimit = 0;            // seconds for three or more PODs; 0 for none
    std::optional<int> podsCurve;    // the POD-count study up to this many
    std::optional<double> cover;     // the coverage study for this radius
    bool podsGiven = true;           // with --cover: whether --pods asks for a population too
    std::vector<std::pair<int, int>> evaluate; // --evaluate: the given new PODs (line, column)
};

// Runs the population-map study on a problem file through its whole result sequence and
// writes what a user reads. Returns the process exit status: 0 done, 3 the file cannot be
// read or the save failed, 4 the search failed (or the near-optimal bound was refused).
int RunPopMapBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err);

struct ModuleState;

// The problem file read into a fresh state with the options' settings, as the method window
// reads it.
Status ReadBatchProblem(const PopMapBatchOptions& options, ModuleState& state);

// The POD-count study (--pods-curve) and the coverage study (--cover), on the file's problem.
int RunPodCurveBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err);
int RunCoverBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err);

// The figures of given new PODs (--evaluate) and the objective surface of one new POD
// (--surface), on the file's problem.
int RunEvaluateBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err);
int RunSurfaceBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err);

// The new PODs of a result as [[line, column], ...].
ordered_json JsonCells(const std::vector<std::pair<int, int>>& cells);

// The "popmap" subcommand.
BatchCommand AddPopMapCommand(CLI::App& app);

} // namespace davrenta
