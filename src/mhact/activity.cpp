#include "mhact/activity.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "state/figures.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

// No loads carry no activity, however far apart: an overflowed distance must not turn an
// empty pair into a listed one.
double Load(double moves, double distance) {
    return moves == 0 ? 0 : moves * distance;
}

int Count(const MhActivityState& mh) {
    return std::clamp(mh.DeptCount, 0, kMaxDepartments);
}

// The sample standard deviation of the distance over the counted loads:
//   (loads x sum of loads x distance^2 - activity^2) / (loads x (loads - 1)),
// with the loads and the distances scaled by powers of two so that the sums stay near 1. The
// scaling is exact, so the figure is bit for bit the one of the formula wherever that neither
// overflows nor underflows, and finite wherever the true deviation is (distances of 1e200 square
// to 1e400, beyond every double). Sums over the listed pairs in listing order: the pairs left out
// add nothing.
double Deviation(const MhActivityState& mh, const std::vector<ListedPair>& pairs) {
    double heaviest = 0, farthest = 0;
    for (const ListedPair& p : pairs) {
        heaviest = std::max(heaviest, std::fabs(mh.MoveCount(p.from, p.to)));
        farthest = std::max(farthest, std::fabs(mh.DeptDistance(p.from, p.to)));
    }
    if (!std::isfinite(heaviest) || !std::isfinite(farthest))
        return std::numeric_limits<double>::quiet_NaN();
    int loadExponent = 0, distanceExponent = 0;
    std::frexp(heaviest, &loadExponent);
    std::frexp(farthest, &distanceExponent);
    // 2^-loadExponent must stay a double: loads below 2^-1000 are scaled up by 2^1000 only.
    loadExponent = std::max(loadExponent, -1000);
    double loads = 0, activity = 0, squares = 0;
    for (const ListedPair& p : pairs) {
        const double m = std::ldexp(mh.MoveCount(p.from, p.to), -loadExponent);
        const double d = std::ldexp(mh.DeptDistance(p.from, p.to), -distanceExponent);
        loads += m;
        activity += m * d;
        squares += m * (d * d);
    }
    const double one = std::ldexp(1.0, -loadExponent);
    const double spread = (loads * squares - activity * activity) / (loads * (loads - one));
    // Equal distances leave a difference of rounding below zero, which is a deviation of 0.
    return spread > 0 ? std::ldexp(std::sqrt(spread), distanceExponent) : 0.0;
}

// Steps 3 to 7 of the computation on distances already in place.
ActivityFigures Activity(MhActivityState& mh, bool saveLocations) {
    const int n = Count(mh);
    ActivityFigures f;
    mh.ActivityTotal = 0;
    for (int i = 1; i <= n; ++i) {
        if (saveLocations) {
            mh.SavedDeptX[i] = mh.DeptX[i];
            mh.SavedDeptY[i] = mh.DeptY[i];
        }
        for (int j = 1; j <= n; ++j) {
            const double d = mh.DeptDistance(i, j);
            mh.LoadDistance(i, j) = Load(mh.MoveCount(i, j), d);
            mh.ActivityTotal += mh.LoadDistance(i, j);
            f.SumSquares += Load(mh.MoveCount(i, j), d * d);
        }
    }
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            if (mh.LoadDistance(i, j) != 0) {
                f.pairs.push_back({i, j});
                f.TotalLoads += mh.MoveCount(i, j);
            }
    const double loads = f.TotalLoads;
    if (loads != 0)
        f.AverageMoveDistance = mh.ActivityTotal / loads;
    if (loads != 0 && loads != 1)
        f.StandardDeviation = Deviation(mh, f.pairs);
    return f;
}

// The total over the pairs above the diagonal, as the switch trials count it.
double PairActivity(MhActivityState& mh, Metric method) {
    const int n = Count(mh);
    ComputeDistances(mh, method);
    mh.ActivityTotal = 0;
    for (int a = 1; a <= n; ++a)
        for (int b = a + 1; b <= n; ++b) {
            mh.LoadDistance(a, b) = Load(mh.MoveCount(a, b), mh.DeptDistance(a, b));
            mh.ActivityTotal += mh.LoadDistance(a, b);
        }
    return mh.ActivityTotal;
}

void Exchange(MhActivityState& mh, int a, int b) {
    std::swap(mh.DeptX[a], mh.DeptX[b]);
    std::swap(mh.DeptY[a], mh.DeptY[b]);
}

} // namespace

