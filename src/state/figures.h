#pragma once

#include <cmath>
#include <initializer_list>
#include <string_view>

#include "state/result.h"

namespace davrenta {

// Every figure a result shows, prints or saves must be a number. A value beyond the largest
// double, or one made of such values, refuses the whole result: it is never shown as inf, nan,
// null or a silent 0. Collect the figures, then ask RequireFinite.
class Figures {
  public:
    Figures& add(double value) {
        finite_ = finite_ && std::isfinite(value);
        return *this;
    }
    Figures& add(std::initializer_list<double> values) {
        for (const double v : values)
            add(v);
        return *this;
    }
    template <typename Range> Figures& addAll(const Range& values) {
        for (const auto& v : values)
            add(static_cast<double>(v));
        return *this;
    }
    bool finite() const { return finite_; }

  private:
    bool finite_ = true;
};

// The one wording of that refusal, for every study: "The <subject> are too large to compute
// with: <what> goes beyond the largest number. <remedy>"
Failure TooLargeToCompute(std::string_view subject, std::string_view what, std::string_view remedy);

// Success when every figure is a number; otherwise the refusal above.
Status RequireFinite(const Figures& figures, std::string_view subject, std::string_view what,
                     std::string_view remedy);

} // namespace davrenta
