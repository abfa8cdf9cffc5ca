// Removing the temporary files of an interrupted run.
//
// A signal that ends the process (SIGINT, SIGTERM, SIGHUP, SIGPIPE) removes
// every temporary file registered here and ends the process with the status
// 128 + the signal number; the files that the temporary files were to
// replace stay as they were.
//
// Signals reach a process as a whole, and a handler can reach nothing but
// process-wide data: this registry is therefore the one piece of process-wide
// state of the program. It holds only names of temporary files, is changed
// with the signals held back, and is read by the handler only.
#pragma once

#include <string>

namespace lomitra {

// Installs the handler for SIGINT, SIGTERM, SIGHUP and SIGPIPE. `message`
// (may be empty) is written to standard error when a signal other than
// SIGPIPE ends the run; it must stay valid for the rest of the run.
void installInterruptCleanup(const char* message);

// Adds / removes a temporary file of this process (an absolute or relative
// path as it was created). Returns false when the registry is full; the file
// is then simply not removed on a signal. A temporary folder may be
// registered too: it is removed after the files, when they leave it empty.
bool registerTemporaryFile(const std::string& path);
void unregisterTemporaryFile(const std::string& path);

// While it lives, the interrupting signals wait: a group of steps (replacing
// two files one after the other) is then either done whole or not begun.
class DeferInterrupts {
public:
    DeferInterrupts();
    ~DeferInterrupts();
    DeferInterrupts(const DeferInterrupts&) = delete;
    DeferInterrupts& operator=(const DeferInterrupts&) = delete;

private:
    bool active_ = false;
    unsigned char saved_[256]{};  // the previous signal mask (sigset_t fits)
};

}  // namespace lomitra
