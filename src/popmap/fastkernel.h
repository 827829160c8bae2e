#pragma once

// The one-POD vector kernel: a new POD at each candidate of a line, evaluated eight at a time
// against a ceiling, term for term as the reference evaluates it.

#include <vector>

#include "popmap/fastgrid.h"
#include "popmap/fastreach.h"

namespace davrenta::fastsearch_detail {

// A second build of the kernel for processors with 256-bit vectors, picked at run time.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define DAVRENTA_WIDE_KERNEL 1
#else
#define DAVRENTA_WIDE_KERNEL 0
#endif

// One new POD at each candidate of [first, end), all on one line, against a ceiling: total
// travel, maximum distance and the population it takes (cells strictly nearer to it), each
// computed as the reference computes them.
struct SingleResults {
    std::vector<double> travel, maxDistance, served;
    explicit SingleResults(int count) : travel(count), maxDistance(count), served(count) {}
};
void EvaluateCandidates(const Grid& g, const Cap& cap, int first, int end, SingleResults& out);

// Whether the processor runs the 256-bit build of the one-POD kernel.
bool WideVectorsAvailable();

} // namespace davrenta::fastsearch_detail
