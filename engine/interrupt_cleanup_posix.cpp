// Signal-time cleanup of temporary files. Only async-signal-safe calls
// (unlink, write, _exit) run in the handler; the registry is changed with the
// signals blocked, so the handler never sees a half-written entry.
#include "engine/interrupt_cleanup.h"

#include <array>
#include <csignal>
#include <cstring>

#include <signal.h>
#include <unistd.h>

namespace lomitra {
namespace {

constexpr std::size_t kSlots = 16;
constexpr std::size_t kPathBytes = 4096;

// The registry: process-wide because the signal handler can reach nothing else.
struct Registry {
    std::array<std::array<char, kPathBytes>, kSlots> paths{};
    std::array<volatile sig_atomic_t, kSlots> used{};
    const char* message = nullptr;
};
Registry registry;

constexpr std::array<int, 4> kSignals{SIGINT, SIGTERM, SIGHUP, SIGPIPE};

sigset_t interruptSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : kSignals) sigaddset(&set, s);
    return set;
}

extern "C" void onInterrupt(int signalNumber) {
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (registry.used[i] != 0) ::unlink(registry.paths[i].data());
    }
    // Then the folders, once the files in them are gone (unlink fails on a folder).
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (registry.used[i] != 0) ::rmdir(registry.paths[i].data());
    }
    if (signalNumber != SIGPIPE && registry.message != nullptr) {
        const std::size_t n = std::strlen(registry.message);
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, registry.message, n);
    }
    ::_exit(128 + signalNumber);
}

}  // namespace

void installInterruptCleanup(const char* message) {
    registry.message = message;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_mask = interruptSignals();  // one handler at a time
    for (const int s : kSignals) ::sigaction(s, &action, nullptr);
}

bool registerTemporaryFile(const std::string& path) {
    if (path.size() >= kPathBytes) return false;
    const DeferInterrupts whileChanging;
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (registry.used[i] != 0) continue;
        std::memcpy(registry.paths[i].data(), path.c_str(), path.size() + 1);
        registry.used[i] = 1;
        return true;
    }
    return false;
}

void unregisterTemporaryFile(const std::string& path) {
    const DeferInterrupts whileChanging;
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (registry.used[i] != 0 && path == registry.paths[i].data()) registry.used[i] = 0;
    }
}

DeferInterrupts::DeferInterrupts() {
    static_assert(sizeof(sigset_t) <= sizeof(saved_));
    const sigset_t block = interruptSignals();
    sigset_t saved;
    active_ = ::pthread_sigmask(SIG_BLOCK, &block, &saved) == 0;
    std::memcpy(saved_, &saved, sizeof saved);
}

DeferInterrupts::~DeferInterrupts() {
    if (!active_) return;
    sigset_t saved;
    std::memcpy(&saved, saved_, sizeof saved);
    ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);  // a signal that waited is delivered here
}

}  // namespace lomitra
