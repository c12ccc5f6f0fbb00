#include "metaballs/metaball_scene.h"

#include "scenes/scenes.h"

// Placeholder until the metaballs land: the reset still takes its 30 draws so that later
// start-ups continue the random sequence where they should.
void drawMetaballScene() {}

void resetMetaballs() {
    for (int draw = 0; draw < 30; ++draw) {
        nextRandom();
    }
}
