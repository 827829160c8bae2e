#include "mhact/qap.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "mhact/activity.h"

namespace davrenta::qap {

bool MakeProblem(int n, const double* x, const double* y, const double (*upper)[kMax],
                 Metric method, Problem& p) {
    p = Problem{};
    p.n = std::clamp(n, 0, kMax);
    double longest = 0;
    for (int a = 0; a < p.n; ++a)
        for (int b = 0; b < p.n; ++b) {
            p.D[a][b] = Distance(method, x[a], y[a], x[b], y[b]);
            if (!std::isfinite(p.D[a][b]))
                return false;
            longest = std::max(longest, p.D[a][b]);
        }
    double moves = 0;
    for (int a = 0; a < p.n; ++a)
        for (int b = a + 1; b < p.n; ++b) {
            const double f = upper[a][b];
            if (!std::isfinite(f))
                return false;
            p.F[a][b] = p.F[b][a] = f;
            moves += std::fabs(f);
        }
    p.scale = moves * longest;
    // The margins multiply the scale by a few thousand at most.
    if (!std::isfinite(p.scale * 1e6))
        return false;
    for (int a = 0; a < p.n; ++a) {
        p.placeClass[a] = a;
        for (int b = 0; b < a; ++b)
            if (x[b] == x[a] && y[b] == y[a]) {
                p.placeClass[a] = p.placeClass[b];
                break;
            }
        p.idle[a] = true;
        for (int b = 0; b < p.n; ++b)
            if (p.F[a][b] != 0)
                p.idle[a] = false;
    }
    return true;
}

double Activity(const Problem& p, const Layout& placeOf) {
    // A pair without moves adds nothing, however far apart (the computation's Load); adding a
    // zero leaves the sum's bits as they are, so such pairs are skipped.
    double total = 0;
    for (int a = 0; a < p.n; ++a)
        for (int b = a + 1; b < p.n; ++b)
            if (p.F[a][b] != 0)
                total += p.F[a][b] * p.D[placeOf[a]][placeOf[b]];
    return total;
}

Layout Canonical(const Problem& p, const Layout& placeOf) {
    // Slots of each location left for departments without moves.
    int spare[kMax] = {};
    for (int q = 0; q < p.n; ++q)
        ++spare[p.placeClass[q]];
    for (int d = 0; d < p.n; ++d)
        if (!p.idle[d])
            --spare[p.placeClass[placeOf[d]]];
    bool used[kMax] = {};
    Layout out{};
    // Department by department, the lowest place it may take: a department with moves stays
    // at its location, one without takes any location with a slot to spare.
    for (int d = 0; d < p.n; ++d) {
        for (int q = 0; q < p.n; ++q) {
            if (used[q])
                continue;
            const int c = p.placeClass[q];
            if (p.idle[d] ? spare[c] > 0 : c == p.placeClass[placeOf[d]]) {
                if (p.idle[d])
                    --spare[c];
                used[q] = true;
                out[d] = static_cast<std::int8_t>(q);
                break;
            }
        }
    }
    return out;
}

bool Earlier(const Problem& p, const Layout& a, const Layout& b) {
    for (int d = 0; d < p.n; ++d)
        if (a[d] != b[d])
            return a[d] < b[d];
    return false;
}

Layout Identity(int n) {
    Layout l{};
    for (int d = 0; d < n; ++d)
        l[d] = static_cast<std::int8_t>(d);
    return l;
}

bool Better(const Problem& p, const Candidate& a, const Candidate& b) {
    if (a.activity != b.activity)
        return a.activity < b.activity;
    return Earlier(p, a.placeOf, b.placeOf);
}

namespace {

// splitmix64: small, and the same sequence on every machine.
struct Random {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int k) { return static_cast<int>(next() % static_cast<std::uint64_t>(k)); }
};

// Best exchange of two departments until none lowers the activity by more than rounding.
void Descend(const Problem& p, Layout& at) {
    const int n = p.n;
    const double noise = 1e-12 * p.scale;
    for (;;) {
        double bestDelta = -noise;
        int ba = -1, bb = -1;
        for (int a = 0; a < n; ++a)
            for (int b = a + 1; b < n; ++b) {
                if (p.idle[a] && p.idle[b])
                    continue;
                const int pa = at[a], pb = at[b];
                double delta = 0;
                for (int k = 0; k < n; ++k) {
                    if (k == a || k == b)
                        continue;
                    const int pk = at[k];
                    delta += (p.F[a][k] - p.F[b][k]) * (p.D[pb][pk] - p.D[pa][pk]);
                }
                if (delta < bestDelta) {
                    bestDelta = delta;
                    ba = a;
                    bb = b;
                }
            }
        if (ba < 0)
            return;
        std::swap(at[ba], at[bb]);
    }
}

} // namespace

Candidate LocalSearch(const Problem& p, const Candidate& start, int starts, std::uint64_t seed) {
    Candidate best = start;
    best.placeOf = Canonical(p, start.placeOf);
    best.activity = Activity(p, best.placeOf);
    Random random{seed};
    for (int s = 0; s <= starts; ++s) {
        Layout at = start.placeOf;
        if (s > 0)
            for (int k = p.n - 1; k > 0; --k)
                std::swap(at[k], at[random.below(k + 1)]);
        Descend(p, at);
        Candidate c;
        c.placeOf = Canonical(p, at);
        c.activity = Activity(p, c.placeOf);
        if (Better(p, c, best))
            best = c;
    }
    return best;
}

} // namespace davrenta::qap
