#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "state/result.h"

namespace davrenta {

// A path as a message shows it: control bytes escaped and a very long path cut, so that a
// hostile name cannot flood or steer a terminal. Other bytes stay, so that a name in any
// language reads as typed.
std::string ShownPath(std::string_view path);

// Reads a whole file; nullopt with the reason in *error when it cannot.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error);

// What a problem file of any study may hold at most; far more than any real one.
inline constexpr std::size_t kMaxProblemFileBytes = 1 << 20;

// Reads a problem file whole: a regular file only (a folder, a pipe or a device is refused
// without blocking), at most maxBytes (refused before reading, with its size). The message
// names the file.
Result<std::string> ReadProblemFile(const std::string& path,
                                    std::size_t maxBytes = kMaxProblemFileBytes);

// Reads a problem file as ReadProblemFile does and hands its contents to `parse`, which takes
// them into the study's tables only when they are whole. Every study's reader words a failure
// the same way: "The file NAME cannot be read: <why>. The current problem is unchanged."
Status LoadProblemFile(const std::string& path,
                       const std::function<Status(std::string_view contents)>& parse,
                       std::size_t maxBytes = kMaxProblemFileBytes);

// Saves a problem file as WriteFileAtomically does; the message names the file and the reason.
Status SaveProblemFile(const std::string& path, const std::string& contents);

// Replaces a file in one step: a temporary file beside it is written, flushed and synced, then
// renamed over the target. On failure the old file stays as it was and the reason is returned.
std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               const std::string& contents);

} // namespace davrenta
