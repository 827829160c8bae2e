#include "popmap/setproblem.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace davrenta::fastsearch_detail {

std::vector<int> Slots(const Support& s, int p) {
    std::vector<int> slots;
    if (s.empty())
        return slots;
    slots.assign(static_cast<std::size_t>(std::max(0, p - static_cast<int>(s.size()) + 1)),
                 s.front());
    slots.insert(slots.end(), s.begin() + 1, s.end());
    return slots;
}

bool SlotsBefore(const Support& a, const Support& b, int p) {
    // Slots compare by the first cell, then by the number of repeats of it (more repeats come
    // first, as a repeated cell is earlier than any later cell), then by the rest in order.
    if (a.empty() || b.empty())
        return !a.empty() && b.empty();
    if (a.front() != b.front())
        return a.front() < b.front();
    const int ra = p - static_cast<int>(a.size());
    const int rb = p - static_cast<int>(b.size());
    if (ra != rb)
        return ra > rb;
    return std::lexicographical_compare(a.begin() + 1, a.end(), b.begin() + 1, b.end());
}

SetGoal GoalOf(Measure measure) {
    switch (measure) {
    case Measure::MinimizeTravel:
        return SetGoal::Travel;
    case Measure::MaximumServed:
        return SetGoal::Served;
    default:
        return SetGoal::MaxDistance;
    }
}

SetProblem::SetProblem(const Grid& grid, SetGoal goalIn, double radiusIn)
    : g(grid), goal(goalIn), radius(radiusIn), C(grid.C), K(grid.K) {
    farthest_.assign(static_cast<std::size_t>(K), 0.0);
    for (int k = 0; k < K; ++k) {
        // The farthest candidate lies at a corner of the map's lines.
        double far = 0;
        const int lk = g.cellLine[static_cast<std::size_t>(k)];
        const int ck = g.cellColumn[static_cast<std::size_t>(k)];
        for (int l = 1; l <= g.lastLine; ++l) {
            const int length = g.candLineStart[l + 1] - g.candLineStart[l];
            if (length == 0)
                continue;
            const int adl = std::abs(l - lk);
            far = std::max({far, At(adl, std::abs(1 - ck)), At(adl, std::abs(length - ck))});
        }
        farthest_[static_cast<std::size_t>(k)] = far;
    }
}

void SetProblem::Minima(const Support& s, std::vector<double>& m) const {
    m.resize(static_cast<std::size_t>(K));
    for (int k = 0; k < K; ++k) {
        double minimum = g.prior[static_cast<std::size_t>(k)];
        for (int j : s) {
            const double d = g.Distance(j, k);
            if (d < minimum)
                minimum = d;
        }
        m[static_cast<std::size_t>(k)] = minimum;
    }
}

SetFigures SetProblem::FiguresOfMinima(const std::vector<double>& m) const {
    SetFigures f;
    for (int k = 0; k < K; ++k) {
        const double minimum = m[static_cast<std::size_t>(k)];
        const double pop = g.pop[static_cast<std::size_t>(k)];
        f.travel += pop * minimum;
        if (minimum > f.maxDistance)
            f.maxDistance = minimum;
        if (minimum < g.prior[static_cast<std::size_t>(k)])
            f.served += pop;
    }
    return f;
}

SetFigures SetProblem::Figures(const Support& s) const {
    std::vector<double> m;
    Minima(s, m);
    return FiguresOfMinima(m);
}

double SetProblem::KeyOfMinima(const std::vector<double>& m) const {
    switch (goal) {
    case SetGoal::Travel: {
        double travel = 0;
        for (int k = 0; k < K; ++k)
            travel += g.pop[static_cast<std::size_t>(k)] * m[static_cast<std::size_t>(k)];
        return travel;
    }
    case SetGoal::Served: {
        double served = 0;
        for (int k = 0; k < K; ++k)
            if (m[static_cast<std::size_t>(k)] < g.prior[static_cast<std::size_t>(k)])
                served += g.pop[static_cast<std::size_t>(k)];
        return -served;
    }
    case SetGoal::CoveredWithin: {
        double covered = 0;
        for (int k = 0; k < K; ++k)
            if (m[static_cast<std::size_t>(k)] <= radius)
                covered += g.pop[static_cast<std::size_t>(k)];
        return -covered;
    }
    default: {
        double largest = 0;
        for (int k = 0; k < K; ++k)
            if (m[static_cast<std::size_t>(k)] > largest)
                largest = m[static_cast<std::size_t>(k)];
        return largest;
    }
    }
}

