#include "mhact/qapsearch.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace davrenta::qap {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// The Gilmore-Lawler bound, node by node. With some departments placed, a free department i on a
// free place s costs exactly its moves to the placed departments times their distances (L), plus
// at least half of the least pairing of its moves to the other free departments with the
// distances from s to the other free places (largest moves with shortest distances: the
// rearrangement inequality, for moves of either sign); each pair of free departments is counted
// half from each end. The least linear assignment of free departments to free places over these
// costs, plus the placed pairs' activity, bounds every layout below the node.
//
// Free departments without moves cost nothing anywhere and make the assignment square. Its
// bound is read from column potentials v, which makes it valid for any v:
// sum_i min_s (C[i][s] - v[s]) + sum_s v[s]. The same potentials give, for each
// department i and place s, the least rise of that bound when i is put on s (its penalty), which
// prunes children before their own bound is computed.
//
// Rounding: every figure above is a sum of at most a few hundred products, each below the scale
// (sum of |moves| times the longest distance) or the potentials' size, and the activity a layout
// is judged by is itself a rounded sum of up to 105 products. The margin below is several times
// the standard bound on all those rounding errors together (unit roundoff 2^-53 times the number
// of operations times the size of what they add), plus an absolute term for underflow. A node is
// pruned only when its bound minus the margin lies strictly above the best activity found, so no
// layout whose computed activity equals or beats the best is ever cut off, and ties are decided by
// the layout order alone.
double Margin(double scale, int free, double vmax, double vabs) {
    return 4e-16 * ((256 + 80.0 * free) * scale + 20 * (free * vmax + vabs)) + 1e-300;
}

// Least assignment of k rows to k columns by shortest augmenting paths, from the column
// potentials v (a parent node's, when the search goes down: most rows then start on a tight
// column and few paths are needed). Only the potentials are wanted, returned in v: the bound's
// formula is valid for any potentials, so rounding here costs strength, never validity.
void AssignmentPotentials(int k, const double (*c)[kMax], double* v) {
    double u[kMax + 1], pv[kMax + 1], minv[kMax + 1];
    int rowOf[kMax + 1] = {}, way[kMax + 1] = {};
    bool used[kMax + 1];
    bool matched[kMax + 1] = {};
    pv[0] = 0;
    for (int j = 1; j <= k; ++j)
        pv[j] = v[j - 1];
    // Each row on its cheapest column under the potentials, where that column is still free.
    for (int i = 1; i <= k; ++i) {
        double low = kInf;
        int at = 1;
        for (int j = 1; j <= k; ++j)
            if (c[i - 1][j - 1] - pv[j] < low) {
                low = c[i - 1][j - 1] - pv[j];
                at = j;
            }
        u[i] = low;
        if (rowOf[at] == 0) {
            rowOf[at] = i;
            matched[i] = true;
        }
    }
    for (int i = 1; i <= k; ++i) {
        if (matched[i])
            continue;
        rowOf[0] = i;
        int j0 = 0;
        for (int j = 0; j <= k; ++j) {
            minv[j] = kInf;
            used[j] = false;
        }
        do {
            used[j0] = true;
            const int i0 = rowOf[j0];
            double delta = kInf;
            int j1 = 0;
            for (int j = 1; j <= k; ++j) {
                if (used[j])
                    continue;
                const double cur = c[i0 - 1][j - 1] - u[i0] - pv[j];
                if (cur < minv[j]) {
                    minv[j] = cur;
                    way[j] = j0;
                }
                if (minv[j] < delta) {
                    delta = minv[j];
                    j1 = j;
                }
            }
            if (j1 == 0)
                break; // cannot happen with finite costs
            for (int j = 0; j <= k; ++j) {
                if (used[j]) {
                    u[rowOf[j]] += delta;
                    pv[j] -= delta;
                } else {
                    minv[j] -= delta;
                }
            }
            j0 = j1;
        } while (rowOf[j0] != 0);
        do {
            const int j1 = way[j0];
            rowOf[j0] = rowOf[j1];
            j0 = j1;
        } while (j0 != 0);
    }
    for (int j = 0; j < k; ++j)
        v[j] = pv[j + 1];
}

