#include "sitematch/smfile.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "state/atomicfile.h"
#include "state/messagetext.h"
#include "state/numbers.h"
#include "state/records.h"

namespace davrenta {

namespace {

struct ParsedProblem {
    int facilities = 0;
    int sites = 0;
    std::vector<double> times; // facility by facility, s each
    std::vector<double> demands;
};

std::optional<std::string> Parse(std::string_view contents, ParsedProblem& p) {
    RecordParser in(contents);
    const std::string countRecord = "count record";
    auto m = in.whole(countRecord, "number of facilities", 1, kMaxMatchFacilities);
    auto s = in.whole(countRecord, "number of sites", 1, kMaxSites);
    if (in.error)
        return in.error;
    p.facilities = *m;
    p.sites = *s;
    for (int i = 1; i <= p.facilities; ++i) {
        const std::string facility = " of facility " + std::to_string(i);
        for (int j = 1; j <= p.sites; ++j) {
            auto time = in.number("time " + std::to_string(i) + "," + std::to_string(j),
                                  "time to site " + std::to_string(j) + facility);
            if (!time)
                return in.error;
            p.times.push_back(*time);
        }
        auto demand = in.number("demand " + std::to_string(i), "number of demands" + facility);
        if (!demand)
            return in.error;
        p.demands.push_back(*demand);
    }
    in.expectEnd("demand " + std::to_string(p.facilities),
                 "the " + std::to_string(p.facilities) + " facilities and " +
                     std::to_string(p.sites) + " sites it declares");
    return in.error;
}

} // namespace

Status ParseSiteMatchProblem(std::string_view contents, SiteMatchState& sm) {
    ParsedProblem p;
    if (auto error = Parse(contents, p))
        return Fail(*error);
    sm.MatchFacilityCount = p.facilities;
    sm.SiteCount = p.sites;
    // Slots outside the new problem are emptied so that no value of an earlier problem shows
    // in the table's spare boxes.
    for (int i = 1; i <= kMaxMatchFacilities; ++i) {
        const bool used = i <= p.facilities;
        for (int j = 1; j <= kMaxSites; ++j)
            sm.SiteTime(i, j) = used && j <= p.sites
                                    ? p.times[static_cast<std::size_t>((i - 1) * p.sites + j - 1)]
                                    : 0.0;
        sm.FacilityDemand[i] = used ? p.demands[static_cast<std::size_t>(i - 1)] : 0.0;
    }
    sm.MatchEntryFacility = p.facilities + 1;
    sm.AddingFacility = false;
    return {};
}

Status ReadSiteMatchFile(const std::string& path, SiteMatchState& sm) {
    return LoadProblemFile(
        path, [&sm](std::string_view contents) { return ParseSiteMatchProblem(contents, sm); });
}

std::string SiteMatchFileContents(const SiteMatchState& sm) {
    const int m = std::clamp(sm.MatchFacilityCount, 0, kMaxMatchFacilities);
    const int s = std::clamp(sm.SiteCount, 0, kMaxSites);
    RecordWriter out;
    out.number(m).number(s).endRecord();
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= s; ++j)
            out.number(sm.SiteTime(i, j)).endRecord();
        out.number(sm.FacilityDemand[i]).endRecord();
    }
    return out.contents();
}

Status WriteSiteMatchFile(const std::string& path, const SiteMatchState& sm) {
    return SaveProblemFile(path, SiteMatchFileContents(sm));
}

} // namespace davrenta
