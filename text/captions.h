#pragma once
// The captions and fades of the show, pure functions of MusicClock (t): each routine decides by
// itself whether it shows in this frame and how strongly, so they follow the music when it is
// moved. The lists they draw are in text/caption_tables.h.

// Dark set-0 text multiplied into the picture while start < t < end. Leaves blending disabled
// and the colour white.
void drawPlainCaption(float start, float end, int x, int y, const char* text);

// Light set-1 text added in proportion to alpha while start < t < end + 5: alpha fades in over
// the second after start and out over the second after end. Leaves blending disabled and the
// colour opaque white.
void drawFadingCaption(float start, float end, int x, int y, const char* text);

// A black quad over the whole screen while start < t < end + 5, its alpha fading in over the
// second after start and out over the second after end. Leaves blending disabled and the colour
// opaque white.
void drawBlackout(float start, float end);

// A black quad over the whole screen once t > start, its alpha reaching 1 five seconds later.
void drawFinalFade(float start);

// Frame steps: the caption list over the scene, then the black-outs with their captions.
void drawOverlayCaptions();
void drawBlackoutCaptions();
