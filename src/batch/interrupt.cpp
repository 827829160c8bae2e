#include "batch/interrupt.h"

#include <csignal>

namespace davrenta {

namespace {

// Lock-free atomics: what a signal handler may touch.
std::atomic<bool> caughtFlag{false};
std::atomic<int> caughtSignal{0};
struct sigaction formerInt, formerTerm;

void OnSignal(int sig) {
    int none = 0;
    if (!caughtSignal.compare_exchange_strong(none, sig)) {
        // The second signal: what it would have done without us.
        std::signal(sig, SIG_DFL);
        std::raise(sig);
        return;
    }
    caughtFlag.store(true);
}

} // namespace

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

InterruptGuard::InterruptGuard() {
    caughtFlag.store(false);
    caughtSignal.store(0);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &formerInt);
    sigaction(SIGTERM, &action, &formerTerm);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &formerInt, nullptr);
    sigaction(SIGTERM, &formerTerm, nullptr);
}

const std::atomic<bool>& InterruptGuard::flag() const {
    return caughtFlag;
}

int InterruptGuard::signal() const {
    return caughtSignal.load();
}

int InterruptGuard::exitStatus() const {
    return 128 + signal();
}

std::string InterruptGuard::message(const std::string& undone) const {
    const char* what = signal() == SIGINT ? "Interrupted (Ctrl-C)" : "Terminated (SIGTERM)";
    return std::string(what) + ": " + undone;
}

} // namespace davrenta
