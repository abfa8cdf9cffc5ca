// Removing the temporary files of an interrupted run.
//
// A signal whose default action ends the process (SIGINT, SIGTERM, SIGHUP,
// SIGPIPE, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU,
// SIGPOLL, SIGPWR and the real-time signals; not the faults of the program
// itself, such as SIGSEGV) removes every temporary file registered here and
// ends the process with the status 128 + the signal number; the files that
// the temporary files were to replace stay as they were.
//
// Signals reach a process as a whole, and a handler can reach nothing but
// process-wide data: this registry is therefore the one piece of process-wide
// state of the program. It holds only names of temporary files (with the
// folders they lie in) and whether a line stands unfinished on standard
// error, is changed with the signals held back, and is read by the handler only.
#pragma once

#include <cstdint>
#include <string>

namespace lomitra {

// Installs the handler. `message` (may be empty) is written to standard error
// when a signal other than SIGPIPE ends the run; it must stay valid for the
// rest of the run.
void installInterruptCleanup(const char* message);

// Adds / removes a temporary file of this process: `path` as it was created,
// relative to the folder of the descriptor `folder` (POSIX systems; -1: the
// current folder; Windows ignores it). The folder must stay open while the
// file is registered. Returns false when the registry is full; the file is
// then simply not removed on a signal. A temporary folder may be registered
// too: it is removed after the files, when they have left it empty.
bool registerTemporaryFile(const std::string& path, intptr_t folder = -1);
void unregisterTemporaryFile(const std::string& path, intptr_t folder = -1);

// Whether a line (a progress line) stands unfinished on standard error: the
// handler then ends it before its message, so that the message starts a line
// of its own.
void setErrorLineUnfinished(bool unfinished);

// While it lives, the interrupting signals wait: a group of steps (replacing
// two files one after the other) is then either done whole or not begun.
class DeferInterrupts {
public:
    DeferInterrupts();
    ~DeferInterrupts();
    DeferInterrupts(const DeferInterrupts&) = delete;
    DeferInterrupts& operator=(const DeferInterrupts&) = delete;

    // From now on to the end of the process no interrupting signal ends it:
    // those that wait are never delivered, later ones are ignored (for a
    // program that has done its work and only reports it).
    void keepToTheEnd();

private:
    bool active_ = false;
    unsigned char saved_[256]{};  // the previous signal mask (sigset_t fits)
};

}  // namespace lomitra
