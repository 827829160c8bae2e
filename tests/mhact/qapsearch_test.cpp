#include "mhact/qapsearch.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace davrenta::qap {
namespace {

constexpr Metric kMethods[] = {Metric::Rectilinear, Metric::Euclidean, Metric::SquaredEuclidean};

Problem RandomProblem(std::mt19937& rng, int n, Metric method, bool negatives) {
    std::uniform_real_distribution<double> coord(0, 50);
    std::uniform_int_distribution<int> pick(0, 9), load(1, 30);
    double x[kMax], y[kMax], upper[kMax][kMax] = {};
    for (int d = 0; d < n; ++d) {
        const bool share = d > 0 && pick(rng) == 0;
        x[d] = share ? x[d - 1] : std::round(coord(rng) * 4) / 4;
        y[d] = share ? y[d - 1] : std::round(coord(rng) * 4) / 4;
        for (int b = 0; b < d; ++b)
            if (pick(rng) < 4)
                upper[b][d] = load(rng) * (negatives && pick(rng) < 3 ? -0.5 : 1.0);
    }
    Problem p;
    EXPECT_TRUE(MakeProblem(n, x, y, upper, method, p));
    return p;
}

// Every way of putting the free departments on the free places.
template <typename Visit> void EachCompletion(const Problem& p, Layout partial, Visit visit) {
    std::vector<int> freeDepts, freePlaces;
    std::vector<bool> taken(p.n, false);
    for (int d = 0; d < p.n; ++d)
        if (partial[d] >= 0)
            taken[partial[d]] = true;
        else
            freeDepts.push_back(d);
    for (int q = 0; q < p.n; ++q)
        if (!taken[q])
            freePlaces.push_back(q);
    do {
        for (std::size_t k = 0; k < freeDepts.size(); ++k)
            partial[freeDepts[k]] = static_cast<std::int8_t>(freePlaces[k]);
        visit(partial);
    } while (std::next_permutation(freePlaces.begin(), freePlaces.end()));
}

TEST(LayoutBound, NeverAboveTheActivityOfAnyLayoutBelowTheNode) {
    std::mt19937 rng(77);
    for (const Metric method : kMethods)
        for (int k = 0; k < 60; ++k) {
            const int n = 2 + k % 6;
            const Problem p = RandomProblem(rng, n, method, k % 5 == 0);
            // A random partial layout: some departments already on random places.
            std::vector<int> places(n);
            std::iota(places.begin(), places.end(), 0);
            std::shuffle(places.begin(), places.end(), rng);
            Layout partial;
            partial.fill(-1);
            const int placed = static_cast<int>(rng() % n);
            for (int d = 0; d < placed; ++d)
                partial[(d * 5 + k) % n] = static_cast<std::int8_t>(places[d]);
            const double bound = NodeBound(p, partial);
            EachCompletion(p, partial, [&](const Layout& l) {
                EXPECT_LE(bound, Activity(p, l))
                    << "method " << MetricCode(method) << ", problem " << k;
            });
            // With every department placed the bound is the activity, less a rounding margin.
            Layout full = partial;
            EachCompletion(p, partial, [&](const Layout& l) { full = l; });
            const double exact = Activity(p, full);
            EXPECT_LE(NodeBound(p, full), exact);
            EXPECT_GE(NodeBound(p, full), exact - 1e-9 * (1 + p.scale));
        }
}

// The Gilmore-Lawler bound computed plainly: for department i on place s, half the least sum of
// its moves times the distances from s, over every way of putting its partners on the other
// places; then the least assignment, over every permutation.
double PlainGilmoreLawler(const Problem& p) {
    const int n = p.n;
    std::vector<std::vector<double>> cost(n, std::vector<double>(n));
    for (int i = 0; i < n; ++i)
        for (int s = 0; s < n; ++s) {
            std::vector<int> others;
            for (int q = 0; q < n; ++q)
                if (q != s)
                    others.push_back(q);
            std::vector<int> partners;
            for (int j = 0; j < n; ++j)
                if (j != i)
                    partners.push_back(j);
            double least = INFINITY;
            do {
                double sum = 0;
                for (std::size_t k = 0; k < partners.size(); ++k)
                    sum += p.F[i][partners[k]] * p.D[s][others[k]];
                least = std::min(least, sum);
            } while (std::next_permutation(others.begin(), others.end()));
            cost[i][s] = least / 2;
        }
    std::vector<int> perm(n);
    std::iota(perm.begin(), perm.end(), 0);
    double best = INFINITY;
    do {
        double sum = 0;
        for (int i = 0; i < n; ++i)
            sum += cost[i][perm[i]];
        best = std::min(best, sum);
    } while (std::next_permutation(perm.begin(), perm.end()));
    return best;
}

TEST(LayoutBound, AtTheRootAtLeastTheGilmoreLawlerBound) {
    std::mt19937 rng(5);
    for (const Metric method : kMethods)
        for (int k = 0; k < 12; ++k) {
            const int n = 3 + k % 4;
            const Problem p = RandomProblem(rng, n, method, k % 3 == 0);
            Layout none;
            none.fill(-1);
            const double plain = PlainGilmoreLawler(p);
            EXPECT_GE(NodeBound(p, none), plain - 1e-9 * (1 + p.scale))
                << "method " << MetricCode(method) << ", problem " << k;
        }
}

// Started from the current layout rather than a good one, so that the search itself must find
// the best and settle ties: against every permutation, on places with many equal distances.
TEST(LayoutSearch, FromTheCurrentLayoutFindsTheFirstOfTheBestOnOneOrTwoThreads) {
    std::mt19937 rng(31);
    std::uniform_int_distribution<int> cell(0, 2), pick(0, 9), load(1, 3);
    for (const Metric method : kMethods)
        for (int k = 0; k < 30; ++k) {
            const int n = 3 + k % 5;
            double x[kMax], y[kMax], upper[kMax][kMax] = {};
            for (int d = 0; d < n; ++d) {
                x[d] = 10.0 * cell(rng);
                y[d] = 10.0 * cell(rng);
                for (int b = 0; b < d; ++b)
                    if (pick(rng) < 5)
                        upper[b][d] = load(rng);
            }
            Problem p;
            ASSERT_TRUE(MakeProblem(n, x, y, upper, method, p));
            std::vector<int> perm(n);
            std::iota(perm.begin(), perm.end(), 0);
            Candidate plain;
            bool first = true;
            do {
                Candidate c;
                for (int d = 0; d < n; ++d)
                    c.placeOf[d] = static_cast<std::int8_t>(perm[d]);
                c.activity = Activity(p, c.placeOf);
                if (first || c.activity < plain.activity) {
                    plain = c;
                    first = false;
                }
            } while (std::next_permutation(perm.begin(), perm.end()));

            Candidate start{Identity(n), 0};
            start.activity = Activity(p, start.placeOf);
            for (int threads : {1, 2}) {
                SearchControl control;
                control.threads = threads;
                const SearchResult r = Search(p, start, control);
                ASSERT_EQ(r.end, SearchEnd::Proven);
                EXPECT_EQ(r.best.activity, plain.activity) << "problem " << k;
                for (int d = 0; d < n; ++d)
                    EXPECT_EQ(r.best.placeOf[d], plain.placeOf[d])
                        << "method " << MetricCode(method) << ", problem " << k << ", department "
                        << d << ", threads " << threads;
            }
        }
}

TEST(LayoutSearch, FirstOfEqualLayoutsKeepsSharedPlacesAndIdleDepartmentsInOrder) {
    // Places 0 and 2 share a location; department 1 has no moves.
    const double x[] = {0, 5, 0, 9}, y[] = {1, 1, 1, 1};
    double upper[kMax][kMax] = {};
    upper[0][2] = 4;
    upper[2][3] = 1;
    Problem p;
    ASSERT_TRUE(MakeProblem(4, x, y, upper, Metric::Rectilinear, p));
    EXPECT_TRUE(p.idle[1]);
    EXPECT_EQ(p.placeClass[2], 0);
    // Departments 0 and 2 trade the shared location's two places back into order; department 1
    // takes the first place no department with moves needs.
    const Layout l = Canonical(p, Layout{2, -1, 0, 1});
    EXPECT_EQ((std::vector<int>(l.begin(), l.begin() + 4)), (std::vector<int>{0, 3, 2, 1}));

    Candidate start{Identity(4), 0};
    start.activity = Activity(p, start.placeOf);
    EXPECT_EQ(start.activity, 9);
    for (int threads : {1, 2}) {
        SearchControl control;
        control.threads = threads;
        const SearchResult r = Search(p, start, control);
        EXPECT_EQ(r.end, SearchEnd::Proven);
        // 0 and 2 share a location (0 apart), 3 next to them at 5: 1 x 5.
        EXPECT_EQ(r.best.activity, 5);
        EXPECT_EQ(r.bound, 5);
        EXPECT_EQ((std::vector<int>(r.best.placeOf.begin(), r.best.placeOf.begin() + 4)),
                  (std::vector<int>{0, 3, 2, 1}));
    }
}

TEST(LayoutSearch, CancelledBeforeItStartsReportsTheRootBoundNotMinusInfinity) {
    std::mt19937 rng(8);
    const Problem p = RandomProblem(rng, 9, Metric::Euclidean, false);
    Candidate start{Identity(p.n), 0};
    start.activity = Activity(p, start.placeOf);
    std::atomic<bool> cancel{true};
    SearchControl control;
    control.cancel = &cancel;
    control.threads = 2;
    const SearchResult r = Search(p, start, control);
    Layout none;
    none.fill(-1);
    EXPECT_EQ(r.end, SearchEnd::Cancelled);
    // At least the root's own bound (one level down it may be more), never above a layout.
    EXPECT_GE(r.bound, NodeBound(p, none));
    EXPECT_LE(r.bound, r.best.activity);
    EXPECT_EQ(r.best.activity, start.activity);
    EXPECT_EQ(r.nodes, 0);
}

// Stopped after a given number of bounds, wherever that falls: the bound it reports is never
// above the best activity of all, and the layout it reports is whole and has the activity said.
TEST(LayoutSearch, StoppedAnywhereTheBoundStaysBelowTheOptimum) {
    std::mt19937 rng(12);
    int stopped = 0;
    for (const Metric method : kMethods)
        for (int k = 0; k < 6; ++k) {
            const int n = 7 + k % 2;
            const Problem p = RandomProblem(rng, n, method, false);
            std::vector<int> perm(n);
            std::iota(perm.begin(), perm.end(), 0);
            double optimum = INFINITY;
            do {
                Layout l;
                for (int d = 0; d < n; ++d)
                    l[d] = static_cast<std::int8_t>(perm[d]);
                optimum = std::min(optimum, Activity(p, l));
            } while (std::next_permutation(perm.begin(), perm.end()));
            Candidate start{Identity(n), 0};
            start.activity = Activity(p, start.placeOf);
            for (long long limit : {1, 2, 3, 5, 8, 13, 21}) {
                SearchControl control;
                control.nodeLimit = limit;
                const SearchResult r = Search(p, start, control);
                EXPECT_LE(r.bound, optimum) << "problem " << k << ", limit " << limit;
                EXPECT_LE(optimum, r.best.activity);
                EXPECT_EQ(r.best.activity, Activity(p, r.best.placeOf));
                std::vector<int> places(r.best.placeOf.begin(), r.best.placeOf.begin() + n);
                std::sort(places.begin(), places.end());
                for (int q = 0; q < n; ++q)
                    EXPECT_EQ(places[q], q);
                if (r.end != SearchEnd::Proven) {
                    ++stopped;
                    EXPECT_EQ(r.end, SearchEnd::Cancelled);
                } else {
                    EXPECT_EQ(r.bound, optimum);
                }
            }
        }
    // Most of these searches end early; a few small ones may finish first.
    EXPECT_GT(stopped, 60);
}

} // namespace
} // namespace davrenta::qap
