#include "scenes/scenes.h"

// The one generator of the show. It starts at 1 and is never reseeded, so the first start-up
// always gives the same shapes and every later start-up continues where the previous one left.
static unsigned int randomState = 1;

int nextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

Vec3 cloudPoints[kCloudPointCount];

// A whole number from -25 to 24, the next of the sequence.
static float nextCloudCoordinate() {
    return static_cast<float>(nextRandom() % 50 - 25);
}

void scatterCloudPoints() {
    for (Vec3& point : cloudPoints) {
        point.x = nextCloudCoordinate();
        point.y = nextCloudCoordinate();
        point.z = nextCloudCoordinate();
    }
}