struct Child {
    std::int8_t dept = 0;
    std::int8_t place = 0;
    double lb = 0;
};

// One node: what is placed, the exact cost of free departments against placed ones, and the
// children still to explore.
struct Frame {
    std::int8_t placeOf[kMax];
    std::int8_t deptAt[kMax];
    double L[kMax][kMax];
    double potential[kMax]; // by place: the column potentials of the node's assignment
    double fixed = 0;
    int freeMoving = 0; // free departments with moves
    double lb = 0;      // no layout below this node is under it
    Child kids[kMax];
    int next = 0, end = 0;
};

struct Task {
    std::vector<std::pair<std::int8_t, std::int8_t>> path;
    double lb = -kInf;
};

// The problem's fixed orderings: each department's partners by moves (largest first) and each
// place's other places by distance (nearest first).
struct Orders {
    int partners[kMax][kMax];
    double flow[kMax][kMax];
    int degree[kMax] = {};
    int near[kMax][kMax];
    bool negative = false;
};

Orders MakeOrders(const Problem& p) {
    Orders o;
    const int n = p.n;
    for (int i = 0; i < n; ++i) {
        int k = 0;
        for (int j = 0; j < n; ++j)
            if (j != i && p.F[i][j] != 0)
                o.partners[i][k++] = j;
        std::stable_sort(o.partners[i], o.partners[i] + k,
                         [&](int a, int b) { return p.F[i][a] > p.F[i][b]; });
        for (int t = 0; t < k; ++t) {
            o.flow[i][t] = p.F[i][o.partners[i][t]];
            o.negative = o.negative || o.flow[i][t] < 0;
        }
        o.degree[i] = k;
        int q = 0;
        for (int j = 0; j < n; ++j)
            if (j != i)
                o.near[i][q++] = j;
        std::stable_sort(o.near[i], o.near[i] + q,
                         [&](int a, int b) { return p.D[i][a] < p.D[i][b]; });
    }
    return o;
}

void Assign(const Problem& p, const Orders& o, const Frame& from, Frame& to, int dept, int place) {
    to = from;
    to.placeOf[dept] = static_cast<std::int8_t>(place);
    to.deptAt[place] = static_cast<std::int8_t>(dept);
    --to.freeMoving;
    for (int t = 0; t < o.degree[dept]; ++t) {
        const int j = o.partners[dept][t];
        const double f = o.flow[dept][t];
        if (to.placeOf[j] >= 0) {
            to.fixed += f * p.D[place][to.placeOf[j]];
        } else {
            for (int s = 0; s < p.n; ++s)
                if (to.deptAt[s] < 0)
                    to.L[j][s] += f * p.D[s][place];
        }
    }
}

Frame RootFrame(const Problem& p) {
    Frame f;
    for (int d = 0; d < kMax; ++d) {
        f.placeOf[d] = -1;
        f.deptAt[d] = -1;
        for (int s = 0; s < kMax; ++s)
            f.L[d][s] = 0;
        f.potential[d] = 0;
        if (d < p.n && !p.idle[d])
            ++f.freeMoving;
    }
    f.lb = -kInf;
    return f;
}

struct BoundWork {
    int rows[kMax], cols[kMax]; // free departments with moves, free places
    int m = 0, mc = 0;
    double C[kMax][kMax];
    double v[kMax];      // column potentials
    double rowMin[kMax]; // least reduced cost of each row
    double base = 0;     // placed pairs plus the assignment's bound
    double margin = 0;
};

