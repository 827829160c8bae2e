#pragma once

#include <cassert>

#include "mhsim/model.h"

namespace davrenta {

// Event types as the engine schedules them.
enum EventType { kArrival = 1, kDeparture = 2, kClosing = 3 };

// The pending events of one cycle, earliest first. At most kMaxPendingEvents are pending;
// events of equal time leave in the order they were scheduled (so the closing event, scheduled
// first, leaves before an arrival or a departure at the same time). Kept as a contiguous array
// in reverse time order: the earliest event is taken from the end, and a new event moves the
// few that leave before it up one place as it looks for its own.
class EventList {
  public:
    void clear() { count_ = 0; }
    int count() const { return count_; }
    bool empty() const { return count_ == 0; }
    bool full() const { return count_ >= kMaxPendingEvents; }

    // Inserts an event after every pending event whose time is not later than its own.
    void schedule(int type, double time) {
        assert(!full());
        int k = count_;
        while (k > 0 && !(time < slots_[k - 1].time)) {
            slots_[k] = slots_[k - 1];
            --k;
        }
        slots_[k] = {time, type};
        ++count_;
    }

    // Removes the earliest event; the list must not be empty.
    void next(int& type, double& time) {
        assert(count_ > 0);
        --count_;
        type = slots_[count_].type;
        time = slots_[count_].time;
    }

  private:
    struct Slot {
        double time;
        int type;
    };
    Slot slots_[kMaxPendingEvents];
    int count_ = 0;
};

} // namespace davrenta