double SetProblem::Key(const Support& s) const {
    std::vector<double> m;
    Minima(s, m);
    return KeyOfMinima(m);
}

SetClock::SetClock(const SearchControl& control, int pods)
    : control_(control), start_(std::chrono::steady_clock::now()), limit_(control.timeLimit),
      pods_(pods) {}

double SetClock::Elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

bool SetClock::OutOfTime() const {
    return limit_ > 0 && Elapsed() >= limit_;
}

bool SetClock::Stopping() const {
    return Cancelled() || OutOfTime();
}

void SetClock::Report(bool haveBest, double best, double bound, bool force) {
    if (!control_.bounds)
        return;
    const double now = Elapsed();
    if (!force && lastReport_ >= 0 && now - lastReport_ < 0.1)
        return;
    lastReport_ = now;
    SetProgress progress;
    progress.pods = pods_;
    progress.haveBest = haveBest;
    progress.best = best;
    progress.bound = bound;
    progress.gap = haveBest ? RelativeGap(best, bound) : 1.0;
    progress.seconds = now;
    control_.bounds(progress);
}

double RelativeGap(double best, double bound) {
    if (best == bound)
        return 0;
    const double scale = std::max(std::fabs(best), std::fabs(bound));
    const double gap = std::fabs(best - bound) / scale;
    return std::isfinite(gap) ? gap : 1.0;
}

bool Incumbent::Offer(double value, const Support& s) {
    if (s.empty() || std::isnan(value))
        return false;
    if (have && !(value < key || (value == key && SlotsBefore(s, set, p))))
        return false;
    have = true;
    key = value;
    set = s;
    return true;
}

bool Incumbent::Excludes(double bound, const Support& first) const {
    if (first.empty())
        return true; // no set at all
    if (!have)
        return false;
    return bound > key || (bound >= key && !SlotsBefore(first, set, p));
}

bool SetNode::IsOpen(int j) const {
    return std::binary_search(open.begin(), open.end(), j);
}

Support FirstSupport(const SetNode& node, int C, int p) {
    int first = -1;
    for (int j = 0; j < C; ++j)
        if (!node.IsClosed(j) && !node.IsOpen(j)) {
            first = j;
            break;
        }
    Support s = node.open;
    if (first >= 0 && static_cast<int>(s.size()) < p && (s.empty() || first < s.front()))
        s.insert(s.begin(), first);
    return s;
}

namespace {

// Nodes whose supports are few enough are enumerated rather than bounded.
constexpr double kEnumerateLimit = 20000;

double Completions(int freeCount, int room) {
    double total = 0, term = 1;
    for (int m = 0; m <= room; ++m) {
        total += term;
        term = term * (freeCount - m) / (m + 1);
        if (total > kEnumerateLimit)
            return total;
    }
    return total;
}

// Every support of the node, each evaluated exactly: minima of the open candidates first, then
// the free ones added in increasing order.
class Enumerator {
  public:
    Enumerator(const SetProblem& sp, int p, Incumbent& best) : sp_(sp), p_(p), best_(best) {}

    void Run(const SetNode& node, const std::vector<int>& free) {
        const int K = sp_.K;
        levels_.assign(static_cast<std::size_t>(p_ + 1), std::vector<double>(K));
        std::vector<double>& base = levels_[0];
        for (int k = 0; k < K; ++k) {
            double m = sp_.g.prior[static_cast<std::size_t>(k)];
            for (int j : node.open) {
                const double d = sp_.Distance(j, k);
                if (d < m)
                    m = d;
            }
            base[static_cast<std::size_t>(k)] = m;
        }
        chosen_ = node.open;
        free_ = &free;
        if (!node.open.empty())
            Offer(0);
        Extend(0, 0, p_ - static_cast<int>(node.open.size()));
    }