// The node's bound without the margin (base) and what its children's bounds are made of.
void ComputeBound(const Problem& p, const Orders& o, const Frame& f, BoundWork& w) {
    const int n = p.n;
    int* rows = w.rows;
    int* cols = w.cols;
    int m = 0, mc = 0;
    for (int d = 0; d < n; ++d)
        if (f.placeOf[d] < 0 && !p.idle[d])
            rows[m++] = d;
    for (int s = 0; s < n; ++s)
        if (f.deptAt[s] < 0)
            cols[mc++] = s;

    // The moves of each free department to the other free ones, largest first, and the most
    // negative ones.
    double pos[kMax][kMax], neg[kMax][kMax];
    int npos[kMax], nneg[kMax];
    int needPos = 0, needNeg = 0;
    for (int r = 0; r < m; ++r) {
        const int i = rows[r];
        npos[r] = nneg[r] = 0;
        for (int t = 0; t < o.degree[i]; ++t) {
            const int j = o.partners[i][t];
            if (f.placeOf[j] >= 0 || o.flow[i][t] < 0)
                continue;
            pos[r][npos[r]++] = o.flow[i][t];
        }
        if (o.negative)
            for (int t = o.degree[i] - 1; t >= 0; --t) {
                const int j = o.partners[i][t];
                if (f.placeOf[j] >= 0 || o.flow[i][t] >= 0)
                    continue;
                neg[r][nneg[r]++] = o.flow[i][t];
            }
        needPos = std::max(needPos, npos[r]);
        needNeg = std::max(needNeg, nneg[r]);
    }
    // From each free place, the distances to the other free places: nearest first, and the
    // farthest first for negative moves.
    double nearD[kMax][kMax], farD[kMax][kMax];
    for (int c = 0; c < mc; ++c) {
        const int s = cols[c];
        int k = 0;
        for (int t = 0; t < n - 1 && k < needPos; ++t) {
            const int q = o.near[s][t];
            if (f.deptAt[q] < 0)
                nearD[c][k++] = p.D[s][q];
        }
        k = 0;
        for (int t = n - 2; t >= 0 && k < needNeg; --t) {
            const int q = o.near[s][t];
            if (f.deptAt[q] < 0)
                farD[c][k++] = p.D[s][q];
        }
    }
    auto& C = w.C;
    for (int r = 0; r < m; ++r) {
        const int i = rows[r];
        for (int c = 0; c < mc; ++c) {
            double pairing = 0;
            for (int t = 0; t < npos[r]; ++t)
                pairing += pos[r][t] * nearD[c][t];
            for (int t = 0; t < nneg[r]; ++t)
                pairing += neg[r][t] * farD[c][t];
            C[r][c] = f.L[i][cols[c]] + 0.5 * pairing;
        }
    }

    double* v = w.v;
    // Departments without moves still to place cost nothing anywhere: rows of zeros make the
    // assignment square.
    for (int r = m; r < mc; ++r)
        for (int c = 0; c < mc; ++c)
            C[r][c] = 0;
    for (int c = 0; c < mc; ++c)
        v[c] = f.potential[cols[c]];
    AssignmentPotentials(mc, C, v);
    double vmax = 0, vabs = 0, lap = 0;
    for (int c = 0; c < mc; ++c) {
        vmax = std::max(vmax, std::fabs(v[c]));
        vabs += std::fabs(v[c]);
        lap += v[c];
    }
    double* rowMin = w.rowMin;
    for (int r = 0; r < mc; ++r) {
        double low = kInf;
        for (int c = 0; c < mc; ++c)
            low = std::min(low, C[r][c] - v[c]);
        rowMin[r] = low;
        lap += low;
    }
    w.m = m;
    w.mc = mc;
    w.margin = Margin(p.scale, mc, vmax, vabs);
    w.base = f.fixed + lap;
}

