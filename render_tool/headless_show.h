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

// primeFramesAt (demo/frame.h) with this show's frames.
void primeShowAt(double seconds);

// The last frame's picture as RGB bytes, bottom row first, pictureSize() large.
void readShowPicture(std::vector<std::uint8_t>* rgb);

// Waits for the GL to finish the frame (for timing).
void finishShowFrame();

// The first GL error of the last frame (0 for none) when error checks are on, and the pass it
// followed (a draw call, the clear, a copy of the picture, ...).
unsigned int lastShowGlError();
const char* lastShowGlErrorPass();
