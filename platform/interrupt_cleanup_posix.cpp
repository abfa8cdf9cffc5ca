// Signal-time cleanup of temporary files and folders. Only async-signal-safe
// calls (unlinkat, write, _exit) run in the handler; the registry is changed with
// the signals blocked, so the handler never sees a half-written entry.
#include "platform/interrupt_cleanup.h"

#include <array>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace lomitra {
namespace {

constexpr std::size_t kSlots = 64;  // a Shapefile set takes one for each of its files
constexpr std::size_t kPathBytes = 4096;

// The registry: process-wide because the signal handler can reach nothing else.
struct Registry {
    std::array<std::array<char, kPathBytes>, kSlots> paths{};
    std::array<int, kSlots> folders{};
    std::array<volatile sig_atomic_t, kSlots> used{};
    volatile sig_atomic_t errorLineUnfinished = 0;
    const char* message = nullptr;
};
Registry registry;

// The signals whose default action ends the process, but for the faults of
// the program itself (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP,
// SIGSYS), which the sanitizers and debuggers report. SIGXFSZ is ignored
// instead (see startProcess): past a file size limit a write fails and the
// run reports it.
sigset_t interruptSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
                        SIGXCPU}) {
        sigaddset(&set, s);
    }
#ifdef SIGPOLL
    sigaddset(&set, SIGPOLL);
#endif
#ifdef SIGPWR
    sigaddset(&set, SIGPWR);
#endif
#ifdef SIGSTKFLT
    sigaddset(&set, SIGSTKFLT);
#endif
#ifdef SIGRTMIN
    for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) sigaddset(&set, s);
#endif
    return set;
}

void writeError(const char* text, std::size_t size) {
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, size);
}

extern "C" void onInterrupt(int signalNumber) {
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (registry.used[i] != 0) {
            ::unlinkat(registry.folders[i] >= 0 ? registry.folders[i] : AT_FDCWD, registry.paths[i].data(), 0);
        }
    }
    // Then the folders, once the files in them are gone (unlinking a file
    // name fails on a folder, and the other way round).
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (registry.used[i] != 0) {
            ::unlinkat(registry.folders[i] >= 0 ? registry.folders[i] : AT_FDCWD, registry.paths[i].data(),
                       AT_REMOVEDIR);
        }
    }
    if (signalNumber != SIGPIPE && registry.message != nullptr) {
        if (registry.errorLineUnfinished != 0) writeError("\n", 1);
        writeError(registry.message, std::strlen(registry.message));
    }
    ::_exit(128 + signalNumber);
}

}  // namespace

void installInterruptCleanup(const char* message) {
    registry.message = message;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_mask = interruptSignals();  // one handler at a time
    for (int s = 1; s < NSIG; ++s) {
        if (sigismember(&action.sa_mask, s) == 1) ::sigaction(s, &action, nullptr);
    }
}

bool registerTemporaryFile(const std::string& path, intptr_t folder) {
    if (path.size() >= kPathBytes) return false;
    const DeferInterrupts whileChanging;
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (registry.used[i] != 0) continue;
        std::memcpy(registry.paths[i].data(), path.c_str(), path.size() + 1);
        registry.folders[i] = static_cast<int>(folder);
        registry.used[i] = 1;
        return true;
    }
    return false;
}

void unregisterTemporaryFile(const std::string& path, intptr_t folder) {
    const DeferInterrupts whileChanging;
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (registry.used[i] != 0 && registry.folders[i] == folder && path == registry.paths[i].data()) {
            registry.used[i] = 0;
        }
    }
}

void setErrorLineUnfinished(bool unfinished) { registry.errorLineUnfinished = unfinished ? 1 : 0; }

DeferInterrupts::DeferInterrupts() {
    static_assert(sizeof(sigset_t) <= sizeof(saved_));
    const sigset_t block = interruptSignals();
    sigset_t saved;
    active_ = ::pthread_sigmask(SIG_BLOCK, &block, &saved) == 0;
    std::memcpy(saved_, &saved, sizeof saved);
}

void DeferInterrupts::keepToTheEnd() { active_ = false; }  // the signals stay blocked

DeferInterrupts::~DeferInterrupts() {
    if (!active_) return;
    sigset_t saved;
    std::memcpy(&saved, saved_, sizeof saved);
    ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);  // a signal that waited is delivered here
}

}  // namespace lomitra
