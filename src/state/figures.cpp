#include "state/figures.h"

#include <string>

namespace davrenta {

Failure TooLargeToCompute(std::string_view subject, std::string_view what,
                          std::string_view remedy) {
    std::string message = "The ";
    message += subject;
    message += " are too large to compute with: ";
    message += what;
    message += " goes beyond the largest number.";
    if (!remedy.empty()) {
        message += ' ';
        message += remedy;
    }
    return Fail(std::move(message));
}

Status RequireFinite(const Figures& figures, std::string_view subject, std::string_view what,
                     std::string_view remedy) {
    if (figures.finite())
        return {};
    return TooLargeToCompute(subject, what, remedy);
}

} // namespace davrenta
