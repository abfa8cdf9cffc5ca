// The floating-point environment of a thread (rounding; on x86 also the x87
// unit's precision and the exception masks), for worker threads that must
// compute the same bits as the thread that made them. A POSIX thread inherits
// its maker's environment; a Windows thread starts from the system's default.
#pragma once

#include <cfenv>
#include <cstdint>

namespace lomitra {

class FloatingPointEnvironment {
public:
    // The calling thread's environment.
    static FloatingPointEnvironment current();
    // Makes it the calling thread's environment.
    void apply() const;

    bool operator==(const FloatingPointEnvironment&) const;

private:
#if defined(__x86_64__) || defined(__i386__)
    // Both units are taken one by one: mingw-w64's fegetenv and fesetenv
    // leave the SSE register alone.
    uint16_t x87Control_ = 0;  // precision, rounding and exception masks
    uint32_t sseControl_ = 0;  // MXCSR without its sticky exception flags
#else
    int rounding_ = 0;
    std::fenv_t environment_{};
#endif
};

}  // namespace lomitra
