#include "popmap/search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "app/modulestate.h"
#include "popmap/fastsearch.h"
#include "popmap/resultcheck.h"
#include "popmap/setsearch.h"
#include "state/messagetext.h"
#include "state/numbers.h"
#include "state/records.h"

namespace davrenta {

double PodDistance(Metric method, int dl, int dc) {
    switch (method) {
    case Metric::Euclidean: {
        const double a = kLineScale * dl;
        const double b = kColumnScale * dc;
        return std::sqrt(a * a + b * b);
    }
    case Metric::SquaredEuclidean: {
        const double a = kLineScale * dl;
        const double b = kColumnScale * dc;
        return a * a + b * b;
    }
    default:
        return kLineScale * std::abs(dl) + kColumnScale * std::abs(dc);
    }
}

namespace {

struct Evaluation {
    double travel = 0;
    double maxDistance = 0;
};

// The assignment rule over PODs 1..m: every area cell goes to its nearest POD, the lowest
// number winning ties, and its label is written into map.
Evaluation Evaluate(const ModuleState& state, int m, Table1<std::string, kMapLines>& map,
                    const std::array<bool, 256>& isArea) {
    const PopMap& fl = state.fl;
    const int last = LastMapLine(fl);
    Evaluation e;
    for (int i = 1; i <= last; ++i) {
        map[i] = fl.MapLine[i];
        const int cells = CellsInLine(fl, i);
        for (int j = 1; j <= cells; ++j) {
            if (!isArea[static_cast<unsigned char>(fl.MapLine[i][j - 1])])
                continue;
            double minimum = kBigValue;
            for (int k = 1; k <= m; ++k) {
                const double d =
                    PodDistance(state.DistanceMethod, i - fl.PodLine[k], j - fl.PodColumn[k]);
                if (d < minimum) {
                    minimum = d;
                    map[i][j - 1] = fl.PodSymbol[k][0];
                }
            }
            e.travel += fl.CellPopulation(i, j) * minimum;
            if (minimum > e.maxDistance)
                e.maxDistance = minimum;
        }
    }
    return e;
}

// Sum of the cell populations, in cell order, over the cells that show either label on a map.
double ServedBy(const PopMap& fl, const Table1<std::string, kMapLines>& map, char label,
                char other = '\0') {
    const int last = LastMapLine(fl);
    double served = 0;
    for (int i = 1; i <= last; ++i) {
        const int cells = CellsInLine(fl, i);
        for (int j = 1; j <= cells; ++j) {
            const char c = CellChar(map[i], j);
            if (c == label || (other != '\0' && c == other))
                served += fl.CellPopulation(i, j);
        }
    }
    return served;
}

// Adds every cell's population to the POD whose label (slots 1..m) the cell shows.
template <std::size_t N>
void AddServed(const PopMap& fl, const Table1<std::string, kMapLines>& map, int m,
               Table1<double, N>& served) {
    const std::array<int, 256> podOf = PodOfLabel(fl, m);
    for (int k = 1; k <= m; ++k)
        served[k] = 0;
    const int last = LastMapLine(fl);
    for (int i = 1; i <= last; ++i) {
        const int cells = CellsInLine(fl, i);
        for (int j = 1; j <= cells; ++j) {
            const int k = podOf[static_cast<unsigned char>(CellChar(map[i], j))];
            if (k != 0)
                served[k] += fl.CellPopulation(i, j);
        }
    }
}

void CopyMap(const PopMap& fl, const Table1<std::string, kMapLines>& from,
             Table1<std::string, kMapLines>& to) {
    const int last = LastMapLine(fl);
    for (int i = 1; i <= last; ++i)
        to[i] = from[i];
}

void CopyInputMap(const PopMap& fl, Table1<std::string, kMapLines>& to) {
    const int last = LastMapLine(fl);
    for (int i = 1; i <= last; ++i)
        to[i] = fl.MapLine[i];
}

void MarkExistingPods(const PopMap& fl, Table1<std::string, kMapLines>& map, char mark) {
    for (int k = 1; k <= fl.ExistingPodCount; ++k)
        if (fl.PodLine[k] >= 1 && fl.PodLine[k] <= kMapLines)
            MarkCell(map[fl.PodLine[k]], fl.PodColumn[k], mark);
}

void MarkAt(Table1<std::string, kMapLines>& map, int line, int column, char mark) {
    if (line >= 1 && line <= kMapLines)
        MarkCell(map[line], column, mark);
}

int CountCells(const PopMap& fl) {
    int total = 0;
    for (int i = 1; i <= LastMapLine(fl); ++i)
        total += CellsInLine(fl, i);
    return total;
}

} // namespace

bool TakeIfBetter(PopMap& fl, double travel, double maxDistance, double served) {
    switch (fl.PerformanceMeasure) {
    case Measure::MinimizeTravel:
        if (travel < fl.BestTravel) {
            fl.BestTravel = travel;
            fl.BestMaxDistance = maxDistance;
            return true;
        }
        return false;
    case Measure::MinimizeMaxDistance:
        if (maxDistance < fl.BestMaxDistance) {
            fl.BestMaxDistance = maxDistance;
            fl.BestTravel = travel;
            return true;
        }
        return false;
    case Measure::MaximumServed:
        if (served > fl.BestServed) {
            fl.BestServed = served;
            fl.BestServedTravel = travel;
            return true;
        }
        return false;
    default:
        return false;
    }
}

void StartBest(PopMap& fl) {
    fl.ProgressTotal = CountCells(fl);
    fl.ProgressDone = 0;
    fl.BestMaxDistance = kBigValue;
    fl.BestTravel = kBigValue;
    fl.BestServed = 0;
    // A search in which no location wins must not show the map of an earlier problem.
    CopyInputMap(fl, fl.BestServiceMap);
}

Status CheckPodSlots(const PopMap& fl, int newPods) {
    if (fl.ExistingPodCount < 0 || fl.ExistingPodCount > kMaxExistingPods)
        return Fail("A problem holds at most 30 existing PODs.");
    if (fl.ExistingPodCount + newPods > kMaxPods)
        return Fail("With " + std::to_string(fl.ExistingPodCount) +
                    " existing PODs only one new POD can be located at a time: a problem holds at "
                    "most 31 PODs. Locate one new POD.");
    return {};
}

Status PrepareSearch(ModuleState& state) {
    PopMap& fl = state.fl;
    const int last = LastMapLine(fl);
    const int n = fl.ExistingPodCount;
    ResetPodSymbols(fl);

    // Maps of an earlier, longer problem are cleared below the map.
    for (int i = last + 1; i <= kMapLines; ++i) {
        fl.NumberedMap[i].clear();
        fl.ServiceMap[i].clear();
        fl.MarkedServiceMap[i].clear();
        fl.TrialServiceMap[i].clear();
        fl.BestServiceMap[i].clear();
    }
    for (int i = 1; i <= kMapLines; ++i)
        fl.NearOptimalMap[i].clear();

    // P1, numbered map.
    CopyInputMap(fl, fl.NumberedMap);
    for (int k = 1; k <= n; ++k)
        MarkAt(fl.NumberedMap, fl.PodLine[k], fl.PodColumn[k], std::to_string(k)[0]);

    // P2 and P3, cell counts and the population of one cell of each area.
    for (int a = 1; a <= fl.AreaCount; ++a) {
        int count = 0;
        if (fl.AreaSymbol[a].size() == 1)
            for (int i = 1; i <= last; ++i)
                count += static_cast<int>(std::count(fl.MapLine[i].begin(),
                                                     fl.MapLine[i].begin() + CellsInLine(fl, i),
                                                     fl.AreaSymbol[a][0]));
        fl.AreaCellCount[a] = count;
    }
    fl.MapPointsUsed = 0;
    for (int a = 1; a <= fl.AreaCount; ++a)
        fl.MapPointsUsed += fl.AreaCellCount[a];
    for (int a = 1; a <= fl.AreaCount; ++a) {
        if (fl.AreaCellCount[a] == 0)
            return Fail("Population symbol = " + QuoteForMessage(fl.AreaSymbol[a]) +
                        " missing from map");
        fl.AreaCellPopulation[a] = fl.AreaPopulation[a] / fl.AreaCellCount[a];
    }
    if (!(fl.TotalPopulation != 0) || !std::isfinite(fl.TotalPopulation))
        return Fail("The total population of the areas is " + PlainForm(fl.TotalPopulation) +
                    ": average distances cannot be computed. Enter the populations of the areas "
                    "and search again.");

    // P4, cell populations; cells of no area carry none.
    fl.CellPopulation.fill(0);
    for (int i = 1; i <= last; ++i) {
        const int cells = CellsInLine(fl, i);
        for (int j = 1; j <= cells; ++j)
            for (int a = 1; a <= fl.AreaCount; ++a)
                if (fl.AreaSymbol[a].size() == 1 && fl.MapLine[i][j - 1] == fl.AreaSymbol[a][0])
                    fl.CellPopulation(i, j) = fl.AreaCellPopulation[a];
    }

    // P5 and P6, the existing PODs alone. With none, the service maps are the input map.
    CopyInputMap(fl, fl.ServiceMap);
    if (n > 0) {
        const Evaluation prior = Evaluate(state, n, fl.ServiceMap, AreaCharacters(fl));
        AddServed(fl, fl.ServiceMap, n, fl.ExistingPodServed);
        fl.PriorAverageDistance = prior.travel / fl.TotalPopulation;
        fl.PriorMaxDistance = prior.maxDistance;
    } else {
        fl.PriorAverageDistance = 0;
        fl.PriorMaxDistance = 0;
    }
    CopyMap(fl, fl.ServiceMap, fl.MarkedServiceMap);
    if (n > 0)
        MarkExistingPods(fl, fl.MarkedServiceMap, 'x');
    return {};
}

void FinishSearch(PopMap& fl, int newPods) {
    const int n = fl.ExistingPodCount;
    AddServed(fl, fl.BestServiceMap, n + newPods, fl.PodServed);
    if (n > 0) {
        MarkExistingPods(fl, fl.BestServiceMap, 'x');
        if (newPods == 1) {
            MarkAt(fl.BestServiceMap, fl.NewPodLine, fl.NewPodColumn, 'X');
        } else if (newPods == 2) {
            MarkAt(fl.BestServiceMap, fl.NewPod1Line, fl.NewPod1Column, 'X');
            MarkAt(fl.BestServiceMap, fl.NewPod2Line, fl.NewPod2Column, 'X');
        } else {
            for (int q = 1; q <= newPods; ++q)
                MarkAt(fl.BestServiceMap, fl.NewPodsLine[q], fl.NewPodsColumn[q], 'X');
        }
    }
}

SearchOutcome PlainOnePodSearch(ModuleState& state, const SearchControl& control) {
    if (Status room = CheckPodSlots(state.fl, 1); !room)
        return {SearchStatus::Failed, room.message()};
    if (Status prepared = PrepareSearch(state); !prepared)
        return {SearchStatus::Failed, prepared.message()};
    PopMap& fl = state.fl;
    const int n = fl.ExistingPodCount;
    const auto isArea = AreaCharacters(fl);
    StartBest(fl);

    const int last = LastMapLine(fl);
    for (int cl = 1; cl <= last; ++cl) {
        const int cells = CellsInLine(fl, cl);
        for (int cc = 1; cc <= cells; ++cc) {
            if (control.cancelled())
                return {SearchStatus::Cancelled, {}};
            fl.PodSymbol[n + 1] = "*";
            fl.PodLine[n + 1] = cl;
            fl.PodColumn[n + 1] = cc;
            const Evaluation e = Evaluate(state, n + 1, fl.TrialServiceMap, isArea);
            fl.CandidateTravel(cl, cc) = e.travel;
            fl.CandidateMaxDistance(cl, cc) = e.maxDistance;

            if (fl.PerformanceMeasure == Measure::MaximumServed)
                fl.PodServed[n + 1] = ServedBy(fl, fl.TrialServiceMap, '*');
            if (TakeIfBetter(fl, e.travel, e.maxDistance, fl.PodServed[n + 1])) {
                fl.NewPodLine = cl;
                fl.NewPodColumn = cc;
                CopyMap(fl, fl.TrialServiceMap, fl.BestServiceMap);
            }
            ++fl.ProgressDone;
            if (control.progress)
                control.progress(fl.ProgressDone, fl.ProgressTotal);
        }
    }
    FinishSearch(fl, 1);
    return {};
}

SearchOutcome PlainTwoPodSearch(ModuleState& state, const SearchControl& control) {
    if (Status room = CheckPodSlots(state.fl, 2); !room)
        return {SearchStatus::Failed, room.message()};
    if (Status prepared = PrepareSearch(state); !prepared)
        return {SearchStatus::Failed, prepared.message()};
    PopMap& fl = state.fl;
    const int n = fl.ExistingPodCount;
    const auto isArea = AreaCharacters(fl);
    StartBest(fl);

    const int last = LastMapLine(fl);
    for (int l1 = 1; l1 <= last; ++l1) {
        for (int c1 = 1; c1 <= CellsInLine(fl, l1); ++c1) {
            fl.PodSymbol[n + 1] = "*";
            fl.PodLine[n + 1] = l1;
            fl.PodColumn[n + 1] = c1;
            for (int l2 = 1; l2 <= last; ++l2) {
                for (int c2 = 1; c2 <= CellsInLine(fl, l2); ++c2) {
                    if (control.cancelled())
                        return {SearchStatus::Cancelled, {}};
                    fl.PodSymbol[n + 2] = "@";
                    fl.PodLine[n + 2] = l2;
                    fl.PodColumn[n + 2] = c2;
                    const Evaluation e = Evaluate(state, n + 2, fl.TrialServiceMap, isArea);

                    // One sum over the cells either new POD serves: adding the two PODs' sums
                    // would let rounding choose among equally good pairs.
                    const double served = fl.PerformanceMeasure == Measure::MaximumServed
                                              ? ServedBy(fl, fl.TrialServiceMap, '*', '@')
                                              : 0.0;
                    if (TakeIfBetter(fl, e.travel, e.maxDistance, served)) {
                        fl.NewPod1Line = l1;
                        fl.NewPod1Column = c1;
                        fl.NewPod2Line = l2;
                        fl.NewPod2Column = c2;
                        CopyMap(fl, fl.TrialServiceMap, fl.BestServiceMap);
                    }
                }
            }
            fl.KeptProgressDone = fl.ProgressDone;
            fl.KeptProgressTotal = fl.ProgressTotal;
            ++fl.ProgressDone;
            if (control.progress)
                control.progress(fl.ProgressDone, fl.ProgressTotal);
        }
    }
    FinishSearch(fl, 2);
    return {};
}

namespace {

// The exhaustive searches prove what they find: their location as the list of new PODs, the
// bound equal to the value.
void RecordExhaustive(PopMap& fl, int newPods) {
    if (newPods == 1) {
        fl.NewPodsLine[1] = fl.NewPodLine;
        fl.NewPodsColumn[1] = fl.NewPodColumn;
    } else {
        fl.NewPodsLine[1] = fl.NewPod1Line;
        fl.NewPodsColumn[1] = fl.NewPod1Column;
        fl.NewPodsLine[2] = fl.NewPod2Line;
        fl.NewPodsColumn[2] = fl.NewPod2Column;
    }
    fl.Proven = true;
    fl.Gap = 0;
    switch (fl.PerformanceMeasure) {
    case Measure::MaximumServed:
        fl.Bound = fl.BestServed;
        break;
    case Measure::MinimizeMaxDistance:
        fl.Bound = fl.BestMaxDistance;
        break;
    default:
        fl.Bound = fl.BestTravel;
        break;
    }
}

} // namespace

SearchOutcome RunSearch(ModuleState& state, const SearchControl& control) {
    PopMap& fl = state.fl;
    fl.SearchResultFlag = true;
    SearchOutcome outcome;
    if (fl.NewPodCount >= 3) {
        outcome = SetSearch(state, control);
    } else {
        const int newPods = fl.NewPodCount == 1 ? 1 : 2;
        outcome = newPods == 1 ? OnePodSearch(state, control) : TwoPodSearch(state, control);
        if (outcome.status == SearchStatus::Done)
            RecordExhaustive(fl, newPods);
    }
    outcome = CheckSearchResult(fl, std::move(outcome));
    if (outcome.status != SearchStatus::Done)
        fl.SearchResultFlag = false;
    return outcome;
}

namespace {

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

Result<int> ReadSeveralPodCount(std::string_view text) {
    const std::string_view count = Trimmed(text);
    const std::optional<double> value =
        count.empty() || count.find_first_not_of("0123456789") != std::string_view::npos
            ? std::nullopt
            : ParseFieldNumber(count);
    if (!value || *value < 3 || *value > kMaxPods)
        return Fail("The number of new PODs must be a whole number from 3 to " +
                    std::to_string(kMaxPods) + ".");
    return static_cast<int>(*value);
}

Result<double> ReadSearchTimeLimit(std::string_view text) {
    const std::string_view limit = Trimmed(text);
    if (limit.empty())
        return 0.0;
    const std::optional<double> value = ParseFieldNumber(limit);
    if (!value || !std::isfinite(*value) || !(*value > 0))
        return Fail("The time limit must be a number of seconds above 0, or empty for none.");
    return *value;
}

std::string ProgressText(int done, int total) {
    const double percent = total > 0 ? 100.0 * done / total : 0.0;
    return "Calculating->" + FormatPicture(percent, "#0.000") + "%";
}

Status MarkNearOptimal(PopMap& fl, std::string_view boundText) {
    const double f = LeadingNumber(boundText);
    if (!(f >= 0 && f <= 1))
        return Fail("The bound " + PlainForm(f) +
                    " is outside 0 to 1. Enter an upper bound from 0 to 1 (0.1 marks the "
                    "locations within 10% of the optimum).");
    fl.NearOptimalBound = f;
    fl.maptype = MapType::NearOptimal;
    const int last = LastMapLine(fl);
    const bool travel = fl.PerformanceMeasure == Measure::MinimizeTravel;
    if (travel)
        fl.NearTravelLimit = fl.BestTravel * (1 + f);
    else
        fl.NearMaxDistanceLimit = fl.BestMaxDistance * (1 + f);
    for (int i = 1; i <= last; ++i) {
        const int cells = CellsInLine(fl, i);
        for (int j = 1; j <= cells; ++j) {
            const bool near = travel ? fl.CandidateTravel(i, j) < fl.NearTravelLimit
                                     : fl.CandidateMaxDistance(i, j) < fl.NearMaxDistanceLimit;
            if (near)
                MarkCell(fl.NumberedMap[i], j, '%');
        }
    }
    CopyMap(fl, fl.NumberedMap, fl.NearOptimalMap);
    MarkAt(fl.NearOptimalMap, fl.NewPodLine, fl.NewPodColumn, 'X');
    return {};
}

} // namespace davrenta
