// What lomitra-batch sets up before anything else, the system's own way.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace lomitra {

struct ProcessStart {
    std::vector<std::string> args;  // the arguments after the program name, UTF-8
    // Standard input, output and error (descriptors 0, 1, 2) that were closed
    // when the program started. Each is then opened on the null device, so
    // that no file of the program takes its number (POSIX systems).
    std::array<bool, 3> closedAtStart{};
};

// Prepares the process (closed standard descriptors on the null device,
// standard streams that pass bytes unchanged, a full disk or a file size
// limit reported as a failed write, interrupts that remove temporary files)
// before anything else opens a file.
ProcessStart startProcess(int argc, char** argv);

}  // namespace lomitra
