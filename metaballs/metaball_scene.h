#pragma once

// Scene 6: the metaball surface drawn as sprites.
void drawMetaballScene();

// Start-up: resets the ball centres and takes their 30 draws from nextRandom.
void resetMetaballs();
