#include "mhact/bestlayout.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "mhact/activity.h"
#include "mhact/qap.h"
#include "mhact/qapsearch.h"
#include "state/figures.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

// Exchange descents from this many random starts per department before the exact search: a few
// milliseconds, and the search mostly starts from the best layout.
constexpr int kStartsPerDepartment = 40;
constexpr std::uint64_t kSeed = 0x5eed1a7001ULL;

int Threads(int requested) {
    if (requested > 0)
        return std::min(requested, 64);
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

// The places of a layout whose locations are those of the current one, rearranged.
qap::Layout PlacesOf(int n, const Table1<double, kDeptSlots>& x,
                     const Table1<double, kDeptSlots>& y, const double* px, const double* py) {
    qap::Layout l{};
    bool used[qap::kMax] = {};
    for (int d = 0; d < n; ++d)
        for (int q = 0; q < n; ++q)
            if (!used[q] && px[q] == x[d + 1] && py[q] == y[d + 1]) {
                used[q] = true;
                l[d] = static_cast<std::int8_t>(q);
                break;
            }
    return l;
}

constexpr const char* kSmallerRemedy =
    "Bring the departments closer together or make the moves smaller, and search again.";

Failure TooLarge() {
    return TooLargeToCompute("locations and moves", "the activity of a layout", kSmallerRemedy);
}

// The problem of the departments as they stand: moves combined, locations numbered as the
// departments holding them.
struct Prepared {
    MhActivityState work;
    int n = 0;
    double px[qap::kMax] = {}, py[qap::kMax] = {};
    qap::Problem problem;
};

Result<Prepared> Prepare(const MhActivityState& mh, Metric method) {
    Prepared p;
    p.work = mh;
    CombineDirections(p.work);
    p.n = std::clamp(p.work.DeptCount, 0, kMaxDepartments);
    double upper[qap::kMax][qap::kMax] = {};
    for (int a = 0; a < p.n; ++a) {
        p.px[a] = p.work.DeptX[a + 1];
        p.py[a] = p.work.DeptY[a + 1];
        for (int b = a + 1; b < p.n; ++b)
            upper[a][b] = p.work.MoveCount(a + 1, b + 1);
    }
    if (!qap::MakeProblem(p.n, p.px, p.py, upper, method, p.problem))
        return TooLarge();
    return p;
}

} // namespace

bool BestLayoutOutcome::changed(const MhActivityState& mh) const {
    for (int d = 1; d <= DeptCount; ++d)
        if (x[d] != mh.DeptX[d] || y[d] != mh.DeptY[d])
            return true;
    return false;
}

Status CheckBestLayoutProblem(const MhActivityState& mh, Metric method) {
    if (Result<Prepared> p = Prepare(mh, method); !p)
        return p.failure();
    return {};
}

Result<BestLayoutOutcome> FindBestLayout(const MhActivityState& mh, Metric method,
                                         const BestLayoutControl& control) {
    const auto started = std::chrono::steady_clock::now();
    Result<Prepared> prepared = Prepare(mh, method);
    if (!prepared)
        return prepared.failure();
    MhActivityState& work = prepared->work;
    const int n = prepared->n;
    const double* px = prepared->px;
    const double* py = prepared->py;
    const qap::Problem& problem = prepared->problem;

    const ImproveOutcome improved = Improve(work, method);
    qap::Candidate current{qap::Identity(n), 0};
    current.activity = qap::Activity(problem, current.placeOf);
    qap::Candidate fromImprove{PlacesOf(n, improved.x, improved.y, px, py), 0};
    fromImprove.activity = qap::Activity(problem, fromImprove.placeOf);
    const qap::Candidate& start =
        qap::Better(problem, fromImprove, current) ? fromImprove : current;
    const qap::Candidate seeded = qap::LocalSearch(problem, start, kStartsPerDepartment * n, kSeed);

    qap::SearchControl sc;
    sc.cancel = control.cancel;
    // The time limit holds for the whole search, the descents before it included.
    const double spent =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (control.timeLimit > 0)
        sc.timeLimit = std::max(control.timeLimit - spent, 1e-9);
    sc.threads = Threads(control.threads);
    if (control.progress)
        sc.progress = [&control](const qap::SearchProgress& p) {
            control.progress({p.best, p.bound, GapPercent(p.best, p.bound), p.nodes, p.seconds});
        };
    const qap::SearchResult found = qap::Search(problem, seeded, sc);

    BestLayoutOutcome out;
    out.end = found.end == qap::SearchEnd::Proven      ? BestLayoutEnd::Proven
              : found.end == qap::SearchEnd::TimeLimit ? BestLayoutEnd::TimeLimit
                                                       : BestLayoutEnd::Cancelled;
    out.DeptCount = n;
    for (int d = 1; d <= n; ++d) {
        const int q = found.best.placeOf[d - 1];
        out.place[d] = q + 1;
        out.x[d] = px[q];
        out.y[d] = py[q];
    }
    out.activity = found.best.activity;
    out.lowerBound = found.bound;
    out.StartActivity = current.activity;
    out.ImprovedActivity = fromImprove.activity;
    out.nodes = found.nodes;
    out.seconds = spent + found.seconds;

    Figures figures;
    figures.add({out.activity, out.lowerBound, out.StartActivity, out.ImprovedActivity});
    if (Status finite = RequireFinite(figures, "locations and moves", "the activity of a layout",
                                      kSmallerRemedy);
        !finite)
        return Fail(finite.message());
    return out;
}

void AcceptBestLayout(MhActivityState& mh, const BestLayoutOutcome& outcome) {
    for (int d = 1; d <= std::min(outcome.DeptCount, kMaxDepartments); ++d) {
        mh.DeptX[d] = outcome.x[d];
        mh.DeptY[d] = outcome.y[d];
    }
}

std::optional<double> PercentAbove(double activity, double reference) {
    if (reference == 0)
        return activity == 0 ? std::optional<double>(0) : std::nullopt;
    return (activity - reference) / std::fabs(reference) * 100;
}

std::optional<double> GapPercent(double best, double bound) {
    if (best == bound)
        return 0.0;
    if (best == 0)
        return std::nullopt;
    return (best - bound) / std::fabs(best) * 100;
}

Result<double> TimeLimitFromText(std::string_view text) {
    const double seconds = LeadingNumber(text);
    if (!(seconds > 0))
        return Fail(kTimeLimitAboveZero);
    return seconds;
}

} // namespace davrenta
