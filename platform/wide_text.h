// UTF-8 and UTF-16 (the wide strings of the Windows functions). Windows only.
#pragma once

#include <string>
#include <string_view>

namespace lomitra {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace lomitra
