// Failed checks of the fuzz targets: the reason on standard error, then
// abort(), which libFuzzer reports as a crash and keeps the input for.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace lomitra::fuzz {

[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

// Fails with `what` unless `condition` holds; `what` is built only on failure.
#define LOMITRA_FUZZ_CHECK(condition, what)        \
    do {                                           \
        if (!(condition)) ::lomitra::fuzz::fail(what); \
    } while (false)

// `text` with bytes outside printable ASCII as \xNN, for the messages.
inline std::string shown(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 32 && c < 127 && c != '\\') {
            out.push_back(ch);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

}  // namespace lomitra::fuzz
