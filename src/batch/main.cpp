// davrenta-batch: runs a study on a problem file and prints what its windows and reports show.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "batch/mhactbatch.h"
#include "batch/mhsimbatch.h"
#include "batch/popmapbatch.h"
#include "batch/sflocbatch.h"
#include "batch/sitematchbatch.h"
#include "state/messagetext.h"
#include "version.h"

namespace {

// An example under each study's --help. A study whose subcommand is not offered is skipped.
void SetExampleFooters(CLI::App& app) {
    struct Footer {
        const char* name;
        const char* text;
    };
    static constexpr Footer footers[] = {
        {"popmap", "Example (one new POD, minimize travel, Euclidean distance):\n"
                   "  davrenta-batch popmap small-town.fl --pods 1 --measure 1 --distance 2"},
        {"sfloc", "Example (the location under the three distance methods, as JSON):\n"
                  "  davrenta-batch sfloc rural-clinic.sf --json"},
        {"sitematch", "Example (at most two sites, the problem saved under a new name):\n"
                      "  davrenta-batch sitematch county-depots.sm --max-sites 2 --save two.sm"},
        {"mhact", "Example (rectilinear distances, then switches until none lowers the activity):\n"
                  "  davrenta-batch mhact assembly-plant.mh --distance 1 --improve"},
        {"mhsim", "Example (multi-servers, 30 cycles, repeatable):\n"
                  "  davrenta-batch mhsim loading-dock.mhs --option 1 --cycles 30 --seed 7 --json"},
    };
    for (const Footer& f : footers) {
        const auto found =
            app.get_subcommands([&f](CLI::App* sub) { return sub->get_name() == f.name; });
        if (!found.empty())
            found.front()->footer(
                std::string(f.text) +
                "\nThe example files are in /usr/share/davrenta/examples; copy one into the\n"
                "current folder to run the example as shown.");
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace davrenta;
    CLI::App app{"Runs a Davrenta study on a problem file and prints its results and reports."};
    app.set_version_flag("--version", kVersion);
    app.require_subcommand(1);

    const BatchCommand commands[] = {AddPopMapCommand(app), AddSflocCommand(app),
                                     AddSiteMatchCommand(app), AddMhActCommand(app),
                                     AddMhSimCommand(app)};
    SetExampleFooters(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            const int status = app.exit(e);
            return DeliverOutput(stdout, std::cerr, "", status);
        }
        // The usage text of the study whose options were wrong, else the program's. The parser's
        // text may quote an argument: never whole, never with raw bytes.
        const CLI::App* usage = &app;
        for (const BatchCommand& c : commands)
            if (c.command && c.command->parsed())
                usage = c.command;
        std::cerr << "davrenta-batch: " << QuoteForMessage(e.what(), 200) << "\n\n"
                  << usage->help();
        return kExitUsage;
    }
    for (const BatchCommand& c : commands)
        if (c.command && c.command->parsed()) {
            // The output is held until the run ends, so that a run that fails half way prints
            // nothing of it, and a write that fails is seen.
            std::ostringstream out;
            const int status = c.run(out, std::cerr);
            return DeliverOutput(stdout, std::cerr, out.str(), status);
        }
    std::cerr << app.help();
    return kExitUsage;
}