class Engine {
  public:
    Engine(const Problem& p, const SearchControl& control, const Candidate& start)
        : p_(p), control_(control), orders_(MakeOrders(p)), best_(start),
          threads_(std::clamp(control.threads, 1, 64)), frontier_(threads_), nodes_(threads_) {
        bestValue_.store(start.activity);
        for (auto& f : frontier_)
            f.store(kInf);
        for (auto& n : nodes_)
            n.store(0);
    }

    SearchResult Run();

  private:
    struct Worker {
        std::vector<Frame> frames = std::vector<Frame>(kMax + 2);
        std::pair<std::int8_t, std::int8_t> path[kMax + 1];
        int rootDepth = 0;
        long long nodes = 0;
        bool stopped = false;
        std::vector<Task> open; // what was left unexplored when it stopped
        int index = 0;
    };

    void Work(Worker& w);
    void Explore(Worker& w, int depth);
    bool Expand(Frame& f);
    void Leaf(const Frame& f, int dept, int place);
    void Donate(Worker& w, int depth);
    double Frontier(const Worker& w, int depth) const;
    void Leave(Worker& w, int depth) const;
    double OpenBound(const Task& t);
    double Best() const { return bestValue_.load(std::memory_order_relaxed); }
    double BoundNow();

    const Problem& p_;
    const SearchControl& control_;
    const Orders orders_;

    std::mutex bestMutex_;
    Candidate best_;
    std::atomic<double> bestValue_;

    const int threads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> queue_;
    int idle_ = 0;
    bool finished_ = false;
    std::atomic<int> hungry_{0};
    std::atomic<int> queued_{0}; // queue_.size(), readable without the lock
    std::atomic<bool> stop_{false};
    std::vector<std::atomic<double>> frontier_; // published, never above a worker's frontier
    std::vector<std::atomic<long long>> nodes_;
    Frame root_{};
};

void Engine::Leaf(const Frame& f, int dept, int place) {
    // Departments without moves are still free here; the activity never looks at them.
    Candidate c;
    for (int d = 0; d < p_.n; ++d)
        c.placeOf[d] = f.placeOf[d];
    if (dept >= 0)
        c.placeOf[dept] = static_cast<std::int8_t>(place);
    c.activity = Activity(p_, c.placeOf);
    if (c.activity > Best())
        return;
    c.placeOf = Canonical(p_, c.placeOf);
    std::lock_guard lock(bestMutex_);
    if (Better(p_, c, best_)) {
        best_ = c;
        bestValue_.store(c.activity);
    }
}

