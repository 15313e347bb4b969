// Whatever is thrown inside reaches the host as the answer that keeps it safe.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "host/velmora_logic.h"
#include "support/guard.h"

TEST(BoundaryGuard, ThrownInsideAGuardedCallBecomesTheSafeAnswer) {
    NGuard::ArmFaultForTesting(true);
    EXPECT_EQ(-1, GuardedCall<int>(-1, [] { return 0; }));
    NGuard::ArmFaultForTesting(false);
    EXPECT_EQ(7, GuardedCall<int>(-1, [] { return 7; }));
}
