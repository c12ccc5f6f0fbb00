#include "scenes/scenes.h"

#include "state/random.h"

Vec3 cloudPoints[kCloudPointCount];

// A whole number from -25 to 24, the next of the sequence.
static float nextCloudCoordinate() {
    return static_cast<float>(nextRandom() % 50 - 25);
}

void scatterPoints(Vec3* const points, const int count, float (*const coordinate)()) {
    for (int i = 0; i < count; ++i) {
        points[i].x = coordinate();
        points[i].y = coordinate();
        points[i].z = coordinate();
    }
}

void scatterCloudPoints() {
    scatterPoints(cloudPoints, kCloudPointCount, nextCloudCoordinate);
}
