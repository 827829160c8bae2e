#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mhsim/model.h"
#include "state/report.h"

namespace davrenta {

// The long-day (steady-state) values of the multi-server queue with exponential service:
// M/M/s under option 1, M/M/s/K with K = servers + QueueLimit under option 3. A cycle starts
// empty, so a simulated mean lies below these by a start-up bias that shrinks as the cycle
// lengthens.
struct LongDayValues {
    // Option 1 with a utilisation of 1 or more: no long-day value, the line grows without
    // limit; the other fields are then 0.
    bool bounded = true;
    double lineLength = 0;  // customers waiting, time average
    double waitMinutes = 0; // per customer served
    double propBusy = 0;
    double turnawaysPerCycle = 0; // demand rate x cycle length x blocking probability
};

// Whether theory gives long-day values for a problem: options 1 and 3 with exponential service
// (Expo, or Erlang with one phase, the same distribution).
bool TheoryApplies(const MhSimState& mhs);

// The long-day values of the problem's inputs; none where TheoryApplies is false.
std::optional<LongDayValues> LongDayTheory(const MhSimState& mhs);

// What a comparison of server counts is to find: the smallest count whose average wait, or
// whose turn-aways per cycle, stays at or below a value.
enum class TargetKind { None, Wait, Turnaways };
struct CapacityTarget {
    TargetKind kind = TargetKind::None;
    double value = 0;
};

// Where a count stands against the target, by the 95 % interval of its mean: Meets when the
// whole interval is at or below the target, Misses when it is wholly above, Uncertain when it
// straddles the target.
enum class TargetMark { Meets, Uncertain, Misses };
TargetMark MarkAgainst(const MhSimState& row, const CapacityTarget& target);

// The first row (rows ordered by number of servers) that meets the target; none when no row
// does or there is no target.
std::optional<std::size_t> SmallestMeeting(const std::vector<MhSimState>& rows,
                                           const CapacityTarget& target);

// "average wait at most 5 minutes", "turn-aways at most 2 per cycle".
std::string TargetText(const CapacityTarget& target);

// The sentence that sums up a comparison against its target.
std::string TargetSummary(const std::vector<MhSimState>& rows, const CapacityTarget& target);

// The mark as the table shows it: "meets", "uncertain", "misses"; the smallest meeting count
// "smallest meeting".
std::string MarkText(const std::vector<MhSimState>& rows, const CapacityTarget& target,
                     std::size_t row);

// A mean with its 95 % half-width, "12.34 +/- 0.56".
std::string WithHalfWidth(double mean, double half);

// The printed comparison: the problem, the seed and the target, then a table by number of
// servers of every measure with its half-width and, where theory applies, the long-day values.
Report ComparisonReport(const std::vector<MhSimState>& rows, const CapacityTarget& target);

// The lines a run until precise adds to the results: what was asked and how many cycles it
// took. Empty for a run of a fixed number of cycles.
std::vector<std::string> PreciseLines(const MhSimState& mhs);

// A measure's mean and 95 % half-width in a run's results.
void MeanAndHalf(const MhSimState& m, SimMeasure measure, double& mean, double& half);

// The measure's name as the windows and messages give it.
std::string MeasureName(SimMeasure measure);

} // namespace davrenta
