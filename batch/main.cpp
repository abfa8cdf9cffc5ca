// lomitra-batch: converts a text file of points from the command line.
#include "batch/batch_converter.h"
#include "batch/process_start.h"

int main(int argc, char** argv) {
    return lomitra::batchMain(lomitra::startProcess(argc, argv), stderr);
}
