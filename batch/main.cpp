// lomitra-batch: converts a text file of points from the command line.
#include <csignal>
#include <string>
#include <vector>

#include "batch/batch_converter.h"

int main(int argc, char** argv) {
    // Past a file size limit a write then fails with an error instead of
    // ending the program, so the temporary file is removed and the old result kept.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    return lomitra::batchMain(args, stderr);
}
