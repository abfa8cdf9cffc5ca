// lomitra-batch's start on POSIX systems: the arguments are bytes already.
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

#include "batch/process_start.h"
#include "core/texts.h"
#include "platform/interrupt_cleanup.h"

namespace lomitra {

ProcessStart startProcess(int argc, char** argv) {
    ProcessStart start;
    // First of all: a closed standard descriptor would be the number of the
    // next file opened, and that file would be read as standard input or
    // written as standard output.
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        start.closedAtStart[static_cast<std::size_t>(fd)] = true;
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
    // Past a file size limit a write then fails with an error instead of
    // ending the program, so the temporary file is removed and the old result kept.
    std::signal(SIGXFSZ, SIG_IGN);
    installInterruptCleanup(texts::kBatchInterrupted.data());
    start.args.assign(argv + 1, argv + argc);
    return start;
}

}  // namespace lomitra
