// davrenta-batch: runs a study on a problem file and prints what its windows and reports show.
#include <iostream>

#include <CLI/CLI.hpp>

#include "batch/popmapbatch.h"
#include "version.h"

int main(int argc, char** argv) {
    CLI::App app{"Runs a Davrenta study on a problem file and prints its results and reports."};
    app.set_version_flag("--version", davrenta::kVersion);
    app.require_subcommand(1);

    davrenta::PopMapBatchOptions popmap;
    std::string bound;
    auto* pm = app.add_subcommand("popmap", "Locate new PODs on a population map (.fl file)");
    pm->add_option("FILE", popmap.file, "The population-map problem file")->required();
    pm->add_option("--pods", popmap.pods, "Number of new PODs: 1 or 2")
        ->required()->check(CLI::IsMember({1, 2}));
    pm->add_option("--measure", popmap.measure,
                   "1 minimize travel, 2 maximum number served, 3 minimize maximum distance")
        ->required()->check(CLI::IsMember({1, 2, 3}));
    pm->add_option("--distance", popmap.distance, "1 rectilinear, 2 Euclidean, 3 squared Euclidean")
        ->required()->check(CLI::IsMember({1, 2, 3}));
    auto* near = pm->add_option("--near-optimal", bound,
                                "Mark the cells within this fraction (0 to 1) of the optimum (one POD)");
    pm->add_flag("--json", popmap.json, "Print one JSON object instead of text");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0)
            return app.exit(e);
        std::cerr << "davrenta-batch: " << e.what() << "\n\n" << app.help();
        return 2;
    }
    if (near->count() > 0) {
        if (popmap.pods != 1) {
            std::cerr << "davrenta-batch: --near-optimal needs --pods 1\n\n" << app.help();
            return 2;
        }
        popmap.nearOptimal = bound;
    }
    return davrenta::RunPopMapBatch(popmap, std::cout, std::cerr);
}
