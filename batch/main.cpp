// lomitra-batch: converts a text file of points from the command line.
#include <csignal>
#include <string>
#include <vector>

#include "batch/batch_converter.h"
#include "engine/interrupt_cleanup.h"
#include "engine/texts.h"

int main(int argc, char** argv) {
    // Past a file size limit a write then fails with an error instead of
    // ending the program, so the temporary file is removed and the old result kept.
    std::signal(SIGXFSZ, SIG_IGN);
    // Interrupted runs remove their temporary files and end with 128 + the signal.
    lomitra::installInterruptCleanup(lomitra::texts::kBatchInterrupted.data());
    std::vector<std::string> args(argv + 1, argv + argc);
    return lomitra::batchMain(args, stderr);
}
