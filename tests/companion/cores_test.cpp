#include <gtest/gtest.h>
#include <sched.h>

#include <thread>

#include "companion/cores.hpp"

// The cores counted are those the process may run on: a thread narrowed to one processor (as taskset
// or a Slurm allocation narrows a process) counts one.
TEST(UsableCores, FollowTheAffinityMask) {
    cpu_set_t allowed;
    ASSERT_EQ(::sched_getaffinity(0, sizeof allowed, &allowed), 0);
    EXPECT_EQ(smwave::companion::usable_cores(), static_cast<unsigned>(CPU_COUNT(&allowed)));
    int first = 0;
    while (!CPU_ISSET(first, &allowed)) ++first;
    unsigned narrowed = 0;
    std::thread([&] {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(first, &one);
        if (::sched_setaffinity(0, sizeof one, &one) == 0) narrowed = smwave::companion::usable_cores();
    }).join();
    EXPECT_EQ(narrowed, 1u);
}
