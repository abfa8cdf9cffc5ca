// Interrupt cleanup on Windows: Ctrl+C, Ctrl+Break and the closing of the
// console reach a handler that the system runs in a thread of its own. The
// handler takes the registry's lock, so it waits while files are being
// replaced (DeferInterrupts), deletes the registered temporary files (they
// are opened with deleting shared, so an open one goes when its handle
// closes at the exit) and ends the process with 128 + the signal number of
// the same event on POSIX systems.
#include "platform/interrupt_cleanup.h"

#include <atomic>
#include <mutex>
#include <vector>

#include <windows.h>

#include "platform/wide_text.h"

namespace lomitra {
namespace {

constexpr int kSigint = 2;    // Ctrl+C
constexpr int kSighup = 1;    // the console closed, logoff, shutdown
constexpr int kSigbreak = 21; // Ctrl+Break

// The registry: process-wide because the handler can reach nothing else.
struct Registry {
    std::recursive_mutex lock;
    std::vector<std::string> paths;
    std::atomic<bool> errorLineUnfinished{false};
    bool ignoring = false;  // DeferInterrupts::keepToTheEnd()
    const char* message = nullptr;
};
Registry registry;

BOOL WINAPI onConsoleEvent(DWORD event) {
    const int signalNumber = event == CTRL_C_EVENT ? kSigint : event == CTRL_BREAK_EVENT ? kSigbreak : kSighup;
    registry.lock.lock();  // held until the process ends
    if (registry.ignoring) {
        registry.lock.unlock();
        return TRUE;  // handled: the program ends on its own
    }
    for (const std::string& path : registry.paths) ::DeleteFileW(widen(path).c_str());
    for (const std::string& path : registry.paths) ::RemoveDirectoryW(widen(path).c_str());  // emptied folders
    if (registry.message != nullptr) {
        DWORD written = 0;
        if (registry.errorLineUnfinished) ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), "\n", 1, &written, nullptr);
        ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), registry.message,
                    static_cast<DWORD>(std::char_traits<char>::length(registry.message)), &written, nullptr);
    }
    ::ExitProcess(static_cast<UINT>(128 + signalNumber));
    return TRUE;
}

}  // namespace

void installInterruptCleanup(const char* message) {
    registry.message = message;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool registerTemporaryFile(const std::string& path, intptr_t /*folder: full names here*/) {
    const std::lock_guard<std::recursive_mutex> hold(registry.lock);
    registry.paths.push_back(path);
    return true;
}

void unregisterTemporaryFile(const std::string& path, intptr_t /*folder*/) {
    const std::lock_guard<std::recursive_mutex> hold(registry.lock);
    std::erase(registry.paths, path);
}

void setErrorLineUnfinished(bool unfinished) { registry.errorLineUnfinished = unfinished; }

DeferInterrupts::DeferInterrupts() {
    registry.lock.lock();
    active_ = true;
}

void DeferInterrupts::keepToTheEnd() { registry.ignoring = true; }  // set while the lock is held

DeferInterrupts::~DeferInterrupts() {
    if (active_) registry.lock.unlock();
}

}  // namespace lomitra