  private:
    void Extend(int level, std::size_t from, int room) {
        if (room == 0)
            return;
        for (std::size_t i = from; i < free_->size(); ++i) {
            const int j = (*free_)[i];
            const std::vector<double>& below = levels_[static_cast<std::size_t>(level)];
            std::vector<double>& here = levels_[static_cast<std::size_t>(level + 1)];
            for (int k = 0; k < sp_.K; ++k) {
                const double d = sp_.Distance(j, k);
                const double m = below[static_cast<std::size_t>(k)];
                here[static_cast<std::size_t>(k)] = d < m ? d : m;
            }
            chosen_.push_back(j);
            Offer(level + 1);
            Extend(level + 1, i + 1, room - 1);
            chosen_.pop_back();
        }
    }

    void Offer(int level) {
        Support s = chosen_;
        std::sort(s.begin(), s.end());
        best_.Offer(sp_.KeyOfMinima(levels_[static_cast<std::size_t>(level)]), s);
    }

    const SetProblem& sp_;
    int p_;
    Incumbent& best_;
    std::vector<std::vector<double>> levels_;
    Support chosen_;
    const std::vector<int>* free_ = nullptr;
};

} // namespace

bool NodeEnumerable(int freeCount, int room) {
    return room == 0 || freeCount == 0 || Completions(freeCount, room) <= kEnumerateLimit;
}

namespace {

struct NodeOrder {
    bool operator()(const SetNode& a, const SetNode& b) const {
        if (a.bound != b.bound)
            return a.bound > b.bound; // smallest bound on top
        return a.depth < b.depth;     // then the deepest
    }
};

constexpr int kRootIterations = 600;
constexpr int kNodeIterations = 60;
constexpr double kImproveWithin = 0.002;
} // namespace

Support Kick(const Support& s, int C, int t, std::mt19937& rng) {
    Support next = s;
    const int moves = 1 + t % 2;
    for (int m = 0; m < moves && !next.empty(); ++m) {
        const int j = std::uniform_int_distribution<int>(0, C - 1)(rng);
        if (std::binary_search(next.begin(), next.end(), j))
            continue;
        next.erase(next.begin() +
                   std::uniform_int_distribution<int>(0, static_cast<int>(next.size()) - 1)(rng));
        next.insert(std::upper_bound(next.begin(), next.end(), j), j);
    }
    return next;
}

