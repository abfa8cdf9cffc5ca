// lomitra-batch's start on POSIX systems: the arguments are bytes already.
#include <csignal>

#include "batch/process_start.h"
#include "engine/interrupt_cleanup.h"
#include "engine/texts.h"

namespace lomitra {

std::vector<std::string> startProcess(int argc, char** argv) {
    // Past a file size limit a write then fails with an error instead of
    // ending the program, so the temporary file is removed and the old result kept.
    std::signal(SIGXFSZ, SIG_IGN);
    installInterruptCleanup(texts::kBatchInterrupted.data());
    return {argv + 1, argv + argc};
}

}  // namespace lomitra
