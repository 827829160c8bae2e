#pragma once

#include <array>
#include <cstdint>

#include "state/shellstate.h"

// The layout problem behind the best layout: N departments, the N places of the current layout
// (the location department k holds now is place k), and a layout puts each department on its
// own place. Places and departments are numbered from 0 here.
namespace davrenta::qap {

inline constexpr int kMax = 15;

// placeOf[d] is the place of department d.
using Layout = std::array<std::int8_t, kMax>;

struct Problem {
    int n = 0;
    // Between places, exactly as the activity computation finds them for departments there.
    double D[kMax][kMax] = {};
    // Moves between departments a and b, both ways (the computation's combined count of the
    // pair), 0 on the diagonal.
    double F[kMax][kMax] = {};
    // Places at one location are interchangeable: each names the lowest place at its location.
    int placeClass[kMax] = {};
    // A department without moves may sit anywhere at no cost.
    bool idle[kMax] = {};
    // The sum over pairs of |moves| times the longest distance: an upper limit of the size of
    // every figure the search adds up, from which its rounding margins are taken.
    double scale = 0;
};

// From the locations and the combined moves (upper[a][b] for a < b). false when a distance, a
// move count or the scale is not a finite number with room to spare: no activity is then
// computed.
bool MakeProblem(int n, const double* x, const double* y, const double (*upper)[kMax],
                 Metric method, Problem& problem);

// The activity of a layout, term for term and in the order the switch search adds it up
// (department pairs a < b, a ascending, then b), so that equal layouts give equal bits.
double Activity(const Problem& p, const Layout& placeOf);

// The first of the layouts that differ from this one only by departments without moves or by
// departments sharing a location, which all give the same activity: ordered by the place of
// department 0, then department 1, and so on.
Layout Canonical(const Problem& p, const Layout& placeOf);

// The order among layouts of equal activity: by the place of department 0, then 1, ...
bool Earlier(const Problem& p, const Layout& a, const Layout& b);

// The current layout: department d on place d.
Layout Identity(int n);

// A layout to start the search from and its activity.
struct Candidate {
    Layout placeOf{};
    double activity = 0;
};

// The better of two candidates: lower activity, or equal activity and earlier.
bool Better(const Problem& p, const Candidate& a, const Candidate& b);

// Exchange descent from many seeded random starts: a good layout to prune with before the
// exact search begins. Deterministic for a seed; its result is canonical.
Candidate LocalSearch(const Problem& p, const Candidate& start, int starts, std::uint64_t seed);

} // namespace davrenta::qap
