#pragma once

namespace davrenta {

// Logarithm, exponential and power built from additions, multiplications and exact scaling
// only. The system's libm may pick a different code path on a different processor (FMA or
// not), so a seeded run could differ in its last bits between machines; these give the same
// bits everywhere. Accurate to a few units in the last place.

// ln(x) for x > 0 (subnormals included); -infinity for 0, NaN for a negative x or NaN.
double DetLog(double x);

// e^x; 0 below the smallest subnormal, +infinity above the largest double.
double DetExp(double x);

// x^y for x >= 0 as e^(y ln x); 0^y is 0 for y > 0, and x^0 is 1.
double DetPow(double x, double y);

} // namespace davrenta
