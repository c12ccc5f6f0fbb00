#pragma once
// The heads-up line: the clock, the scene, the frame rate, the picture size and the pause,
// written in the bottom letterbox bar with the show's own font (light on black), and under it
// a strip of the whole timeline (its rules as segments, the black-outs as marks, the
// playhead). It never covers the picture between the bars.
#include <string>

struct HeadsUp {
    int clockMs = 0;
    int scene = 0;
    float framesPerSecond = 0.0f; // 0 when not known yet
    int pictureWidth = 0;
    int pictureHeight = 0;
    bool paused = false;
};

// The line as written: "1:46.033  5 cloud morph  60 fps  800x600  paused".
std::string headsUpText(const HeadsUp& line);

// Draws the line and the strip over the bottom bar of the current viewport, taken as the
// 640 x 480 virtual screen (y up). The drawing layer's state is left as it was, but for the
// blend function (every pass that blends sets its own).
void drawHeadsUp(const HeadsUp& line);

// The strip on the virtual screen: the show from 0 to its end, left to right.
inline constexpr float kStripLeft = 24.0f;
inline constexpr float kStripRight = 616.0f;
inline constexpr float kStripBottom = 44.0f;
inline constexpr float kStripTop = 60.0f;
// The top of the bottom letterbox bar.
inline constexpr float kBottomBarTop = 140.0f;

// Where the clock `seconds` lies on the strip, and the clock at strip position `x` (held to
// the show's length outside the strip).
float stripXOf(float seconds);
float stripSecondsAt(float x);
// Whether a point of the virtual screen takes a click on the strip: over it, or a little above
// or below it.
bool onStrip(float x, float y);
