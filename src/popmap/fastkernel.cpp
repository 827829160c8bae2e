#include "popmap/fastkernel.h"

#include <algorithm>
#include <cstring>

namespace davrenta::fastsearch_detail {

namespace {

// Two doubles; the compiler maps it to the target's vector registers (SSE2 on any x86-64).
// Every operation on it is the IEEE operation on each element, as in scalar code.
typedef double Pair __attribute__((vector_size(16)));
constexpr int kPairs = kKernelLanes / 2;

Pair Both(double x) {
    return Pair{x, x};
}

// The part of a group's evaluation that differs from lane to lane; the tail after k1 adds the
// ceiling's terms only.
struct Group {
    int first = 0, lanes = 0, k1 = 0;
    double travel[kKernelLanes] = {}, maxDistance[kKernelLanes] = {}, served[kKernelLanes] = {};
};

// The cells of [k0, k1) for the group's lanes, in vectors V of doubles. Lane q is the
// candidate one column to the right of lane q - 1, so its distance to a cell is the next
// entry of the mirrored table; lanes past the end of the line read padding or other entries
// and are dropped.
template <typename V>
inline __attribute__((always_inline)) void ReachLoop(const Grid& g, const Cap& cap, int k0, int k1,
                                                     Group& group) {
    constexpr int W = static_cast<int>(sizeof(V) / sizeof(double));
    constexpr int N = kKernelLanes / W;
    const int base = g.candMirror[static_cast<std::size_t>(group.first)];
    const double* mirror = g.mirror.data();
    V travel[N], maxDistance[N], served[N], zero;
    for (int e = 0; e < W; ++e)
        zero[e] = 0.0;
    for (int i = 0; i < N; ++i) {
        for (int e = 0; e < W; ++e) {
            travel[i][e] = cap.prefixSum[static_cast<std::size_t>(k0)];
            maxDistance[i][e] = cap.prefixMax[static_cast<std::size_t>(k0)];
        }
        served[i] = zero;
    }
    for (int k = k0; k < k1; ++k) {
        V ceiling, p;
        for (int e = 0; e < W; ++e) {
            ceiling[e] = cap.value[static_cast<std::size_t>(k)];
            p[e] = g.pop[static_cast<std::size_t>(k)];
        }
        const double* row = mirror + g.cellMirror[static_cast<std::size_t>(k)] + base;
#pragma GCC unroll 8
        for (int i = 0; i < N; ++i) {
            V d;
            std::memcpy(&d, row + W * i, sizeof d);
            const auto nearer = d < ceiling;
            const V v = nearer ? d : ceiling;
            travel[i] += p * v;
            maxDistance[i] = v > maxDistance[i] ? v : maxDistance[i];
            // Adding 0 leaves a sum that started at +0 unchanged, as skipping the cell does.
            served[i] += nearer ? p : zero;
        }
    }
    for (int i = 0; i < N; ++i) {
        std::memcpy(group.travel + W * i, &travel[i], sizeof(V));
        std::memcpy(group.maxDistance + W * i, &maxDistance[i], sizeof(V));
        std::memcpy(group.served + W * i, &served[i], sizeof(V));
    }
}

void ReachPortable(const Grid& g, const Cap& cap, int k0, int k1, Group& group) {
    ReachLoop<Pair>(g, cap, k0, k1, group);
}

#if DAVRENTA_WIDE_KERNEL
typedef double Quad __attribute__((vector_size(32)));

__attribute__((target("avx2"))) void ReachWide(const Grid& g, const Cap& cap, int k0, int k1,
                                               Group& group) {
    ReachLoop<Quad>(g, cap, k0, k1, group);
}
#endif

void Reach(const Grid& g, const Cap& cap, Group& group) {
    const int K = g.K;
    // Cells outside every lane's reach take the ceiling's terms, whichever lane adds them.
    int k0 = K, k1 = 0;
    for (int q = 0; q < group.lanes; ++q) {
        const auto c = static_cast<std::size_t>(group.first + q);
        if (cap.reachBegin[c] < cap.reachEnd[c]) {
            k0 = std::min(k0, cap.reachBegin[c]);
            k1 = std::max(k1, cap.reachEnd[c]);
        }
    }
    if (k0 >= k1)
        k0 = k1 = K;
    group.k1 = k1;
#if DAVRENTA_WIDE_KERNEL
    if (g.wide) {
        ReachWide(g, cap, k0, k1, group);
        return;
    }
#endif
    ReachPortable(g, cap, k0, k1, group);
}

void Store(const Cap& cap, const Group& group, SingleResults& out) {
    const double tail = cap.suffixMax[group.k1];
    for (int q = 0; q < group.lanes; ++q) {
        const auto c = static_cast<std::size_t>(group.first + q);
        const double m = group.maxDistance[q];
        out.travel[c] = group.travel[q];
        out.maxDistance[c] = tail > m ? tail : m;
        out.served[c] = group.served[q];
    }
}

} // namespace

void EvaluateCandidates(const Grid& g, const Cap& cap, int first, int end, SingleResults& out) {
    const int K = g.K;
    // Eight candidates of one line at a time, and the tails of two such groups together:
    // sixteen independent running sums hide the latency of the additions, each of which
    // stays in cell order.
    for (int c = first; c < end; c += 2 * kKernelLanes) {
        Group a, b;
        a.first = c;
        a.lanes = std::min(kKernelLanes, end - c);
        b.first = c + kKernelLanes;
        b.lanes = std::max(0, std::min(kKernelLanes, end - b.first));
        Reach(g, cap, a);
        if (b.lanes > 0)
            Reach(g, cap, b);
        else
            b.k1 = K;
        // The group whose reach ends first catches up alone, then both run to the end.
        Group& early = a.k1 <= b.k1 ? a : b;
        Group& late = a.k1 <= b.k1 ? b : a;
        const int join = late.k1;
        Pair x[kPairs], y[kPairs];
        std::memcpy(x, early.travel, sizeof x);
        std::memcpy(y, late.travel, sizeof y);
        for (int k = early.k1; k < join; ++k) {
            const Pair t = Both(cap.term[k]);
#pragma GCC unroll 8
            for (int i = 0; i < kPairs; ++i)
                x[i] += t;
        }
        for (int k = join; k < K; ++k) {
            const Pair t = Both(cap.term[k]);
#pragma GCC unroll 8
            for (int i = 0; i < kPairs; ++i) {
                x[i] += t;
                y[i] += t;
            }
        }
        std::memcpy(early.travel, x, sizeof x);
        std::memcpy(late.travel, y, sizeof y);
        Store(cap, a, out);
        if (b.lanes > 0)
            Store(cap, b, out);
    }
}

bool WideVectorsAvailable() {
#if DAVRENTA_WIDE_KERNEL
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
#else
    return false;
#endif
}

} // namespace davrenta::fastsearch_detail
