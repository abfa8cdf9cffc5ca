// The calling thread's floating-point environment far from the default for
// as long as the object lives: rounding upward and, on x86, the x87 unit's
// precision control at 24 bits (felt by C libraries whose functions use the
// x87 unit, as mingw-w64's do).
#pragma once

#include <cfenv>

#include "core/floating_point_environment.h"

namespace lomitra {

class UnusualFloatingPointEnvironment {
public:
    UnusualFloatingPointEnvironment() : saved_(FloatingPointEnvironment::current()) {
        std::fesetround(FE_UPWARD);
#if defined(__x86_64__) || defined(__i386__)
        unsigned short control = 0;
        __asm__ volatile("fnstcw %0" : "=m"(control));
        control = static_cast<unsigned short>(control & ~0x300u);
        __asm__ volatile("fldcw %0" : : "m"(control));
#endif
    }
    ~UnusualFloatingPointEnvironment() { saved_.apply(); }
    UnusualFloatingPointEnvironment(const UnusualFloatingPointEnvironment&) = delete;
    UnusualFloatingPointEnvironment& operator=(const UnusualFloatingPointEnvironment&) = delete;

private:
    const FloatingPointEnvironment saved_;
};

}  // namespace lomitra
