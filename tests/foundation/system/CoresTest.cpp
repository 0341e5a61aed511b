#include "base/system/Cores.h"

#include <gtest/gtest.h>

#include <sched.h>

namespace {

// A CPU set narrower than the machine is what counts: one core allowed, one core used.
TEST(Cores, TheCpuSetCounts) {
    cpu_set_t all;
    CPU_ZERO(&all);
    ASSERT_EQ(::sched_getaffinity(0, sizeof all, &all), 0);
    EXPECT_EQ(base::system::UsableCores(), static_cast<unsigned>(CPU_COUNT(&all)));

    int first = 0;
    while (!CPU_ISSET(first, &all)) ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(::sched_setaffinity(0, sizeof one, &one), 0);
    const unsigned narrowed = base::system::UsableCores();
    ASSERT_EQ(::sched_setaffinity(0, sizeof all, &all), 0);
    EXPECT_EQ(narrowed, 1u);
}

}  // namespace
