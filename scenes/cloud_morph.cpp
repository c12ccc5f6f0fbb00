#include "scenes/scenes.h"

// Placeholder until the scene lands.
Vec3 smallCloudPoints[kSmallCloudPointCount];

void scatterSmallCloudPoints() {
    for (int i = 0; i < 6000; ++i) {
        nextRandom();
    }
}

void drawCloudMorph() {}
