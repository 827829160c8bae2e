#pragma once

#include <atomic>
#include <string>

namespace davrenta {

// Ctrl-C (SIGINT) and SIGTERM while a subcommand works: the first one only sets a flag, which
// long work takes as its cancel flag, so the subcommand stops at its next look, writes nothing
// more (a save is either whole or not started) and exits with 128 + the signal's number. A
// second signal ends the program at once, as the signal itself would. One guard at a time;
// the signals' former handling comes back when it is destroyed.
class InterruptGuard {
  public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Set by the first signal; a cancel flag for long work.
    const std::atomic<bool>& flag() const;
    bool interrupted() const { return signal() != 0; }
    // The signal caught, 0 for none.
    int signal() const;
    // 130 for SIGINT, 143 for SIGTERM.
    int exitStatus() const;
    // What stderr says: "Interrupted (Ctrl-C): ..." with what was left undone.
    std::string message(const std::string& undone) const;
};

} // namespace davrenta
