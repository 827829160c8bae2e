#include "popmap/threadpool.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

namespace davrenta::fastsearch_detail {

Pool::Pool(int threads, const SearchControl& control)
    : threads_(std::max(1, threads)), control_(control) {
    // Started at once, so that they are ready by the time the first job comes.
    for (int w = 1; w < threads_; ++w) {
        try {
            helpers_.emplace_back(&Pool::Helper, this, w);
        } catch (const std::system_error&) {
            break; // fewer threads only make the run slower
        }
    }
}

Pool::~Pool() {
    {
        // A background task still running uses the caller's data: let it finish first.
        std::unique_lock<std::mutex> lock(parking_);
        finished_.wait(lock, [&] { return busy_ == 0; });
    }
    closing_ = true;
    {
        std::lock_guard<std::mutex> lock(parking_);
        shutdown_ = true;
    }
    wake_.notify_all();
    for (auto& t : helpers_)
        t.join();
}

bool Pool::Stopping() const {
    return stop_.load(std::memory_order_relaxed) || control_.cancelled();
}

void Pool::Complete(int item) {
    std::lock_guard<std::mutex> lock(mutex_);
    done_[static_cast<std::size_t>(item)] = 1;
    const int count = static_cast<int>(done_.size());
    while (watermark_ < count && done_[static_cast<std::size_t>(watermark_)]) {
        const int itemSteps = job_.steps ? (*job_.steps)[static_cast<std::size_t>(watermark_)] : 1;
        for (int s = 0; s < itemSteps; ++s) {
            // The reference looks at the flag before each candidate, so a cancel set by one
            // progress call means no further call.
            if (control_.cancelled()) {
                stop_ = true;
                return;
            }
            ++reported_;
            if (job_.report && control_.progress)
                control_.progress(reported_, job_.reportTotal);
        }
        ++watermark_;
    }
}

void Pool::Work(int worker) {
    try {
        for (;;) {
            if (Stopping())
                return;
            const int item = next_.fetch_add(1);
            if (item >= job_.count)
                return;
            (*job_.body)(item, worker);
            if (Stopping())
                return; // an item cut short is not complete
            Complete(item);
        }
    } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!error_)
            error_ = std::current_exception();
        stop_ = true;
    }
}

void Pool::Helper(int worker) {
    std::uint64_t seen = 0;
    for (;;) {
        // A search hands out several short jobs in a row: look for the next one for some
        // tens of microseconds before sleeping.
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(500);
        for (int spin = 1; published_.load(std::memory_order_acquire) == seen &&
                           !closing_.load(std::memory_order_relaxed);
             ++spin)
            if (spin % 64 == 0 && std::chrono::steady_clock::now() > until)
                break;
        {
            std::unique_lock<std::mutex> lock(parking_);
            wake_.wait(lock, [&] { return shutdown_ || generation_ != seen; });
            if (shutdown_)
                return;
            seen = generation_;
        }
        if (!inBackground_) {
            Work(worker);
        } else if (worker == 1) {
            try {
                background_();
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!error_)
                    error_ = std::current_exception();
            }
        }
        {
            std::lock_guard<std::mutex> lock(parking_);
            if (--busy_ == 0)
                finished_.notify_one();
        }
    }
}

void Pool::Start(const Job& job) {
    Wait();
    job_ = job;
    done_.assign(static_cast<std::size_t>(std::max(job.count, 0)), 0);
    watermark_ = 0;
    reported_ = 0;
    next_ = 0;
    stop_ = false;
    error_ = nullptr;
    if (job.count > 1 && !helpers_.empty()) {
        {
            std::lock_guard<std::mutex> lock(parking_);
            busy_ = static_cast<int>(helpers_.size());
            ++generation_;
            published_.store(generation_, std::memory_order_release);
        }
        wake_.notify_all();
    }
    Work(0);
    {
        std::unique_lock<std::mutex> lock(parking_);
        finished_.wait(lock, [&] { return busy_ == 0; });
    }
    if (error_)
        std::rethrow_exception(error_);
}

bool Pool::Run(int count, const std::vector<int>* steps, bool report, int reportTotal,
               const std::function<void(int item, int worker)>& body) {
    Job job;
    job.count = count;
    job.steps = steps;
    job.report = report;
    job.reportTotal = reportTotal;
    job.body = &body;
    Start(job);
    return watermark_ == count && !stop_.load();
}

void Pool::Background(std::function<void()> task) {
    if (helpers_.empty()) {
        task();
        return;
    }
    background_ = std::move(task);
    error_ = nullptr;
    {
        std::lock_guard<std::mutex> lock(parking_);
        busy_ = static_cast<int>(helpers_.size());
        inBackground_ = true;
        ++generation_;
        published_.store(generation_, std::memory_order_release);
    }
    wake_.notify_all();
}

void Pool::Wait() {
    {
        std::unique_lock<std::mutex> lock(parking_);
        finished_.wait(lock, [&] { return busy_ == 0; });
        if (!inBackground_)
            return;
        inBackground_ = false;
    }
    background_ = nullptr;
    if (error_)
        std::rethrow_exception(std::exchange(error_, nullptr));
}

int ResolveThreads(int requested) {
    if (requested <= 0) {
        const unsigned cores = std::thread::hardware_concurrency();
        requested = cores == 0 ? 1 : static_cast<int>(cores);
    }
    return std::clamp(requested, 1, 64);
}

} // namespace davrenta::fastsearch_detail
