// Text to number and number to text on any input: never a crash, and the forms read back.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "state/numbers.h"
#include "state/records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = davrenta::LeadingNumber(text);
    if (!std::isfinite(value))
        std::abort(); // a typed value stays usable
    const auto back = davrenta::ParseFieldNumber(davrenta::RoundTripForm(value));
    if (!back || *back != value)
        std::abort();
    if (davrenta::LeadingNumber(davrenta::PlainForm(value)) !=
        davrenta::LeadingNumber(davrenta::PlainForm(value)))
        std::abort();
    for (const char* pattern :
         {"0", "0.0", "0.00", "0.000", "#0.000", "0.###", "####.###", "#######"})
        if (davrenta::FormatPicture(value, pattern).empty())
            std::abort();
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        (void)davrenta::PlainForm(raw);
        (void)davrenta::StrForm(raw);
        (void)davrenta::FormatPicture(raw, "0.###");
        if (std::isfinite(raw)) {
            const auto exact = davrenta::ParseFieldNumber(davrenta::RoundTripForm(raw));
            if (!exact || *exact != raw)
                std::abort();
        }
    }
    return 0;
}
