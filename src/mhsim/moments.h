#pragma once

#include <cmath>

namespace davrenta {

// The mean and the sample standard deviation (divisor n - 1) of a stream of values.
//
// While every value is 0 or between 2^-480 and 2^480 in magnitude the stream keeps the plain
// sum and sum of squares: for up to 2^30 values neither can overflow, no square is lost to
// underflow, and the results are those of the textbook formulas bit for bit. The first value
// outside that range moves the stream to a running mean and a sum of squared deviations kept
// as scale^2 x ssq, which hold any finite values: a mean or deviation that is itself a number
// comes out as one, and only one beyond the largest number comes out infinite.
class Moments {
  public:
    void add(double x) {
        const double a = std::fabs(x);
        if (!running_ && a < kLarge && (a >= kTiny || a == 0)) {
            sum_ += x;
            squares_ += x * x;
            ++n_;
            return;
        }
        addRunning(x);
    }

    long long count() const { return n_; }
    double mean() const;
    double sampleStd() const;

  private:
    static constexpr double kLarge = 0x1p480;
    static constexpr double kTiny = 0x1p-480;

    void addRunning(double x);
    void addSquare(double root);

    long long n_ = 0;
    double sum_ = 0, squares_ = 0;
    bool running_ = false;
    // The running form: the mean, and a quarter of the sum of squared deviations as
    // scale_^2 x ssq_ (ssq_ >= 1 once scale_ > 0).
    double mean_ = 0, scale_ = 0, ssq_ = 0;
};

// The sample standard deviation of n values from their sum and sum of squares (divisor n - 1);
// rounding can make the difference below the root slightly negative, which counts as 0.
double SampleStd(double n, double sum, double sumSquares);

} // namespace davrenta
