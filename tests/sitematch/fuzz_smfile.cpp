// The matching problem reader on any bytes: it either reads a problem that fits the tables,
// which then writes back to a text that reads the same and can be searched, or refuses it
// leaving the problem in hand alone.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sitematch/search.h"
#include "sitematch/smfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    davrenta::SiteMatchState sm;
    const davrenta::SiteMatchState before = sm;
    if (!davrenta::ParseSiteMatchProblem(text, sm).ok()) {
        if (!(sm == before))
            std::abort(); // a refused file changed the problem
        return 0;
    }
    const std::string written = davrenta::SiteMatchFileContents(sm);
    davrenta::SiteMatchState again;
    if (!davrenta::ParseSiteMatchProblem(written, again).ok() || !(again == sm))
        std::abort(); // what we write must read back to the same problem
    for (int limit = 1; limit <= 3; ++limit) {
        sm.MaxSites = limit;
        (void)davrenta::MatchSearch(sm); // may refuse, never crash
    }
    return 0;
}