bool Engine::Expand(Frame& f) {
    BoundWork w;
    ComputeBound(p_, orders_, f, w);
    const int m = w.m, mc = w.mc;
    const int* rows = w.rows;
    const int* cols = w.cols;
    const auto& C = w.C;
    const double* v = w.v;
    const double* rowMin = w.rowMin;
    const double base = w.base, margin = w.margin;
    f.lb = std::max(f.lb, base - margin);
    for (int c = 0; c < mc; ++c)
        f.potential[cols[c]] = v[c];
    const double best = Best();
    if (f.lb > best)
        return false;

    // Children: a department onto each location (a row), or a place given each department (a
    // column); whichever leaves the fewest. Each child's bound is the node's plus its penalty.
    double P[kMax][kMax];
    for (int r = 0; r < m; ++r)
        for (int c = 0; c < mc; ++c)
            P[r][c] = std::max(f.lb, base + (C[r][c] - v[c] - rowMin[r]) - margin);
    // One child per location: its first free place stands for the others there, with the least
    // of their bounds.
    int group[kMax], groups = 0;
    bool alone[kMax];
    for (int c = 0; c < mc; ++c) {
        group[c] = -1;
        for (int e = 0; e < c && group[c] < 0; ++e)
            if (p_.placeClass[cols[e]] == p_.placeClass[cols[c]])
                group[c] = group[e];
        if (group[c] < 0)
            group[c] = groups++;
    }
    int size[kMax] = {}, firstCol[kMax];
    for (int c = mc - 1; c >= 0; --c) {
        ++size[group[c]];
        firstCol[group[c]] = c;
    }
    for (int c = 0; c < mc; ++c)
        alone[c] = size[group[c]] == 1;
    double G[kMax][kMax];
    for (int r = 0; r < m; ++r) {
        for (int g = 0; g < groups; ++g)
            G[r][g] = kInf;
        for (int c = 0; c < mc; ++c)
            G[r][group[c]] = std::min(G[r][group[c]], P[r][c]);
    }

    int bestCount = kMax + 1, bestRow = -1, bestCol = -1;
    double bestSpread = -1;
    auto consider = [&](int count, double spread, int row, int col) {
        if (count < bestCount || (count == bestCount && spread > bestSpread)) {
            bestCount = count;
            bestSpread = spread;
            bestRow = row;
            bestCol = col;
        }
    };
    for (int r = 0; r < m; ++r) {
        int count = 0;
        double spread = 0;
        for (int g = 0; g < groups; ++g) {
            count += G[r][g] <= best;
            spread += G[r][g] - f.lb;
        }
        consider(count, spread, r, -1);
    }
    // A place may be given only when no department without moves still needs one.
    if (m == mc)
        for (int c = 0; c < mc; ++c) {
            if (!alone[c])
                continue;
            int count = 0;
            double spread = 0;
            for (int r = 0; r < m; ++r) {
                count += P[r][c] <= best;
                spread += P[r][c] - f.lb;
            }
            consider(count, spread, -1, c);
        }
    if (bestCount == 0)
        return false;

    f.next = f.end = 0;
    auto add = [&](int r, int c, double lb) {
        if (lb > best)
            return;
        Child k{static_cast<std::int8_t>(rows[r]), static_cast<std::int8_t>(cols[c]), lb};
        int at = f.end++;
        // Lowest bound first; equal bounds in department, then place order.
        while (at > 0) {
            const Child& prev = f.kids[at - 1];
            const bool after =
                prev.lb > k.lb ||
                (prev.lb == k.lb && std::pair(prev.dept, prev.place) > std::pair(k.dept, k.place));
            if (!after)
                break;
            f.kids[at] = prev;
            --at;
        }
        f.kids[at] = k;
    };
    if (bestRow >= 0) {
        for (int g = 0; g < groups; ++g)
            add(bestRow, firstCol[g], G[bestRow][g]);
    } else {
        for (int r = 0; r < m; ++r)
            add(r, bestCol, P[r][bestCol]);
    }
    return f.end > 0;
}

double Engine::Frontier(const Worker& w, int depth) const {
    double low = w.frames[depth].lb;
    for (int d = w.rootDepth; d < depth; ++d) {
        const Frame& f = w.frames[d];
        for (int k = f.next; k < f.end; ++k)
            low = std::min(low, f.kids[k].lb);
    }
    return low;
}

// The nodes a stopped worker leaves: the one it was about to enter and the children still
// waiting on its path.
void Engine::Leave(Worker& w, int depth) const {
    auto task = [&](int d, double lb) {
        Task t;
        t.path.assign(w.path, w.path + d);
        t.lb = lb;
        return t;
    };
    w.open.push_back(task(depth, w.frames[depth].lb));
    for (int d = w.rootDepth; d < depth; ++d) {
        const Frame& f = w.frames[d];
        for (int k = f.next; k < f.end; ++k) {
            Task t = task(d, f.kids[k].lb);
            t.path.emplace_back(f.kids[k].dept, f.kids[k].place);
            w.open.push_back(std::move(t));
        }
    }
}

