// Any bytes given to the .mhs reader: a problem or a message, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mhsim/problemfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    const davrenta::Result<davrenta::MhsProblem> p = davrenta::ParseMhsProblem(contents);
    if (p.ok() && (p->DistCode < 1 || p->DistCode > 8))
        __builtin_trap();
    return 0;
}