double Distance(Metric method, double x1, double y1, double x2, double y2) {
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    switch (method) {
    case Metric::Rectilinear:
        return std::fabs(dx) + std::fabs(dy);
    case Metric::Euclidean: {
        // hypot where the squares overflow or underflow: 1e200 apart is 1e200, not infinity.
        const double squares = dx * dx + dy * dy;
        return std::isnormal(squares) ? std::sqrt(squares) : std::hypot(dx, dy);
    }
    case Metric::SquaredEuclidean:
        return dx * dx + dy * dy;
    }
    return 0;
}

void ComputeDistances(MhActivityState& mh, Metric method) {
    const int n = Count(mh);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            mh.DeptDistance(i, j) =
                Distance(method, mh.DeptX[i], mh.DeptY[i], mh.DeptX[j], mh.DeptY[j]);
}

void CombineDirections(MhActivityState& mh) {
    const int n = Count(mh);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j < i; ++j)
            if (mh.MoveCount(i, j) > 0) {
                mh.MoveCount(j, i) += mh.MoveCount(i, j);
                mh.MoveCount(i, j) = 0;
            }
}

ActivityFigures ComputeActivity(MhActivityState& mh, Metric method) {
    ComputeDistances(mh, method);
    CombineDirections(mh);
    return Activity(mh, true);
}

ActivityFigures Recompute(MhActivityState& mh, Metric method) {
    ComputeDistances(mh, method);
    CombineDirections(mh);
    return Activity(mh, false);
}

std::optional<double> PercentOfTotal(const MhActivityState& mh, int i, int j) {
    if (mh.ActivityTotal == 0)
        return std::nullopt;
    return mh.LoadDistance(i, j) / mh.ActivityTotal * 100;
}

std::optional<double> Reduction(double start, double best) {
    if (start == 0)
        return std::nullopt;
    return (start - best) * 100 / start;
}

namespace {

constexpr const char* kActivitySubject = "locations and moves";
constexpr const char* kSmallerLayout =
    "Bring the departments closer together or make the moves smaller, and compute again.";

void AddReduction(Figures& figures, double start, double best) {
    if (const std::optional<double> r = Reduction(start, best))
        figures.add(*r);
}

} // namespace

Status CheckActivityResult(const MhActivityState& mh, Metric method) {
    MhActivityState work = mh;
    const ActivityFigures f = ComputeActivity(work, method);
    const int n = Count(work);
    Figures figures;
    // The move window and a save show the combined moves of every pair.
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            figures.add(work.MoveCount(i, j));
    if (Status finite =
            RequireFinite(figures, kActivitySubject, "a combined number of moves", kSmallerLayout);
        !finite)
        return finite;
    for (const ListedPair& p : f.pairs) {
        figures.add({work.DeptDistance(p.from, p.to), work.LoadDistance(p.from, p.to)});
        if (const std::optional<double> percent = PercentOfTotal(work, p.from, p.to))
            figures.add(*percent);
    }
    figures.add({work.ActivityTotal, f.TotalLoads});
    for (const std::optional<double>& figure : {f.AverageMoveDistance, f.StandardDeviation})
        if (figure)
            figures.add(*figure);
    return RequireFinite(figures, kActivitySubject, "a distance, an activity or a total",
                         kSmallerLayout);
}

Status CheckSwitchResult(const MhActivityState& mh, Metric method) {
    MhActivityState work = mh;
    const SwitchOutcome s = RunSwitchSearch(work, method);
    Figures figures;
    figures.add({s.StartActivity, s.BestActivity});
    for (const SwitchTrial& trial : s.trials)
        figures.add(trial.activity);
    AddReduction(figures, s.StartActivity, s.BestActivity);
    return RequireFinite(figures, kActivitySubject, "the activity after an exchange",
                         kSmallerLayout);
}

Status CheckImproveResult(const MhActivityState& mh, Metric method) {
    const ImproveOutcome out = Improve(mh, method);
    Figures figures;
    figures.add(out.StartActivity);
    for (const ImproveStep& step : out.steps)
        figures.add(step.activity);
    if (!out.steps.empty())
        AddReduction(figures, out.StartActivity, out.steps.back().activity);
    return RequireFinite(figures, kActivitySubject, "the activity after an exchange",
                         kSmallerLayout);
}

SwitchOutcome RunSwitchSearch(MhActivityState& mh, Metric method) {
    const int n = Count(mh);
    SwitchOutcome out;
    // From the current layout: ActivityTotal may still hold an earlier search's last trial.
    for (int a = 1; a <= n; ++a) {
        mh.SavedDeptX[a] = mh.DeptX[a];
        mh.SavedDeptY[a] = mh.DeptY[a];
    }
    out.StartActivity = PairActivity(mh, method);
    out.BestActivity = out.StartActivity;
    mh.SwitchDept1 = kNoSwitch;
    mh.SwitchDept2 = kNoSwitch;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            Exchange(mh, i, j);
            const double total = PairActivity(mh, method);
            out.trials.push_back({i, j, total});
            if (total < out.BestActivity) {
                mh.SwitchDept1 = i;
                mh.SwitchDept2 = j;
                out.BestActivity = total;
            }
            for (int a = 1; a <= n; ++a) {
                mh.DeptX[a] = mh.SavedDeptX[a];
                mh.DeptY[a] = mh.SavedDeptY[a];
            }
        }
    return out;
}

