#pragma once

#include <string>
#include <string_view>

namespace davrenta {

// A value from a file or a box as a message quotes it: at most `limit` bytes of it, control
// bytes and bytes above 126 written as \xHH, and "..." when it was cut. A message must stay
// short and must never carry raw bytes to a terminal or a message box.
std::string QuoteForMessage(std::string_view value, std::size_t limit = 40);

} // namespace davrenta
