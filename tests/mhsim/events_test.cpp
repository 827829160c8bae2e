// The event list: earliest first, equal times in scheduling order, 100 pending at most.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "mhsim/events.h"

using namespace davrenta;

TEST(EventList, EqualTimesLeaveInTheOrderTheyWereScheduled) {
    EventList ev;
    ev.schedule(kClosing, 8);
    ev.schedule(kArrival, 8);
    ev.schedule(kDeparture, 3);
    ev.schedule(kDeparture, 8);
    ev.schedule(kArrival, 1);
    const int types[] = {kArrival, kDeparture, kClosing, kArrival, kDeparture};
    const double times[] = {1, 3, 8, 8, 8};
    for (int k = 0; k < 5; ++k) {
        int type;
        double time;
        ev.next(type, time);
        EXPECT_EQ(type, types[k]) << k;
        EXPECT_EQ(time, times[k]) << k;
    }
    EXPECT_TRUE(ev.empty());
}

TEST(EventList, HoldsOneHundredPendingEvents) {
    EventList ev;
    for (int k = 0; k < 100; ++k)
        ev.schedule(kDeparture, 100 - k);
    EXPECT_TRUE(ev.full());
    int type;
    double time;
    ev.next(type, time);
    EXPECT_EQ(time, 1);
    EXPECT_FALSE(ev.full());
    EXPECT_EQ(ev.count(), 99);
}

// Against a plain model: sort by time, ties by scheduling number.
TEST(EventList, MatchesAStableOrderOverRandomScheduling) {
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> coarse(0, 20); // many equal times
    EventList ev;
    struct Pending {
        double time;
        long long order;
        int type;
    };
    std::vector<Pending> model;
    long long order = 0;
    for (int step = 0; step < 20000; ++step) {
        const bool add = model.empty() || (model.size() < 100 && gen() % 2 == 0);
        if (add) {
            const double time = coarse(gen) * 0.5;
            const int type = 1 + static_cast<int>(gen() % 3);
            ev.schedule(type, time);
            model.push_back({time, order++, type});
            continue;
        }
        const auto first = std::min_element(model.begin(), model.end(), [](auto& a, auto& b) {
            return a.time < b.time || (a.time == b.time && a.order < b.order);
        });
        int type;
        double time;
        ev.next(type, time);
        ASSERT_EQ(time, first->time) << step;
        ASSERT_EQ(type, first->type) << step;
        model.erase(first);
    }
}
