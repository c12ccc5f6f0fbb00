#pragma once

// Sets the viewport to width x height at the origin and the projection to a 45-degree
// vertical field of view with the matching aspect ratio, near plane 1, far plane 100.
// Leaves the model-view matrix current and loaded with the identity.
void resizeViewport(int width, int height);
