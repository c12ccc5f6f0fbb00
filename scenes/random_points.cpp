#include "scenes/scenes.h"

#include "state/random.h"

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
