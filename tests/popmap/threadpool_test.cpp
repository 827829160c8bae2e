#include "popmap/threadpool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace davrenta::fastsearch_detail {
namespace {

TEST(ThreadPool, EveryItemRunsOnceAndProgressComesInOrder) {
    std::vector<int> seen;
    std::atomic<int> inCallback{0};
    bool overlapped = false;
    SearchControl control;
    control.progress = [&](int done, int total) {
        if (inCallback.fetch_add(1) != 0)
            overlapped = true;
        seen.push_back(done);
        EXPECT_EQ(total, 40);
        inCallback.fetch_sub(1);
    };
    Pool pool(4, control);
    std::vector<std::atomic<int>> runs(40);
    std::vector<int> steps(40, 1);
    steps[3] = 0; // an item without a step reports nothing
    steps[7] = 2;
    ASSERT_TRUE(pool.Run(40, &steps, true, 40, [&](int item, int worker) {
        EXPECT_GE(worker, 0);
        EXPECT_LT(worker, 4);
        ++runs[static_cast<std::size_t>(item)];
    }));
    for (const auto& r : runs)
        EXPECT_EQ(r.load(), 1);
    std::vector<int> expected;
    for (int i = 1; i <= 40; ++i)
        expected.push_back(i);
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(pool.Reported(), 40);
}

TEST(ThreadPool, CancelFromTheProgressCallbackStopsTheRun) {
    std::atomic<bool> cancel{false};
    int calls = 0;
    SearchControl control;
    control.cancel = &cancel;
    control.progress = [&](int done, int) {
        ++calls;
        if (done == 5)
            cancel = true;
    };
    Pool pool(3, control);
    EXPECT_FALSE(pool.Run(1000, nullptr, true, 1000, [](int, int) {}));
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(pool.Reported(), 5);
}

TEST(ThreadPool, ExceptionsReachTheCallerAndThePoolRunsAgain) {
    SearchControl control;
    Pool pool(3, control);
    EXPECT_THROW(pool.Run(100, nullptr, false, 0,
                          [](int item, int) {
                              if (item == 42)
                                  throw std::runtime_error("item");
                          }),
                 std::runtime_error);
    std::atomic<int> sum{0};
    EXPECT_TRUE(pool.Run(10, nullptr, false, 0, [&](int item, int) { sum += item; }));
    EXPECT_EQ(sum.load(), 45);

    pool.Background([] { throw std::logic_error("background"); });
    EXPECT_THROW(pool.Wait(), std::logic_error);
}

TEST(ThreadPool, RequestedThreadsAreKeptWithinOneToSixtyFour) {
    EXPECT_EQ(ResolveThreads(1), 1);
    EXPECT_EQ(ResolveThreads(7), 7);
    EXPECT_EQ(ResolveThreads(500), 64);
    EXPECT_GE(ResolveThreads(0), 1);
}

} // namespace
} // namespace davrenta::fastsearch_detail
