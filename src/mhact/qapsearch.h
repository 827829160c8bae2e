#pragma once

#include <atomic>
#include <functional>

#include "mhact/qap.h"

namespace davrenta::qap {

// What the search has reached: the best activity found, a bound no layout's activity is below,
// and the work done.
struct SearchProgress {
    double best = 0;
    double bound = 0;
    long long nodes = 0;
    double seconds = 0;
};

struct SearchControl {
    const std::atomic<bool>* cancel = nullptr;
    double timeLimit = 0;    // seconds; 0 or less: none
    long long nodeLimit = 0; // bounds a thread computes before the search stops; 0: none
    int threads = 1;
    // Called from the thread that runs Search, every progressInterval seconds.
    std::function<void(const SearchProgress&)> progress;
    double progressInterval = 0.25;
};

// A search stopped by its node limit ends as Cancelled.
enum class SearchEnd { Proven, TimeLimit, Cancelled };

struct SearchResult {
    SearchEnd end = SearchEnd::Proven;
    // The first layout of least activity (Canonical, Earlier) when proven; else the best found.
    Candidate best;
    // Every layout's activity, as Activity computes it, is at least this; best.activity when
    // proven.
    double bound = 0;
    long long nodes = 0;
    double seconds = 0;
};

// Branch and bound from a known layout (whose activity prunes from the start). The result of a
// finished search does not depend on the number of threads.
SearchResult Search(const Problem& p, const Candidate& start, const SearchControl& control);

// The bound the search prunes with, for the layouts that keep the placed departments of placeOf
// (-1: free) where they are: their activities, as Activity computes them, are all at least this.
double NodeBound(const Problem& p, const Layout& placeOf);

} // namespace davrenta::qap