// What a node left open when the search stopped is proven to be at least: its own bound and,
// one level down, the least of its children's, no more than a few hundred bounds for all of
// them together.
double Engine::OpenBound(const Task& t) {
    Frame a = root_, b;
    for (const auto& [dept, place] : t.path) {
        Assign(p_, orders_, a, b, dept, place);
        a = b;
    }
    a.lb = t.lb;
    if (a.freeMoving == 0) {
        // A single layout (departments without moves aside): taken if it is better.
        Leaf(a, -1, -1);
        Candidate c;
        for (int d = 0; d < p_.n; ++d)
            c.placeOf[d] = a.placeOf[d];
        return Activity(p_, c.placeOf);
    }
    if (!Expand(a))
        return Best(); // nothing below it beats the best
    double low = kInf;
    for (int k = 0; k < a.end; ++k)
        low = std::min(low, a.kids[k].lb);
    return low;
}

void Engine::Donate(Worker& w, int depth) {
    for (int d = w.rootDepth; d < depth; ++d) {
        Frame& f = w.frames[d];
        if (f.next >= f.end)
            continue;
        {
            std::lock_guard lock(mutex_);
            for (int k = f.next; k < f.end; ++k) {
                Task t;
                t.path.assign(w.path, w.path + d);
                t.path.emplace_back(f.kids[k].dept, f.kids[k].place);
                t.lb = f.kids[k].lb;
                queue_.push_back(std::move(t));
            }
            queued_.store(static_cast<int>(queue_.size()));
        }
        f.end = f.next;
        wake_.notify_all();
        return;
    }
}

void Engine::Explore(Worker& w, int depth) {
    Frame& f = w.frames[depth];
    f.next = f.end = 0;
    if (stop_.load(std::memory_order_relaxed)) {
        w.stopped = true;
        Leave(w, depth);
        return;
    }
    if (f.lb > Best())
        return;
    if ((++w.nodes & 1023) == 0) {
        nodes_[w.index].store(w.nodes, std::memory_order_relaxed);
        frontier_[w.index].store(Frontier(w, depth), std::memory_order_relaxed);
    }
    if (control_.nodeLimit > 0 && w.nodes >= control_.nodeLimit) {
        std::lock_guard lock(mutex_);
        stop_.store(true);
        wake_.notify_all();
    }
    // Work for an idle thread, unless some already waits in the queue.
    if (hungry_.load(std::memory_order_relaxed) > 0 && queued_.load(std::memory_order_relaxed) == 0)
        Donate(w, depth);
    if (f.freeMoving == 0) {
        Leaf(f, -1, -1);
        return;
    }
    if (!Expand(f))
        return;
    while (f.next < f.end) {
        const Child k = f.kids[f.next++];
        if (k.lb > Best())
            break; // the rest are no lower
        if (f.freeMoving == 1) {
            Leaf(f, k.dept, k.place);
            continue;
        }
        Frame& g = w.frames[depth + 1];
        Assign(p_, orders_, f, g, k.dept, k.place);
        g.lb = k.lb;
        w.path[depth] = {k.dept, k.place};
        Explore(w, depth + 1);
        if (w.stopped)
            return;
    }
}

void Engine::Work(Worker& w) {
    for (;;) {
        Task t;
        {
            std::unique_lock lock(mutex_);
            frontier_[w.index].store(kInf);
            ++idle_;
            while (queue_.empty() && !finished_ && !stop_.load()) {
                if (idle_ == threads_) {
                    finished_ = true;
                    wake_.notify_all();
                    break;
                }
                hungry_.fetch_add(1);
                wake_.wait(lock);
                hungry_.fetch_sub(1);
            }
            if (queue_.empty() || stop_.load())
                return;
            --idle_;
            t = std::move(queue_.front());
            queue_.pop_front();
            queued_.store(static_cast<int>(queue_.size()));
            frontier_[w.index].store(t.lb);
        }
        w.frames[0] = root_;
        int depth = 0;
        for (const auto& [dept, place] : t.path) {
            Assign(p_, orders_, w.frames[depth], w.frames[depth + 1], dept, place);
            w.path[depth] = {dept, place};
            ++depth;
        }
        w.rootDepth = depth;
        w.frames[depth].lb = t.lb;
        Explore(w, depth);
        nodes_[w.index].store(w.nodes);
        if (w.stopped)
            return;
    }
}

