#include "popmap/fastgrid.h"

#include <algorithm>
#include <limits>
#include <system_error>
#include <thread>

#include "state/modulestate.h"

namespace davrenta::fastsearch_detail {

Grid MakeGrid(const ModuleState& state) {
    const PopMap& fl = state.fl;
    Grid g;
    g.method = state.DistanceMethod;
    g.lastLine = LastMapLine(fl);

    g.dist.resize(static_cast<std::size_t>(kLineSpan) * kColumnSpan);
    for (int dl = -(kMapLines - 1); dl <= kMapLines - 1; ++dl) {
        double smallest = std::numeric_limits<double>::infinity();
        for (int dc = -(kMapColumns - 1); dc <= kMapColumns - 1; ++dc) {
            const double d = PodDistance(g.method, dl, dc);
            g.dist[static_cast<std::size_t>((dl + kMapLines - 1) * kColumnSpan + dc + kMapColumns - 1)] = d;
            smallest = std::min(smallest, d);
        }
        g.rowMin[static_cast<std::size_t>(dl + kMapLines - 1)] = smallest;
    }

    // Only one-character symbols can match a cell.
    std::array<bool, 256> isArea{};
    for (int a = 1; a <= fl.AreaCount; ++a)
        if (fl.AreaSymbol[a].size() == 1)
            isArea[static_cast<unsigned char>(fl.AreaSymbol[a][0])] = true;

    const int n = fl.ExistingPodCount;
    for (int i = 1; i <= g.lastLine; ++i) {
        g.candLineStart[i] = g.C;
        g.cellLineStart[i] = g.K;
        const int cells = CellsInLine(fl, i);
        for (int j = 1; j <= cells; ++j) {
            g.candLine.push_back(i);
            g.candColumn.push_back(j);
            g.candBase.push_back((kMapLines - 1 - i) * kColumnSpan + (kMapColumns - 1 - j));
            ++g.C;
            if (!isArea[static_cast<unsigned char>(fl.MapLine[i][j - 1])])
                continue;
            g.cellLine.push_back(i);
            g.cellColumn.push_back(j);
            g.cellOffset.push_back(i * kColumnSpan + j);
            g.pop.push_back(fl.CellPopulation(i, j));
            // The existing PODs exactly as the assignment rule meets them; they may lie
            // anywhere, so their distances come from the formula.
            double minimum = kBigValue;
            char label = 0;
            for (int k = 1; k <= n; ++k) {
                const double d = PodDistance(g.method, i - fl.PodLine[k], j - fl.PodColumn[k]);
                if (d < minimum) {
                    minimum = d;
                    label = fl.PodSymbol[k][0];
                }
            }
            g.prior.push_back(minimum);
            g.priorLabel.push_back(label);
            ++g.K;
        }
    }
    g.candLineStart[g.lastLine + 1] = g.C;
    g.cellLineStart[g.lastLine + 1] = g.K;
    return g;
}

Cap MakeCap(const Grid& g, std::vector<double> value) {
    Cap cap;
    const int K = g.K;
    cap.value = std::move(value);
    cap.term.resize(K);
    cap.prefixSum.assign(K + 1, 0.0);
    cap.prefixMax.assign(K + 1, 0.0);
    cap.suffixMax.assign(K + 1, 0.0);
    for (int k = 0; k < K; ++k) {
        cap.term[k] = g.pop[k] * cap.value[k];
        cap.prefixSum[k + 1] = cap.prefixSum[k] + cap.term[k];
        cap.prefixMax[k + 1] = cap.value[k] > cap.prefixMax[k] ? cap.value[k] : cap.prefixMax[k];
    }
    for (int k = K - 1; k >= 0; --k)
        cap.suffixMax[k] = cap.value[k] > cap.suffixMax[k + 1] ? cap.value[k] : cap.suffixMax[k + 1];
    cap.max = cap.prefixMax[K];

    // A POD on line lc can come strictly below the ceiling only on lines whose nearest
    // possible distance is below the largest ceiling.
    for (int lc = 1; lc <= g.lastLine; ++lc) {
        int lo = 0, hi = -1;
        for (int l = 1; l <= g.lastLine; ++l) {
            if (g.rowMin[static_cast<std::size_t>(l - lc + kMapLines - 1)] < cap.max) {
                if (lo == 0)
                    lo = l;
                hi = l;
            }
        }
        int begin = K, end = K;
        if (lo != 0) {
            begin = g.cellLineStart[lo];
            end = g.cellLineStart[hi + 1];
            if (begin == end)
                begin = end = K;
        }
        cap.reachBegin[lc] = begin;
        cap.reachEnd[lc] = end;
    }
    return cap;
}

void EvaluateCandidates(const Grid& g, const Cap& cap, int first, int end, SingleResults& out) {
    if (first >= end)
        return;
    const int line = g.candLine[first];
    const int k0 = cap.reachBegin[line];
    const int k1 = cap.reachEnd[line];
    const int K = g.K;
    const double* dist = g.dist.data();
    constexpr int kLanes = 4;
    // Four candidates at a time: four independent running sums hide the latency of the
    // additions, each of which stays in cell order.
    for (int c = first; c < end; c += kLanes) {
        int base[kLanes];
        double travel[kLanes], maxDistance[kLanes], served[kLanes];
        for (int q = 0; q < kLanes; ++q) {
            base[q] = g.candBase[std::min(c + q, end - 1)];
            travel[q] = cap.prefixSum[k0];
            maxDistance[q] = cap.prefixMax[k0];
            served[q] = 0;
        }
        for (int k = k0; k < k1; ++k) {
            const double ceiling = cap.value[k];
            const double p = g.pop[k];
            const double* row = dist + g.cellOffset[k];
            for (int q = 0; q < kLanes; ++q) {
                const double d = row[base[q]];
                const bool nearer = d < ceiling;
                const double v = nearer ? d : ceiling;
                travel[q] += p * v;
                if (v > maxDistance[q])
                    maxDistance[q] = v;
                // Adding 0 leaves a sum that started at +0 unchanged, as skipping the cell does.
                served[q] += nearer ? p : 0.0;
            }
        }
        for (int k = k1; k < K; ++k) {
            const double t = cap.term[k];
            for (int q = 0; q < kLanes; ++q)
                travel[q] += t;
        }
        for (int q = 0; q < kLanes && c + q < end; ++q) {
            const double tail = cap.suffixMax[k1];
            out.travel[c + q] = travel[q];
            out.maxDistance[c + q] = tail > maxDistance[q] ? tail : maxDistance[q];
            out.served[c + q] = served[q];
        }
    }
}

void BuildServiceMap(const PopMap& fl, const Grid& g, int a, int b, Table1<std::string, kMapLines>& map) {
    for (int i = 1; i <= g.lastLine; ++i)
        map[i] = fl.MapLine[i];
    for (int k = 0; k < g.K; ++k) {
        double minimum = g.prior[k];
        char label = g.priorLabel[k];
        const double da = g.Distance(a, k);
        if (da < minimum) {
            minimum = da;
            label = '*';
        }
        if (b >= 0 && g.Distance(b, k) < minimum)
            label = '@';
        if (label != 0)
            map[g.cellLine[k]][g.cellColumn[k] - 1] = label;
    }
}

Pool::Pool(int threads, const SearchControl& control) : threads_(std::max(1, threads)), control_(control) {}

bool Pool::Stopping() const {
    return stop_.load(std::memory_order_relaxed) || control_.cancelled();
}

void Pool::Complete(int item, const std::vector<int>* steps, bool report, int reportTotal) {
    std::lock_guard<std::mutex> lock(mutex_);
    done_[item] = 1;
    const int count = static_cast<int>(done_.size());
    while (watermark_ < count && done_[watermark_]) {
        const int itemSteps = steps ? (*steps)[watermark_] : 1;
        for (int s = 0; s < itemSteps; ++s) {
            // The reference looks at the flag before each candidate, so a cancel set by one
            // progress call means no further call.
            if (control_.cancelled()) {
                stop_ = true;
                return;
            }
            ++reported_;
            if (report && control_.progress)
                control_.progress(reported_, reportTotal);
        }
        ++watermark_;
    }
}

bool Pool::Run(int count, const std::vector<int>* steps, bool report, int reportTotal,
               const std::function<void(int item, int worker)>& body) {
    done_.assign(static_cast<std::size_t>(std::max(count, 0)), 0);
    watermark_ = 0;
    reported_ = 0;
    next_ = 0;
    stop_ = false;
    error_ = nullptr;

    auto work = [&](int worker) {
        try {
            for (;;) {
                if (Stopping())
                    return;
                const int item = next_.fetch_add(1);
                if (item >= count)
                    return;
                body(item, worker);
                if (Stopping())
                    return;  // an item cut short is not complete
                Complete(item, steps, report, reportTotal);
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!error_)
                error_ = std::current_exception();
            stop_ = true;
        }
    };

    std::vector<std::thread> helpers;
    const int wanted = std::min(threads_, std::max(count, 1)) - 1;
    for (int w = 1; w <= wanted; ++w) {
        try {
            helpers.emplace_back(work, w);
        } catch (const std::system_error&) {
            break;  // fewer threads only make the run slower
        }
    }
    work(0);
    for (auto& t : helpers)
        t.join();
    if (error_)
        std::rethrow_exception(error_);
    return watermark_ == count && !stop_.load();
}

int ResolveThreads(int requested) {
    if (requested <= 0) {
        const unsigned cores = std::thread::hardware_concurrency();
        requested = cores == 0 ? 1 : static_cast<int>(cores);
    }
    return std::clamp(requested, 1, 64);
}

} // namespace davrenta::fastsearch_detail
