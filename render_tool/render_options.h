#pragma once
#include <string>

#include "render/picture_target.h"

// What vellomire-render was asked to do, from its command line.
enum class RenderMode { Help, Version, Frame, Sequence, Video, Bench };

struct RenderOptions {
    RenderMode mode = RenderMode::Help;
    double at = 0.0;            // --at: the clock of a single frame
    double from = 0.0;          // --from: first clock of a sequence or video
    double to = 287.0;          // --to: the clock a sequence or video stops before
    int fps = 30;               // --fps
    std::string out;            // --out: frame.png, DIR/ or video.mp4
    bool csv = false;           // --bench --csv
    int benchFrames = 8;        // --bench-frames: frames per scene in --bench
    bool checkGlErrors = false; // --check-gl: glGetError after every frame
    bool headsUp = false;       // --hud: the heads-up line in the bottom bar of every frame
    std::string data;           // --data: the folder holding data/, or empty to search for it
    PictureSize size = kDefaultPictureSize; // --size: the picture the show draws
    // --frame: the size of the saved frames, the picture centred in it on black; 0 x 0 for
    // frames of the picture's own size.
    int frameWidth = 0;
    int frameHeight = 0;
};

// The largest --frame: 7680 x 4320.
inline constexpr int kLargestFrameWidth = 7680;
inline constexpr int kLargestFrameHeight = 4320;

inline constexpr double kShowLength = 287.0;

// Parses argv. False with a one-line message in `error` for anything unusable.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions* options,
                        std::string* error);

// The text of --help.
const char* renderUsage();

// The size of the saved frames: --frame, or the picture's size.
int savedFrameWidth(const RenderOptions& options);
int savedFrameHeight(const RenderOptions& options);

// Frames of a sequence: one per 1/fps from `from`, stopping before `to`.
int sequenceFrameCount(const RenderOptions& options);
