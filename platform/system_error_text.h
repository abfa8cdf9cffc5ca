// The reason of a failed system call (an errno value) in Finnish, for the
// messages of file actions. Common reasons have a text of their own; any
// other is the system's own description.
#pragma once

#include <string>

namespace lomitra {

std::string systemErrorText(int errorNumber);

}  // namespace lomitra
