#include "mhact/activity.h"

#include <algorithm>
#include <cmath>

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
    if (loads != 0 && loads != 1) {
        // Equal distances leave a difference of rounding below zero, which is a deviation of 0.
        const double spread =
            (loads * f.SumSquares - mh.ActivityTotal * mh.ActivityTotal) / (loads * (loads - 1));
        f.StandardDeviation = spread > 0 ? std::sqrt(spread) : 0.0;
    }
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
    case Metric::Euclidean:
        return std::sqrt(dx * dx + dy * dy);
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
