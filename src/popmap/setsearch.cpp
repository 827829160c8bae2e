#include "popmap/setsearch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/modulestate.h"
#include "popmap/fastreach.h"
#include "popmap/fastsearch.h"
#include "popmap/mapfile.h"
#include "popmap/setmeasures.h"
#include "popmap/threadpool.h"
#include "state/figures.h"
#include "state/numbers.h"

namespace davrenta {

using namespace fastsearch_detail;

namespace fastsearch_detail {

// Kicks of the first local search.
constexpr int kKicks = 6;
// Nodes between kicks of the best set during the proof of Minimize Travel. On a hard map the
// bound closes slowly and the heuristics' set may not be the optimum; a kick now and then finds
// a better one for about a hundredth of the time. The exchanges of the cover measures cost
// many of their nodes each, and their heuristics start at the optimum far more often.
constexpr long long kTravelKickEvery = 20;

SetAnswer SolveSets(const SetProblem& sp, int p, Pool& pool, SetClock& clock) {
    SetAnswer answer;
    answer.best.p = p;
    switch (sp.goal) {
    case SetGoal::Travel: {
        Support start = GreedyTravel(sp, p);
        answer.best.Offer(sp.Key(start), start);
        start = SearchNearTravel(sp, p, start, clock, pool, kKicks);
        answer.best.Offer(sp.Key(start), start);
        answer.heuristic = answer.best.key;
        const std::unique_ptr<SetBounder> bounder = MakeTravelBounder(sp, p, pool);
        const Improver improve = [&](const Support& s) {
            return InterchangeTravel(sp, p, s, clock, pool);
        };
        answer.outcome =
            BranchAndBound(sp, p, *bounder, improve, answer.best, clock, kTravelKickEvery);
        break;
    }
    case SetGoal::Served:
    case SetGoal::CoveredWithin: {
        const CoverSettles settled = SettleByCover(sp, p, answer.best, clock);
        if (settled != CoverSettles::No) {
            answer.heuristic = answer.best.have ? answer.best.key : 0;
            answer.outcome.proven = settled == CoverSettles::Yes;
            answer.outcome.stopped = settled == CoverSettles::Stopped;
            if (answer.outcome.proven) {
                answer.outcome.bound = answer.best.key;
                clock.Report(true, sp.ValueOfKey(answer.best.key), sp.ValueOfKey(answer.best.key),
                             true);
                break;
            }
        }
        Support start = GreedyCover(sp, p);
        answer.best.Offer(sp.Key(start), start);
        start = InterchangeCover(sp, p, start, clock);
        answer.best.Offer(sp.Key(start), start);
        answer.heuristic = answer.best.key;
        const std::unique_ptr<SetBounder> bounder = MakeCoverBounder(sp, p, pool);
        const Improver improve = [&](const Support& s) {
            return InterchangeCover(sp, p, s, clock);
        };
        answer.outcome = BranchAndBound(sp, p, *bounder, improve, answer.best, clock);
        break;
    }
    case SetGoal::MaxDistance:
        answer.outcome = SearchMaxDistance(sp, p, answer.best, clock, &answer.heuristic);
        break;
    }
    return answer;
}

} // namespace fastsearch_detail

namespace {

CellList CellsOf(const Grid& g, const Support& s) {
    CellList cells;
    for (int j : s)
        cells.emplace_back(g.candLine[static_cast<std::size_t>(j)],
                           g.candColumn[static_cast<std::size_t>(j)]);
    return cells;
}

// The service map of the existing PODs and new PODs in slots, written as the assignment rule
// writes it: the lowest slot wins a tie.
void BuildSetServiceMap(const PopMap& fl, const Grid& g, const std::vector<int>& slots,
                        Table1<std::string, kMapLines>& map) {
    for (int i = 1; i <= g.lastLine; ++i)
        map[i] = fl.MapLine[i];
    for (int k = 0; k < g.K; ++k) {
        double minimum = g.prior[static_cast<std::size_t>(k)];
        char label = g.priorLabel[static_cast<std::size_t>(k)];
        for (std::size_t q = 0; q < slots.size(); ++q) {
            const double d = g.Distance(slots[q], k);
            if (d < minimum) {
                minimum = d;
                label = NewPodLabel(static_cast<int>(q) + 1);
            }
        }
        if (label != 0)
            map[g.cellLine[static_cast<std::size_t>(k)]]
               [g.cellColumn[static_cast<std::size_t>(k)] - 1] = label;
    }
}

// The result tables of a set, as the one- and two-POD searches write theirs.
void WriteSet(PopMap& fl, const Grid& g, const SetProblem& sp, const Support& s, int p) {
    const int n = fl.ExistingPodCount;
    const std::vector<int> slots = Slots(s, p);
    const SetFigures f = sp.Figures(s);
    for (int q = 1; q <= p; ++q) {
        const int j = slots[static_cast<std::size_t>(q - 1)];
        fl.PodSymbol[n + q] = std::string(1, NewPodLabel(q));
        fl.PodLine[n + q] = g.candLine[static_cast<std::size_t>(j)];
        fl.PodColumn[n + q] = g.candColumn[static_cast<std::size_t>(j)];
        fl.NewPodsLine[q] = fl.PodLine[n + q];
        fl.NewPodsColumn[q] = fl.PodColumn[n + q];
    }
    // The one- and two-POD searches' own fields, for the texts that read them.
    if (p == 1) {
        fl.NewPodLine = fl.NewPodsLine[1];
        fl.NewPodColumn = fl.NewPodsColumn[1];
    } else if (p == 2) {
        fl.NewPod1Line = fl.NewPodsLine[1];
        fl.NewPod1Column = fl.NewPodsColumn[1];
        fl.NewPod2Line = fl.NewPodsLine[2];
        fl.NewPod2Column = fl.NewPodsColumn[2];
    }
    switch (fl.PerformanceMeasure) {
    case Measure::MinimizeTravel:
    case Measure::MinimizeMaxDistance:
        fl.BestTravel = f.travel;
        fl.BestMaxDistance = f.maxDistance;
        break;
    case Measure::MaximumServed:
        fl.BestServed = f.served;
        fl.BestServedTravel = f.travel;
        break;
    default:
        break;
    }
    BuildSetServiceMap(fl, g, slots, fl.BestServiceMap);
    for (int i = 1; i <= g.lastLine; ++i)
        fl.TrialServiceMap[i] = fl.BestServiceMap[i];
}

bool Finite(const Grid& g) {
    // Every set's figures stay numbers when the largest possible sums do.
    double travel = 0, population = 0;
    for (int k = 0; k < g.K; ++k) {
        const double w = std::fabs(g.pop[static_cast<std::size_t>(k)]);
        travel += w * std::min(g.prior[static_cast<std::size_t>(k)], 200.0);
        population += w;
    }
    return std::isfinite(travel) && std::isfinite(population);
}

std::string TooLarge() {
    return TooLargeToCompute("populations", "a total travel or a number served",
                             "Make the populations smaller and search again.")
        .message;
}

// A problem prepared for one of the studies on a copy of the state.
struct Prepared {
    ModuleState state;
    std::unique_ptr<Pool> pool;
    Grid g;
    Cap prior;
};

Result<std::unique_ptr<Prepared>> Prepare(const ModuleState& state, const SearchControl& control,
                                          const SetSearchOptions& options, int pods) {
    auto prepared = std::make_unique<Prepared>();
    prepared->state = state;
    if (Status room = CheckPodSlots(prepared->state.fl, pods); !room)
        return Fail(room.message());
    prepared->pool = std::make_unique<Pool>(ResolveThreads(options.threads), control);
    PrepareGrid(prepared->state, *prepared->pool, prepared->g, prepared->prior);
    if (!prepared->g.prepared)
        return Fail(prepared->g.failure);
    if (!Finite(prepared->g))
        return Fail(TooLarge());
    return prepared;
}

int CandidateOf(const Grid& g, int line, int column) {
    return g.candLineStart[line] + column - 1;
}

double MeasureValue(const PopMap& fl) {
    switch (fl.PerformanceMeasure) {
    case Measure::MaximumServed:
        return fl.BestServed;
    case Measure::MinimizeMaxDistance:
        return fl.BestMaxDistance;
    default:
        return fl.BestTravel;
    }
}

Failure Cancelled(const char* study) {
    return Fail(std::string("The ") + study + " was cancelled.");
}

} // namespace

SearchOutcome SetSearch(ModuleState& state, const SearchControl& control,
                        const SetSearchOptions& options) {
    PopMap& fl = state.fl;
    const int p = fl.NewPodCount;
    if (p < 1)
        return {SearchStatus::Failed, "Choose at least one new POD."};
    if (Status room = CheckPodSlots(fl, p); !room)
        return {SearchStatus::Failed, room.message()};
    SetClock clock(control, p);
    Pool pool(ResolveThreads(options.threads), control);
    Grid g;
    Cap prior;
    PrepareGrid(state, pool, g, prior);
    if (!g.prepared)
        return {SearchStatus::Failed, g.failure};
    StartBest(fl);
    for (int q = 1; q <= p; ++q) {
        fl.PodSymbol[fl.ExistingPodCount + q] = std::string(1, NewPodLabel(q));
        fl.NewPodsLine[q] = 0;
        fl.NewPodsColumn[q] = 0;
    }
    fl.Proven = false;
    fl.Bound = 0;
    fl.Gap = 0;
    if (!Finite(g))
        return {SearchStatus::Failed, TooLarge()};
    const Measure measure = fl.PerformanceMeasure;
    if (measure != Measure::MinimizeTravel && measure != Measure::MaximumServed &&
        measure != Measure::MinimizeMaxDistance) {
        FinishSearch(fl, p);
        return {}; // no set replaces the starting best, as with one or two PODs
    }
    const SetProblem sp(g, GoalOf(measure));
    SetAnswer answer = SolveSets(sp, p, pool, clock);
    if (options.stats) {
        options.stats->threads = pool.Threads();
        options.stats->nodes = answer.outcome.nodes;
        options.stats->heuristic = sp.ValueOfKey(answer.heuristic);
        options.stats->seconds = clock.Elapsed();
    }
    if (answer.best.have) {
        WriteSet(fl, g, sp, answer.best.set, p);
        fl.Proven = answer.outcome.proven && !clock.Cancelled();
        fl.Bound = fl.Proven ? sp.ValueOfKey(answer.best.key) : sp.ValueOfKey(answer.outcome.bound);
        fl.Gap = fl.Proven ? 0 : RelativeGap(sp.ValueOfKey(answer.best.key), fl.Bound);
    }
    FinishSearch(fl, p);
    if (clock.Cancelled())
        return {SearchStatus::Cancelled, {}};
    return {};
}

Result<std::vector<PodCountRow>> PodCountCurve(const ModuleState& state, int maxPods,
                                               const SearchControl& control,
                                               const SetSearchOptions& options) {
    if (maxPods < 1)
        return Fail("Choose at least one new POD.");
    Result<std::unique_ptr<Prepared>> prepared = Prepare(state, control, options, maxPods);
    if (!prepared)
        return prepared.failure();
    const Grid& g = (*prepared)->g;
    const PopMap& start = (*prepared)->state.fl;
    const SetProblem sp(g, GoalOf(start.PerformanceMeasure));
    const SetClock clock(control, maxPods);

    std::vector<PodCountRow> rows;
    for (int p = 1; p <= maxPods; ++p) {
        ModuleState row = state;
        row.fl.NewPodCount = p;
        // The study's time limit holds for all rows together.
        SearchControl part = control;
        if (control.timeLimit > 0)
            part.timeLimit = std::max(control.timeLimit - clock.Elapsed(), 1e-9);
        const SearchOutcome outcome = RunSearch(row, part);
        if (outcome.status == SearchStatus::Cancelled)
            return Cancelled("POD-count study");
        if (outcome.status == SearchStatus::Failed)
            return Fail(outcome.message);
        PodCountRow r;
        r.pods = p;
        r.optimal = MeasureValue(row.fl);
        r.proven = row.fl.Proven;
        r.bound = row.fl.Bound;
        r.cells = NewPodCells(row.fl);
        rows.push_back(std::move(r));
    }

    // One at a time: the one-POD search, its location added as an existing POD, again.
    ModuleState greedy = state;
    Support placed;
    for (int p = 1; p <= maxPods; ++p) {
        greedy.fl.NewPodCount = 1;
        SearchControl part = control;
        part.timeLimit = 0;
        const SearchOutcome outcome = RunSearch(greedy, part);
        if (outcome.status == SearchStatus::Cancelled)
            return Cancelled("POD-count study");
        if (outcome.status != SearchStatus::Done || !AddNewPodsAsExisting(greedy.fl))
            break;
        const int j = CandidateOf(g, greedy.fl.NewPodLine, greedy.fl.NewPodColumn);
        placed.insert(std::upper_bound(placed.begin(), placed.end(), j), j);
        const SetFigures f = sp.Figures(placed);
        rows[static_cast<std::size_t>(p - 1)].oneAtATime =
            sp.goal == SetGoal::Served
                ? f.served
                : (sp.goal == SetGoal::MaxDistance ? f.maxDistance : f.travel);
    }
    return rows;
}

Result<CoverAnswer> FewestPodsToCover(const ModuleState& state, double radius,
                                      const SearchControl& control,
                                      const SetSearchOptions& options) {
    if (!(radius >= 0) || !std::isfinite(radius))
        return Fail("The distance " + PlainForm(radius) +
                    " is not a distance of 0 or more. Enter the distance within which every "
                    "area cell should have a POD.");
    Result<std::unique_ptr<Prepared>> prepared = Prepare(state, control, options, 0);
    if (!prepared)
        return prepared.failure();
    const Grid& g = (*prepared)->g;
    const int room = kMaxPods - state.fl.ExistingPodCount;
    const SetProblem sp(g, SetGoal::CoveredWithin, radius);
    SetClock clock(control, 0);
    const CoverCount count = FewestCovering(sp, radius, room, clock);
    if (clock.Cancelled())
        return Cancelled("coverage study");
    if (!count.found) {
        if (count.proven)
            return Fail("Bringing every area cell within " + PlainForm(radius) +
                        " of a POD takes "
                        "more than " +
                        std::to_string(room) + " new POD" + (room == 1 ? "" : "s") +
                        " (a problem holds at most 31 PODs). Enter a larger distance.");
        return Fail("No set of at most " + std::to_string(room) +
                    " new PODs that brings every "
                    "area cell within " +
                    PlainForm(radius) +
                    " of a POD was found in the time "
                    "limit. Allow more time or enter a larger distance.");
    }
    CoverAnswer answer;
    answer.radius = radius;
    answer.pods = count.pods;
    answer.cells = CellsOf(g, count.set);
    answer.proven = count.proven;
    answer.lowerBound = count.proven ? count.pods : count.lower;
    return answer;
}

Result<CoveredPopulation> LargestPopulationWithin(const ModuleState& state, double radius, int pods,
                                                  const SearchControl& control,
                                                  const SetSearchOptions& options) {
    if (!(radius >= 0) || !std::isfinite(radius))
        return Fail("The distance " + PlainForm(radius) +
                    " is not a distance of 0 or more. Enter the distance within which a POD "
                    "covers a cell.");
    if (pods < 1)
        return Fail("Choose at least one new POD.");
    Result<std::unique_ptr<Prepared>> prepared = Prepare(state, control, options, pods);
    if (!prepared)
        return prepared.failure();
    const Grid& g = (*prepared)->g;
    const SetProblem sp(g, SetGoal::CoveredWithin, radius);
    SetClock clock(control, pods);
    SetAnswer answer = SolveSets(sp, pods, *(*prepared)->pool, clock);
    if (clock.Cancelled())
        return Cancelled("coverage study");
    CoveredPopulation out;
    out.radius = radius;
    out.pods = pods;
    out.population = sp.ValueOfKey(answer.best.key);
    for (int j : Slots(answer.best.set, pods))
        out.cells.emplace_back(g.candLine[static_cast<std::size_t>(j)],
                               g.candColumn[static_cast<std::size_t>(j)]);
    out.proven = answer.outcome.proven;
    out.bound = out.proven ? out.population : sp.ValueOfKey(answer.outcome.bound);
    out.gap = out.proven ? 0 : RelativeGap(out.population, out.bound);
    Figures figures;
    figures.add({out.population, out.bound, out.gap});
    if (Status finite = RequireFinite(figures, "populations", "a covered population",
                                      "Make the populations smaller and search again.");
        !finite)
        return Fail(finite.message());
    return out;
}

} // namespace davrenta
