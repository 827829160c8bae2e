#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string_view>

#include "mhact/model.h"
#include "state/result.h"
#include "state/shellstate.h"

namespace davrenta {

// Where the search for the best layout stands.
struct BestLayoutProgress {
    double best = 0;           // activity of the best layout found so far
    double bound = 0;          // no layout's activity is below it
    std::optional<double> gap; // percent, see GapPercent
    long long nodes = 0;
    double seconds = 0;
};

struct BestLayoutControl {
    const std::atomic<bool>* cancel = nullptr;
    double timeLimit = 0; // seconds; 0: none
    int threads = 0;      // 0: one per core
    // From the searching thread, a few times a second.
    std::function<void(const BestLayoutProgress&)> progress;
};

enum class BestLayoutEnd { Proven, TimeLimit, Cancelled };

struct BestLayoutOutcome {
    BestLayoutEnd end = BestLayoutEnd::Proven;
    int DeptCount = 0;
    // Department d takes the place (the current location) of department place[d].
    Table1<int, kDeptSlots> place;
    Table1<double, kDeptSlots> x;
    Table1<double, kDeptSlots> y;
    double activity = 0;         // of that layout, as the switch search adds it up
    double lowerBound = 0;       // no layout of these places is below it; activity when proven
    double StartActivity = 0;    // the current layout
    double ImprovedActivity = 0; // what Improve reaches from it
    long long nodes = 0;
    double seconds = 0;

    bool proven() const { return end == BestLayoutEnd::Proven; }
    // Whether some department ends at another location.
    bool changed(const MhActivityState& mh) const;
};

// The assignment of the departments to the places of the current layout (locations as they
// stand; a location two departments share keeps two) with the least total activity under the
// method, and the proof: a branch and bound over the Gilmore-Lawler bound, started from the
// best of the current layout, Improve's and a seeded exchange descent. Among layouts of equal
// activity the first is taken: the lowest place (numbered as the departments now holding them)
// for department 1, then for department 2, and so on; so the current layout stays when it is
// among the best. A time limit or a cancel ends the search with the best layout found and the
// bound proven so far. Moves must be combined already (as after the results window); the
// state is not changed. Refused when a figure would go beyond the largest number.
Result<BestLayoutOutcome> FindBestLayout(const MhActivityState& mh, Metric method,
                                         const BestLayoutControl& control = {});

// Whether the search can run: refused, with FindBestLayout's message, when a figure would go
// beyond the largest number.
Status CheckBestLayoutProblem(const MhActivityState& mh, Metric method);

// Takes the best layout as the current one.
void AcceptBestLayout(MhActivityState& mh, const BestLayoutOutcome& outcome);

// How far an activity lies above a reference, in percent of the reference's size: nullopt when
// the reference is 0 and the activity is not.
std::optional<double> PercentAbove(double activity, double reference);

// The gap between the best activity found and the bound, in percent of the best.
std::optional<double> GapPercent(double best, double bound);

inline constexpr const char* kDefaultTimeLimit = "60";
inline constexpr const char* kTimeLimitAboveZero =
    "The time limit must be a number of seconds above 0.";

// The time limit as typed (leading-number rule): seconds above 0.
Result<double> TimeLimitFromText(std::string_view text);

} // namespace davrenta
