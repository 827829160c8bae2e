#include "state/messagetext.h"

namespace davrenta {

std::string QuoteForMessage(std::string_view value, std::size_t limit) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    const std::size_t shown = value.size() < limit ? value.size() : limit;
    for (std::size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c < 32 || c > 126 || c == '\\') {
            if (c == '\\') {
                out += "\\\\";
                continue;
            }
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    if (shown < value.size())
        out += "...";
    return out;
}

} // namespace davrenta
