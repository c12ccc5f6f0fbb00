#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The show run headless: an EGL context, the picture target at the picture size (set before
// opening), the whole start-up,
// and a clock the caller steps.
bool openHeadlessShow(bool checkGlErrors, std::string* error);
void closeHeadlessShow();

// Draws one frame at `seconds` of music. False once the frame routine has reached the end
// of the show, or (with GL error checks on) when the frame raised a GL error.
bool drawShowFrame(double seconds);

// Unrecorded frames before the first frame drawn at `seconds`, so that it shows what a show
// running from the start shows there: the scene of the last rule of the timeline that began
// before it, also where no rule fires (a gap, a boundary, after the last rule). The drifting
// clouds of the first and the last scene are left as these frames move them, not as the
// frames before would have.
void primeShowAt(double seconds);

// Draws the heads-up line into the last frame's bottom bar, with `framesPerSecond` as the rate.
void drawShowHeadsUp(float framesPerSecond);

// The last frame's picture as RGB bytes, bottom row first, pictureSize() large.
void readShowPicture(std::vector<std::uint8_t>* rgb);

// Waits for the GL to finish the frame (for timing).
void finishShowFrame();

// The first GL error of the last frame (0 for none) when error checks are on, and the pass it
// followed (a draw call, the clear, a copy of the picture, ...).
unsigned int lastShowGlError();
const char* lastShowGlErrorPass();
