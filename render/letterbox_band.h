#pragma once

// The rows of the picture that the letterbox leaves open, counted from the bottom as the GL
// counts them, [first, end): the band between the bars, 140 and 340 of the overlay's 480 rows
// (175 to 425 of 600), with a row the bars cover only in part counted open. Every frame paints
// the rows outside them black at its end, so the passes before may skip those rows, except
// for the margin that the glow reads to make the open rows.
struct PictureRows {
    int first;
    int end;
};
PictureRows openPictureRows();

// The rows the scene's sprites draw (and the glow copies) in a culled frame, and the half-size
// rows the glow works on. The open rows show the half-size rows under them stretched; those
// are blurred from the rows up to the blur's reach beyond them (kCulledBlurReach taps of
// pictureScale() half-size rows each, plus one for the linear filter), which are downscaled
// from the picture rows twice as far out.
PictureRows sceneRows();
PictureRows glowHalfRows();
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

// True in a culled frame where the drawing layer's account of the depth written leaves no pixel
// under the bars at or nearer than their depth: the bars then paint every pixel of their rows.
bool barsHideTheirRows();
