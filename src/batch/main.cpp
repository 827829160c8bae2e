// davrenta-batch: runs a study on a problem file and prints what its windows and reports show.
#include <iostream>

#include "batch/mhactbatch.h"
#include "batch/mhsimbatch.h"
#include "batch/popmapbatch.h"
#include "batch/sflocbatch.h"
#include "batch/sitematchbatch.h"
#include "state/messagetext.h"
#include "version.h"

int main(int argc, char** argv) {
    using namespace davrenta;
    CLI::App app{"Runs a Davrenta study on a problem file and prints its results and reports."};
    app.set_version_flag("--version", kVersion);
    app.require_subcommand(1);

    const BatchCommand commands[] = {AddPopMapCommand(app), AddSflocCommand(app),
                                     AddSiteMatchCommand(app), AddMhActCommand(app),
                                     AddMhSimCommand(app)};
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0)
            return app.exit(e);
        // The parser's text may quote an argument: never whole, never with raw bytes.
        std::cerr << "davrenta-batch: " << QuoteForMessage(e.what(), 200) << "\n\n" << app.help();
        return kExitUsage;
    }
    for (const BatchCommand& c : commands)
        if (c.command && c.command->parsed())
            return c.run(std::cout, std::cerr);
    std::cerr << app.help();
    return kExitUsage;
}