void MakeSwitch(MhActivityState& mh) {
    const int a = mh.SwitchDept1, b = mh.SwitchDept2;
    if (a < 1 || b < 1 || a > kDeptSlots || b > kDeptSlots)
        return;
    Exchange(mh, a, b);
}

ImproveOutcome Improve(const MhActivityState& mh, Metric method) {
    MhActivityState work = mh;
    ImproveOutcome out;
    out.StartActivity = PairActivity(work, method);
    while (static_cast<int>(out.steps.size()) < kMaxImproveSteps) {
        const SwitchOutcome s = RunSwitchSearch(work, method);
        if (work.SwitchDept1 == kNoSwitch)
            break;
        MakeSwitch(work);
        out.steps.push_back({work.SwitchDept1, work.SwitchDept2, s.BestActivity});
    }
    out.stoppedAtLimit = static_cast<int>(out.steps.size()) == kMaxImproveSteps;
    out.x = work.DeptX;
    out.y = work.DeptY;
    return out;
}

void AcceptImprovedLayout(MhActivityState& mh, const ImproveOutcome& outcome) {
    for (int i = 1; i <= Count(mh); ++i) {
        mh.DeptX[i] = outcome.x[i];
        mh.DeptY[i] = outcome.y[i];
    }
}

int AcceptDepartments(MhActivityState& mh, const std::vector<DepartmentEntry>& rows) {
    std::vector<int> kept;
    std::vector<DepartmentEntry> shown(kMaxDepartments);
    for (int i = 1; i <= kMaxDepartments && i <= static_cast<int>(rows.size()); ++i) {
        shown[i - 1] = rows[i - 1];
        if (LeadingNumber(rows[i - 1].y) > 0)
            kept.push_back(i);
    }
    const int n = static_cast<int>(kept.size());
    if (n == 0)
        return 0;
    const bool gaps = kept.back() != n;
    const MhActivityState before = mh;
    for (int k = 1; k <= kMaxDepartments; ++k) {
        if (k <= n) {
            const DepartmentEntry& e = shown[kept[k - 1] - 1];
            mh.DeptName[k] = e.name;
            mh.DeptX[k] = LeadingNumber(e.x);
            mh.DeptY[k] = LeadingNumber(e.y);
        } else {
            mh.DeptName[k].clear();
            mh.DeptX[k] = 0;
            mh.DeptY[k] = 0;
        }
    }
    if (gaps) {
        for (int a = 1; a <= kMaxDepartments; ++a)
            for (int b = 1; b <= kMaxDepartments; ++b)
                mh.MoveCount(a, b) =
                    a <= n && b <= n ? before.MoveCount(kept[a - 1], kept[b - 1]) : 0;
    }
    mh.DeptCount = n;
    return n;
}

void StoreMoves(MhActivityState& mh, const std::vector<std::vector<std::string>>& texts) {
    const int n = Count(mh);
    for (int i = 1; i <= n && i <= static_cast<int>(texts.size()); ++i)
        for (int j = 1; j <= n && j <= static_cast<int>(texts[i - 1].size()); ++j)
            mh.MoveCount(i, j) = LeadingNumber(texts[i - 1][j - 1]);
}

std::vector<FlowLine> FlowLines(const MhActivityState& mh, const ActivityFigures& figures) {
    std::vector<FlowLine> lines;
    double heaviest = 0;
    for (const ListedPair& p : figures.pairs)
        heaviest = std::max(heaviest, std::fabs(mh.MoveCount(p.from, p.to)));
    for (const ListedPair& p : figures.pairs) {
        const double loads = mh.MoveCount(p.from, p.to);
        const double share = heaviest > 0 ? std::fabs(loads) / heaviest : 0;
        lines.push_back({p.from, p.to, loads, 1 + (kWidestFlow - 1) * share});
    }
    return lines;
}

void EmptyDepartmentRows(MhActivityState& mh) {
    for (int i = 1; i <= kMaxDepartments; ++i) {
        mh.DeptName[i].clear();
        mh.DeptX[i] = 0;
        mh.DeptY[i] = 0;
    }
}

} // namespace davrenta