double Engine::BoundNow() {
    std::lock_guard lock(mutex_);
    double low = Best();
    for (const Task& t : queue_)
        low = std::min(low, t.lb);
    for (const auto& f : frontier_)
        low = std::min(low, f.load());
    return low;
}

SearchResult Engine::Run() {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto seconds = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };

    // The root's own bound, so that a search stopped before any thread reached it still
    // reports one.
    root_ = RootFrame(p_);
    Task first;
    if (root_.freeMoving > 0) {
        BoundWork w;
        ComputeBound(p_, orders_, root_, w);
        first.lb = w.base - w.margin;
    } else {
        first.lb = -Margin(p_.scale, 0, 0, 0);
    }
    queue_.push_back(std::move(first));
    queued_.store(1);

    SearchEnd end = SearchEnd::Proven;
    const bool limited = control_.timeLimit > 0 && std::isfinite(control_.timeLimit);
    double lastReport = 0;
    std::vector<Worker> workers(threads_);
    std::vector<std::thread> running;
    {
        // Held until the first look at cancel: a search cancelled before it starts leaves the
        // root untouched.
        std::unique_lock lock(mutex_);
        for (int k = 0; k < threads_; ++k) {
            workers[k].index = k;
            running.emplace_back([this, &workers, k] { Work(workers[k]); });
        }
        // Cancel and the time limit are looked at often, from the start; progress as asked.
        for (bool waited = false;; waited = true) {
            if (waited)
                wake_.wait_for(lock, std::chrono::milliseconds(25));
            if (finished_ || stop_.load())
                break;
            const double now = seconds();
            if (control_.cancel && control_.cancel->load())
                end = SearchEnd::Cancelled;
            else if (limited && now >= control_.timeLimit)
                end = SearchEnd::TimeLimit;
            if (end != SearchEnd::Proven) {
                stop_.store(true);
                wake_.notify_all();
                break; // the workers unwind on their own
            }
            if (waited && control_.progress && now - lastReport >= control_.progressInterval) {
                lastReport = now;
                lock.unlock();
                SearchProgress pr;
                pr.bound = BoundNow();
                pr.best = Best();
                for (const auto& n : nodes_)
                    pr.nodes += n.load();
                pr.seconds = now;
                control_.progress(pr);
                lock.lock();
            }
        }
    }
    for (std::thread& t : running)
        t.join();

    SearchResult result;
    bool interrupted = !queue_.empty();
    double low = kInf;
    for (const Task& t : queue_)
        low = std::min(low, OpenBound(t));
    for (const Worker& w : workers) {
        result.nodes += w.nodes;
        interrupted = interrupted || w.stopped;
        for (const Task& t : w.open)
            low = std::min(low, OpenBound(t));
    }
    result.best = best_;
    result.seconds = seconds();
    low = std::min(low, best_.activity);
    if (interrupted) {
        result.end = end == SearchEnd::Proven ? SearchEnd::Cancelled : end;
        result.bound = low;
    } else {
        result.end = SearchEnd::Proven;
        result.bound = best_.activity;
    }
    return result;
}

} // namespace

SearchResult Search(const Problem& p, const Candidate& start, const SearchControl& control) {
    Engine engine(p, control, start);
    return engine.Run();
}

double NodeBound(const Problem& p, const Layout& placeOf) {
    const Orders o = MakeOrders(p);
    Frame f = RootFrame(p), g;
    for (int d = 0; d < p.n; ++d)
        if (placeOf[d] >= 0) {
            Assign(p, o, f, g, d, placeOf[d]);
            f = g;
        }
    if (f.freeMoving == 0)
        return f.fixed - Margin(p.scale, 0, 0, 0);
    BoundWork w;
    ComputeBound(p, o, f, w);
    return w.base - w.margin;
}

} // namespace davrenta::qap
