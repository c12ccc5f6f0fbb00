#pragma once

// The rows of the 800 x 600 picture that the letterbox leaves open, counted from the bottom
// as the GL counts them, [first, end). Every frame paints the rows outside them black at its
// end, so the passes before may skip those rows, except for the margin that the glow reads to
// make the open rows (its half-size blur reaches 5 rows beyond them).
struct PictureRows {
    int first;
    int end;
};
inline constexpr PictureRows kOpenPictureRows{175, 425};

// The rows the scene's sprites draw (and the glow copies) in a culled frame, and the half-size
// rows the glow works on. The open rows show half-size rows 87 to 212 stretched; those are
// blurred from rows up to the blur's reach beyond them (inside 83 to 215 for a reach of 3),
// which are downscaled from picture rows 166 to 431.
inline constexpr PictureRows kSceneRows{kOpenPictureRows.first - 10, kOpenPictureRows.end + 10};
inline constexpr PictureRows kGlowHalfRows{(kOpenPictureRows.first - 8) / 2,
                                           (kOpenPictureRows.end + 8) / 2};
inline constexpr int kCulledBlurReach = 3;

// Whether frames skip the rows under the letterbox (on by default). Off draws them in full:
// the same finished picture, at the cost of the hidden rows.
void setLetterboxCulling(bool on);
bool letterboxCulling();

// The frame's side. beginCulledFrame, right after the clear: with culling on, the scissor
// test off and the viewport the whole picture, opens a culled frame and returns true
// (otherwise returns false); endCulledFrame, after the letterbox, closes it and puts the
// scissor box back.
bool beginCulledFrame();
void endCulledFrame(bool culled);

// The passes' side: true inside a culled frame.
bool inCulledFrame();
// Enables the scissor test on `rows` across the picture; disableRowScissor turns it off.
void scissorRows(PictureRows rows);
void disableRowScissor();

// The letterbox bars are drawn with the depth test at the middle of the depth range, so a
// pixel whose depth is nearer than that shows the scene through them. True when any pixel
// under the bars is that near (then the rows under the bars are seen and not skipped).
bool sceneShowsThroughBars();
