// What lomitra-batch sets up before anything else, the system's own way.
#pragma once

#include <string>
#include <vector>

namespace lomitra {

// Prepares the process (standard streams that pass bytes unchanged, a full
// disk or a file size limit reported as a failed write, interrupts that
// remove temporary files) and returns the arguments after the program name
// as UTF-8.
std::vector<std::string> startProcess(int argc, char** argv);

}  // namespace lomitra
