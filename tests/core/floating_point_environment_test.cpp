// A thread takes on another's floating-point environment whole, and the
// environment it had is back when the unusual one ends.
#include <gtest/gtest.h>

#include <cfenv>
#include <thread>

#include "core/floating_point_environment.h"
#include "tests/support/unusual_floating_point_environment.h"

namespace lomitra {
namespace {

TEST(FloatingPointEnvironmentTest, AnotherThreadTakesItOnWhole) {
    const FloatingPointEnvironment usual = FloatingPointEnvironment::current();
    {
        const UnusualFloatingPointEnvironment unusual;
        const FloatingPointEnvironment caller = FloatingPointEnvironment::current();
        EXPECT_FALSE(caller == usual);
        FloatingPointEnvironment seen = usual;
        int rounding = FE_TONEAREST;
        std::thread([&] {
            caller.apply();
            seen = FloatingPointEnvironment::current();
            rounding = std::fegetround();
        }).join();
        EXPECT_TRUE(seen == caller);
        EXPECT_EQ(rounding, FE_UPWARD);
    }
    EXPECT_TRUE(FloatingPointEnvironment::current() == usual);
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}

}  // namespace
}  // namespace lomitra
