#pragma once
// The two fixed caption lists of the show, walked in order every frame (text/captions.h).
// Times are MusicClock seconds; positions are the lower-left corner of the first glyph on the
// 640 x 480 virtual screen of printText (y up). Lines of one group stand 20 units apart.

// One dark line over the running picture, shown while start < t < end.
struct OverlayCaption {
    float start;
    float end;
    int x;
    int y;
    const char* text;
};

// What a row of the black-out list draws.
enum class BlackoutStep {
    Blackout,      // the screen to black and back: start, end
    FadingCaption, // a light line on the black: start, end, x, y, text
    FinalFade,     // the closing fade, never undone: start
};

struct BlackoutRow {
    BlackoutStep step;
    float start;
    float end;
    int x;
    int y;
    const char* text;
};

inline constexpr int kOverlayCaptionCount = 42;
inline constexpr int kBlackoutRowCount = 38;

// The opening titles, then eight stanzas that accompany their scenes.
extern const OverlayCaption OverlayCaptionTable[kOverlayCaptionCount];
// The black-outs around the cuts, the dialogue and credits written on some, the final fade.
// Every black-out comes before the captions written on it.
extern const BlackoutRow BlackoutTable[kBlackoutRowCount];
