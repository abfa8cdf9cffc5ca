// lomitra-batch: converts a text file of points from the command line.
#include "batch/batch_converter.h"
#include "batch/process_start.h"

int main(int argc, char** argv) {
    const lomitra::ProcessStart start = lomitra::startProcess(argc, argv);
    return lomitra::batchMain(start.args, stderr, start.closedAtStart);
}
