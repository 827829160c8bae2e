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

class Parser {
  public:
    explicit Parser(std::string_view contents) : reader_(contents) {}

    std::optional<std::string> error;

    std::optional<double> number(const std::string& what) {
        if (error)
            return std::nullopt;
        auto f = reader_.next();
        if (!f) {
            fail(reader_.line(), "the file ends before the " + what);
            return std::nullopt;
        }
        auto value = ParseFieldNumber(f->text);
        if (!value || !std::isfinite(*value) || f->quoted) {
            fail(f->line, "the " + what + " \"" + QuoteForMessage(f->text) + "\" is not a number");
            return std::nullopt;
        }
        line_ = f->line;
        return value;
    }

    std::optional<int> whole(const std::string& what, int low, int high) {
        auto value = number(what);
        if (!value)
            return std::nullopt;
        if (*value != std::floor(*value) || *value < low || *value > high) {
            fail(line_, "the " + what + " " + PlainForm(*value) + " is not a whole number from " +
                            std::to_string(low) + " to " + std::to_string(high));
            return std::nullopt;
        }
        return static_cast<int>(*value);
    }

    // Nothing may follow the last demand: a longer file belongs to another problem.
    void expectEnd(int facilities, int sites) {
        if (error)
            return;
        if (auto f = reader_.next())
            fail(f->line, "the file holds more values than the " + std::to_string(facilities) +
                              " facilities and " + std::to_string(sites) + " sites it declares");
    }

    void fail(int line, const std::string& problem) {
        if (!error)
            error = "line " + std::to_string(line) + ": " + problem + ".";
    }

  private:
    RecordReader reader_;
    int line_ = 1;
};

std::optional<std::string> Parse(std::string_view contents, ParsedProblem& p) {
    Parser in(contents);
    auto m = in.whole("number of facilities", 1, kMaxMatchFacilities);
    auto s = in.whole("number of sites", 1, kMaxSites);
    if (in.error)
        return in.error;
    p.facilities = *m;
    p.sites = *s;
    for (int i = 1; i <= p.facilities; ++i) {
        const std::string facility = " of facility " + std::to_string(i);
        for (int j = 1; j <= p.sites; ++j) {
            auto time = in.number("time to site " + std::to_string(j) + facility);
            if (!time)
                return in.error;
            p.times.push_back(*time);
        }
        auto demand = in.number("number of demands" + facility);
        if (!demand)
            return in.error;
        p.demands.push_back(*demand);
    }
    in.expectEnd(p.facilities, p.sites);
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
    Result<std::string> contents = ReadProblemFile(path);
    if (!contents)
        return Fail(contents.message() + " The current problem is unchanged.");
    if (Status parsed = ParseSiteMatchProblem(*contents, sm); !parsed)
        return Fail("The file " + path + " cannot be read: " + parsed.message() +
                    " The current problem is unchanged.");
    return {};
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
