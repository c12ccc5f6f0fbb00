#include "scenes/scenes.h"

// Placeholder until the scene lands.
Vec3 sphereDirections[kSphereDirectionCount];

void scatterSphereDirections() {
    for (int i = 0; i < 4800; ++i) {
        nextRandom();
    }
}

void drawParticleSphere() {}
