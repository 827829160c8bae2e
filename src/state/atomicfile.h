#pragma once

#include <optional>
#include <string>

namespace davrenta {

// Reads a whole file; nullopt with the reason in *error when it cannot.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error);

// Replaces a file in one step: a temporary file beside it is written, flushed and synced, then
// renamed over the target. On failure the old file stays as it was and the reason is returned.
std::optional<std::string> WriteFileAtomically(const std::string& path, const std::string& contents);

} // namespace davrenta
