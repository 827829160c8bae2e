#include "popmap/fastsearch.h"

#include "app/modulestate.h"
#include "popmap/fastgrid.h"
#include "popmap/fastkernel.h"
#include "popmap/fastpairs.h"
#include "popmap/fastreach.h"
#include "popmap/threadpool.h"

namespace davrenta {

namespace fastsearch_detail {

void PrepareGrid(ModuleState& state, Pool& pool, Grid& g, Cap& prior) {
    pool.Background([&] {
        g = MakeGeometry(state);
        prior = MakeReach(g, g.prior);
    });
    Status prepared;
    try {
        prepared = PrepareSearch(state);
    } catch (...) {
        pool.Wait();
        throw;
    }
    pool.Wait();
    if (!prepared) {
        g.failure = prepared.message();
        return;
    }
    AddPopulations(g, state.fl);
    AddTerms(prior, g);
    g.prepared = true;
}

} // namespace fastsearch_detail

using namespace fastsearch_detail;

namespace {

struct Figures {
    double travel = 0;
    double maxDistance = 0;
};

// The reference's evaluation of one location or pair, term by term.
Figures Evaluate(const Grid& g, int a, int b) {
    Figures f;
    for (int k = 0; k < g.K; ++k) {
        double minimum = g.prior[k];
        const double da = g.Distance(a, k);
        if (da < minimum)
            minimum = da;
        if (b >= 0) {
            const double db = g.Distance(b, k);
            if (db < minimum)
                minimum = db;
        }
        f.travel += g.pop[k] * minimum;
        if (minimum > f.maxDistance)
            f.maxDistance = minimum;
    }
    return f;
}

// What both searches do before their candidates: the shared preparation, the kernel choice and
// the starting best.
std::optional<SearchOutcome> Start(ModuleState& state, Pool& pool, Grid& g, Cap& prior,
                                   const FastSearchOptions& options) {
    PrepareGrid(state, pool, g, prior);
    if (!g.prepared)
        return SearchOutcome{SearchStatus::Failed, g.failure};
    g.wide = options.wideVectors && WideVectorsAvailable();
    StartBest(state.fl);
    return std::nullopt;
}

} // namespace

SearchOutcome OnePodSearch(ModuleState& state, const SearchControl& control) {
    return OnePodSearch(state, control, FastSearchOptions{});
}

SearchOutcome TwoPodSearch(ModuleState& state, const SearchControl& control) {
    return TwoPodSearch(state, control, FastSearchOptions{});
}

SearchOutcome OnePodSearch(ModuleState& state, const SearchControl& control,
                           const FastSearchOptions& options) {
    PopMap& fl = state.fl;
    if (Status room = CheckPodSlots(fl, 1); !room)
        return {SearchStatus::Failed, room.message()};
    Grid g;
    Cap prior;
    Pool pool(ResolveThreads(options.threads), control);
    if (auto failed = Start(state, pool, g, prior, options))
        return *failed;
    const int n = fl.ExistingPodCount;

    // Every candidate's travel, maximum distance and served population, a line per item;
    // progress steps once per candidate as the reference's does.
    if (options.stats)
        *options.stats = FastSearchStats{pool.Threads()};
    std::vector<int> steps(static_cast<std::size_t>(g.lastLine));
    for (int line = 1; line <= g.lastLine; ++line)
        steps[line - 1] = g.candLineStart[line + 1] - g.candLineStart[line];
    SingleResults r(g.C);
    const bool completed = pool.Run(g.lastLine, &steps, true, g.C, [&](int item, int) {
        const int line = item + 1;
        EvaluateCandidates(g, prior, g.candLineStart[line], g.candLineStart[line + 1], r);
    });
    fl.ProgressDone = pool.Reported();
    if (!completed)
        return {SearchStatus::Cancelled, {}};

    // The reference's comparisons, in its order.
    int best = -1;
    for (int c = 0; c < g.C; ++c) {
        const int line = g.candLine[c];
        const int column = g.candColumn[c];
        fl.CandidateTravel(line, column) = r.travel[c];
        fl.CandidateMaxDistance(line, column) = r.maxDistance[c];
        if (TakeIfBetter(fl, r.travel[c], r.maxDistance[c], r.served[c]))
            best = c;
    }
    if (g.C > 0) {
        // The candidate slot keeps the last cell tried, and the trial map its service areas.
        const int last = g.LastCandidate();
        fl.PodSymbol[n + 1] = "*";
        fl.PodLine[n + 1] = g.candLine[last];
        fl.PodColumn[n + 1] = g.candColumn[last];
        BuildServiceMap(fl, g, last, -1, fl.TrialServiceMap);
    }
    if (best >= 0) {
        fl.NewPodLine = g.candLine[best];
        fl.NewPodColumn = g.candColumn[best];
        BuildServiceMap(fl, g, best, -1, fl.BestServiceMap);
    }
    FinishSearch(fl, 1);
    return {};
}

SearchOutcome TwoPodSearch(ModuleState& state, const SearchControl& control,
                           const FastSearchOptions& options) {
    PopMap& fl = state.fl;
    if (Status room = CheckPodSlots(fl, 2); !room)
        return {SearchStatus::Failed, room.message()};
    Grid g;
    Cap prior;
    Pool pool(ResolveThreads(options.threads), control);
    if (auto failed = Start(state, pool, g, prior, options))
        return *failed;
    const int n = fl.ExistingPodCount;
    const Measure measure = fl.PerformanceMeasure;

    FastSearchStats stats{pool.Threads()};
    PairOutcome winner;
    switch (measure) {
    case Measure::MinimizeTravel:
    case Measure::MaximumServed:
    case Measure::MinimizeMaxDistance:
        winner = SearchPairs(g, prior, measure, pool, &stats);
        break;
    default:
        // No pair can replace the initial state; the scan still runs its course.
        winner.completed = pool.Run(g.C, nullptr, true, g.C, [](int, int) {});
        break;
    }
    if (options.stats)
        *options.stats = stats;
    fl.ProgressDone = pool.Reported();
    if (fl.ProgressDone > 0) {
        fl.KeptProgressDone = fl.ProgressDone - 1;
        fl.KeptProgressTotal = fl.ProgressTotal;
    }
    if (!winner.completed)
        return {SearchStatus::Cancelled, {}};

    if (g.C > 0) {
        // The slots keep the last pair tried: the last cell twice.
        const int last = g.LastCandidate();
        fl.PodSymbol[n + 1] = "*";
        fl.PodLine[n + 1] = g.candLine[last];
        fl.PodColumn[n + 1] = g.candColumn[last];
        fl.PodSymbol[n + 2] = "@";
        fl.PodLine[n + 2] = g.candLine[last];
        fl.PodColumn[n + 2] = g.candColumn[last];
        BuildServiceMap(fl, g, last, last, fl.TrialServiceMap);
    }
    if (winner.first >= 0) {
        const int a = winner.first;
        const int b = winner.second;
        const Figures f = Evaluate(g, a, b);
        switch (measure) {
        case Measure::MinimizeTravel:
            fl.BestTravel = f.travel;
            fl.BestMaxDistance = f.maxDistance;
            break;
        case Measure::MinimizeMaxDistance:
            fl.BestMaxDistance = f.maxDistance;
            fl.BestTravel = f.travel;
            break;
        default: {
            // Recounted as the reference counts it: one sum over the cells either POD serves.
            Table1<std::string, kMapLines> map;
            BuildServiceMap(fl, g, a, b, map);
            double served = 0;
            for (int k = 0; k < g.K; ++k) {
                const char label = map[g.cellLine[k]][g.cellColumn[k] - 1];
                if (label == '*' || label == '@')
                    served += g.pop[k];
            }
            fl.BestServed = served;
            fl.BestServedTravel = f.travel;
            break;
        }
        }
        fl.NewPod1Line = g.candLine[a];
        fl.NewPod1Column = g.candColumn[a];
        fl.NewPod2Line = g.candLine[b];
        fl.NewPod2Column = g.candColumn[b];
        BuildServiceMap(fl, g, a, b, fl.BestServiceMap);
    }
    FinishSearch(fl, 2);
    return {};
}

} // namespace davrenta
