#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "scenes/scenes.h"
#include "state/random.h"

// The references pin the clouds of the first start-up. The generator is never reseeded, so a
// later start-up (after a full-screen switch) continues the sequence and scatters other clouds.
TEST(RandomPoints, ALaterStartUpContinuesTheSequence) {
    scatterCloudPoints();
    Vec3 first[kCloudPointCount];
    std::copy(cloudPoints, cloudPoints + kCloudPointCount, first);
    scatterCloudPoints();
    EXPECT_NE(std::memcmp(first, cloudPoints, sizeof(first)), 0);
}
