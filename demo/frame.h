#pragma once

// The scene drawn by the next frame; 0 at program start.
extern int CurrentScene;

// One rule of the timeline: while start < MusicClock < end (strictly), the scene is `scene`.
struct SceneRule {
    float start;
    float end;
    int scene;
};

inline constexpr int kSceneRuleCount = 15;
extern const SceneRule SceneTimeline[kSceneRuleCount];

// The clock past which the show ends.
inline constexpr float kShowEnd = 287.0f;

// One frame: clock, clear, scene, timeline, glow, captions, black-outs, letterbox, spectrum,
// and the end of the show once the clock has passed kShowEnd.
void drawFrame();

// drawFrame with `drawPicture` in place of the scene step (the fill-rate floor of the bench
// draws captured geometry there); drawFrame is drawFrameUsing(drawCurrentScene).
void drawFrameUsing(void (*drawPicture)());
void drawCurrentScene();

// Draws scene `scene` of the scene table; numbers without a scene draw nothing.
void drawScene(int scene);

// Applies the timeline to `clock`: the scene of the rule that fires, or `current` when none does.
int chooseScene(float clock, int current);

// The last rule of the timeline that starts before `clock`, null before the first. A show
// running on from the start shows its scene at `clock`, also in a gap between rules, on a
// boundary and after the last rule, where none fires and the scene of that rule stays on.
const SceneRule* lastRuleStartedBefore(float clock);

// The short name of scene `scene` ("butterfly"); empty for numbers without a scene.
const char* sceneName(int scene);

// Unrecorded frames before the first frame drawn at `seconds`, so that it shows what a show
// running from the start shows there: the scene of the last rule of the timeline that began
// before it, also where no rule fires (a gap, a boundary, after the last rule). When the
// timeline would not choose that scene from CurrentScene, one frame one millisecond into the
// rule; then one at `seconds` (which chooses the scene and reads the spectrum of that time).
// `placeMusic` puts the host's music at the seconds it is given, and the music is left at
// `seconds`. The drifting clouds of the first and the last scene move with these frames, as
// with every frame drawn.
void primeFrameAt(double seconds, void (*placeMusic)(double seconds));

// What happens when a frame finds the clock past kShowEnd. The default ends the process with
// status 0; the window shell restores the desktop first, the render tool and the tests record
// the end instead and drawFrame returns.
using ShowEndHandler = void (*)();
void setShowEndHandler(ShowEndHandler handler);
