// The encoding of a whole file, read once from start to end in blocks
// (the rule of text_encoding.h).
#pragma once

#include <string>

#include "core/text_encoding.h"

namespace lomitra {

// False, with the reason (Finnish, UTF-8), when the file cannot be read.
bool detectFileEncoding(const std::string& path, TextEncoding& encoding, std::string& reason);

}  // namespace lomitra
