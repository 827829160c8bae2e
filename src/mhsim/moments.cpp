#include "mhsim/moments.h"

namespace davrenta {

double SampleStd(double n, double sum, double sumSquares) {
    const double d = (n * sumSquares - sum * sum) / (n * (n - 1));
    return d > 0 ? std::sqrt(d) : 0;
}

double Moments::mean() const {
    return running_ ? mean_ : sum_ / static_cast<double>(n_);
}

double Moments::sampleStd() const {
    const double n = static_cast<double>(n_);
    if (!running_)
        return SampleStd(n, sum_, squares_);
    if (n_ < 2 || scale_ == 0)
        return 0;
    // sqrt(4 scale^2 ssq / (n - 1)), infinite only where the deviation is beyond every double.
    return 2 * (scale_ * std::sqrt(ssq_ / (n - 1)));
}

void Moments::addSquare(double root) {
    if (!(root > 0))
        return;
    if (root > scale_) {
        const double r = scale_ / root;
        ssq_ = 1 + ssq_ * r * r;
        scale_ = root;
    } else {
        const double r = root / scale_;
        ssq_ += r * r;
    }
}

void Moments::addRunning(double x) {
    if (!running_) {
        // The values so far were all of moderate size: their plain sums convert safely.
        running_ = true;
        if (n_ > 0) {
            mean_ = sum_ / static_cast<double>(n_);
            const double deviations = squares_ - sum_ * mean_;
            scale_ = deviations > 0 ? std::sqrt(deviations) / 2 : 0;
            ssq_ = scale_ > 0 ? 1 : 0;
        }
    }
    ++n_;
    // Welford's update on halves, which cannot overflow: with d = x - old mean and
    // e = x - new mean, the sum of squared deviations grows by d e = 4 (d/2)(e/2).
    const double halfBefore = x / 2 - mean_ / 2;
    if (n_ == 1)
        mean_ = x;
    else
        mean_ += halfBefore / static_cast<double>(n_) * 2;
    const double halfAfter = x / 2 - mean_ / 2;
    if ((halfBefore > 0) == (halfAfter > 0))
        addSquare(std::sqrt(std::fabs(halfBefore)) * std::sqrt(std::fabs(halfAfter)));
}

} // namespace davrenta
