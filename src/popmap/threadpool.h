#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "popmap/search.h"

namespace davrenta::fastsearch_detail {

// Hands out items 0..count-1 in increasing order to the calling thread and up to threads-1
// helper threads, which the pool starts once and keeps until it is destroyed. Each item owns
// a number of progress steps; the steps are reported in item order, serialized under a lock,
// from whichever thread completes the lowest unfinished item, so the caller sees
// done = 1, 2, ... total exactly as a sequential search reports them. A cancel seen before a
// step stops the run; so does an exception, which Run rethrows on the calling thread.
class Pool {
  public:
    Pool(int threads, const SearchControl& control);
    ~Pool();
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    // body(item, worker) for every item; worker is 0..threads-1 and indexes per-thread
    // scratch. steps == nullptr gives every item one step; reportTotal is what the progress
    // callback receives as its total, and reporting may be switched off for work that the
    // reference does not count. Returns false when the run was stopped before every step was
    // reported.
    bool Run(int count, const std::vector<int>* steps, bool report, int reportTotal,
             const std::function<void(int item, int worker)>& body);

    // Runs task on a helper thread while the caller goes on (on the caller at once when the
    // pool has no helper). Wait() returns when it is done and rethrows what it threw; every
    // other run, and the destructor, waits for it first.
    void Background(std::function<void()> task);
    void Wait();

    // For long items: true once the run should end.
    bool Stopping() const;
    int Threads() const { return threads_; }
    int Reported() const { return reported_; }

  private:
    struct Job {
        int count = 0;
        const std::vector<int>* steps = nullptr;
        bool report = false;
        int reportTotal = 0;
        const std::function<void(int, int)>* body = nullptr;
    };

    void Start(const Job& job);
    void Work(int worker);
    void Helper(int worker);
    void Complete(int item);

    int threads_;
    const SearchControl& control_;
    Job job_;
    std::mutex mutex_; // progress and errors
    std::vector<char> done_;
    int watermark_ = 0;
    int reported_ = 0;
    std::atomic<int> next_{0};
    std::atomic<bool> stop_{false};
    std::exception_ptr error_;

    std::vector<std::thread> helpers_;
    std::mutex parking_;
    std::condition_variable wake_, finished_;
    std::uint64_t generation_ = 0;
    std::atomic<std::uint64_t> published_{0}; // generation_, readable without the lock
    std::atomic<bool> closing_{false};
    bool inBackground_ = false; // under parking_
    std::function<void()> background_;
    int busy_ = 0;
    bool shutdown_ = false;
};

// Number of threads for a requested count: 0 gives one per core, anything else is kept
// within 1..64.
int ResolveThreads(int requested);

} // namespace davrenta::fastsearch_detail
