#pragma once

// Scene 6: the metaball surface for the current MusicClock, every corner of every surface
// triangle drawn as a particle sprite in a slowly tumbling frame. Leaves GL_TEXTURE_2D enabled
// and the scene's view transform on the model-view matrix.
void drawMetaballScene();

// Start-up: sets every ball centre to the origin and takes three draws from nextRandom per
// ball (30 in all), so that a later start-up continues the random sequence where it should.
void resetMetaballs();

// The steps of one frame, in the order drawMetaballScene runs them.
// Puts the ten balls on their paths at time t (seconds).
void moveMetaballs(float t);
// Clears the field's cache and the polygonizer, then traces the surface from a seed near each
// ball in turn.
void buildMetaballMesh();
// Sets the view for time t and draws one sprite per stored mesh corner, in buffer order.
void drawMetaballMesh(float t);
