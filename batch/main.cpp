// lomitra-batch: converts a text file of points from the command line.
#include <string>
#include <vector>

#include "batch/batch_converter.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return lomitra::batchMain(args, stderr);
}
