#include "scenes/scenes.h"

// Placeholder until the scenes land.
static unsigned int randomState = 1;

int nextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

Vec3 cloudPoints[kCloudPointCount];

void scatterCloudPoints() {
    for (int i = 0; i < 6000; ++i) {
        nextRandom();
    }
}