SetSearchOutcome BranchAndBound(const SetProblem& sp, int p, SetBounder& bounder,
                                const Improver& improve, Incumbent& best, SetClock& clock,
                                long long kickEvery) {
    const int C = sp.C;
    SetSearchOutcome outcome;
    std::vector<SetNode> queue;
    {
        SetNode root;
        root.closed.assign(static_cast<std::size_t>((C + 63) / 64), 0);
        root.multipliers = bounder.Start(best.set);
        root.bound = bounder.Floor();
        queue.push_back(std::move(root));
    }
    const NodeOrder order;
    double lowest = bounder.Floor();
    std::set<Support> tried; // choices the local search has started from
    std::mt19937 rng(54321);
    int kicks = 0;
    auto report = [&](bool force) {
        const double bound = best.have ? std::min(lowest, best.key) : lowest;
        clock.Report(best.have, sp.ValueOfKey(best.key), sp.ValueOfKey(bound), force);
    };

    while (!queue.empty()) {
        std::pop_heap(queue.begin(), queue.end(), order);
        SetNode node = std::move(queue.back());
        queue.pop_back();
        lowest = std::min(node.bound, queue.empty() ? node.bound : queue.front().bound);
        if (clock.Stopping()) {
            outcome.stopped = true;
            queue.push_back(std::move(node));
            break;
        }
        report(false);
        if (best.Excludes(node.bound, FirstSupport(node, C, p)))
            continue;
        ++outcome.nodes;
        if (improve && kickEvery > 0 && best.have && outcome.nodes % kickEvery == 0) {
            const Support kicked = improve(Kick(best.set, C, kicks++, rng));
            best.Offer(sp.Key(kicked), kicked);
        }

        bool done = false;
        NodeBound nb;
        // The relaxation's choices as sets; near the root, made better where they can be.
        const auto tryPick = [&](const Support& pick, double bound) {
            if (pick.empty() || static_cast<int>(pick.size()) > p)
                return;
            const double key = sp.Key(pick);
            best.Offer(key, pick);
            // A local search is worth it from choices about as near the best as the bound is.
            const double within =
                std::max(kImproveWithin * std::fabs(best.key), 2 * (best.key - bound));
            if (!improve || node.depth > 1 || tried.count(pick) > 0 || !(key - best.key <= within))
                return;
            tried.insert(pick);
            const Support better = improve(pick);
            best.Offer(sp.Key(better), better);
        };
        for (int pass = 0; pass < 3 && !done; ++pass) {
            const int iterations =
                node.depth == 0 && pass == 0 ? kRootIterations : kNodeIterations / (pass + 1);
            nb = bounder.Bound(node, best, iterations, tryPick);
            node.bound = std::max(node.bound, nb.bound);
            Support pick = node.open;
            pick.insert(pick.end(), nb.pick.begin(), nb.pick.end());
            std::sort(pick.begin(), pick.end());
            pick.erase(std::unique(pick.begin(), pick.end()), pick.end());
            tryPick(pick, node.bound);
            const Support first = FirstSupport(node, C, p);
            if (best.have && node.bound >= best.key && SlotsBefore(first, best.set, p))
                best.Offer(sp.Key(first), first);
            if (best.Excludes(node.bound, first)) {
                done = true;
                break;
            }
            bool changed = false;
            for (int j : nb.close)
                if (!node.IsClosed(j) && !node.IsOpen(j)) {
                    node.Close(j);
                    changed = true;
                }
            for (int j : nb.open)
                if (!node.IsOpen(j) && !node.IsClosed(j)) {
                    node.open.insert(std::upper_bound(node.open.begin(), node.open.end(), j), j);
                    changed = true;
                }
            if (static_cast<int>(node.open.size()) > p) {
                done = true; // every set of the node is strictly worse than the best
                break;
            }
            if (!changed || clock.Stopping())
                break;
        }
        if (done)
            continue;
        if (clock.Stopping()) {
            outcome.stopped = true;
            queue.push_back(std::move(node));
            break;
        }

        std::vector<int> free;
        for (int j = 0; j < C; ++j)
            if (!node.IsClosed(j) && !node.IsOpen(j))
                free.push_back(j);
        const int room = p - static_cast<int>(node.open.size());
        if (NodeEnumerable(static_cast<int>(free.size()), room)) {
            Enumerator(sp, p, best).Run(node, free);
            continue;
        }
        int j = nb.branch;
        if (j < 0 || node.IsClosed(j) || node.IsOpen(j) || (best.have && node.bound >= best.key))
            j = free.front(); // only ties are left: follow the slots' order
        SetNode opened = node;
        opened.open.insert(std::upper_bound(opened.open.begin(), opened.open.end(), j), j);
        opened.depth = node.depth + 1;
        node.Close(j);
        node.depth += 1;
        queue.push_back(std::move(opened));
        std::push_heap(queue.begin(), queue.end(), order);
        queue.push_back(std::move(node));
        std::push_heap(queue.begin(), queue.end(), order);
    }

    if (!outcome.stopped) {
        outcome.proven = best.have;
        outcome.bound = best.key;
    } else {
        double lowestOpen = std::numeric_limits<double>::infinity();
        for (const SetNode& n : queue)
            if (!best.Excludes(n.bound, FirstSupport(n, C, p)))
                lowestOpen = std::min(lowestOpen, n.bound);
        outcome.bound = best.have ? std::min(lowestOpen, best.key) : lowestOpen;
        if (best.have && lowestOpen == std::numeric_limits<double>::infinity())
            outcome.proven = true; // what was left could all be excluded
    }
    report(true);
    return outcome;
}

} // namespace davrenta::fastsearch_detail
