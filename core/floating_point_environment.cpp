#include "core/floating_point_environment.h"

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

namespace lomitra {

#if defined(__x86_64__) || defined(__i386__)

namespace {
constexpr uint32_t kSseExceptionFlags = 0x3F;  // set by the arithmetic itself
}  // namespace

FloatingPointEnvironment FloatingPointEnvironment::current() {
    FloatingPointEnvironment e;
    __asm__ volatile("fnstcw %0" : "=m"(e.x87Control_));
    e.sseControl_ = _mm_getcsr() & ~kSseExceptionFlags;
    return e;
}

void FloatingPointEnvironment::apply() const {
    __asm__ volatile("fldcw %0" : : "m"(x87Control_));
    _mm_setcsr(sseControl_ | (_mm_getcsr() & kSseExceptionFlags));
}

bool FloatingPointEnvironment::operator==(const FloatingPointEnvironment& other) const {
    return x87Control_ == other.x87Control_ && sseControl_ == other.sseControl_;
}

#else

FloatingPointEnvironment FloatingPointEnvironment::current() {
    FloatingPointEnvironment e;
    e.rounding_ = std::fegetround();
    std::fegetenv(&e.environment_);
    return e;
}

void FloatingPointEnvironment::apply() const { std::fesetenv(&environment_); }

// Elsewhere the environment is opaque: only its rounding is compared.
bool FloatingPointEnvironment::operator==(const FloatingPointEnvironment& other) const {
    return rounding_ == other.rounding_;
}

#endif

}  // namespace lomitra
