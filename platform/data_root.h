#pragma once
#include <string>

// The show opens its files by relative paths, resolved against one data root chosen at
// start-up. A folder is taken as the root when any of these lies below it: a damaged or partial
// set is still the one meant, while an unrelated data/ folder is passed over.
inline constexpr const char* kShowDataFiles[] = {
    "data/music/track.mp3", "data/textures/particle.png", "data/textures/butterfly.png",
    "data/textures/font.png", "data/3d/torus.obj"};

// Chooses the root for this process: the first folder holding any of the show's files among
// --data (`option`), $VELLOMIRE_DATA, the working directory, the executable's folder and up to
// three parents (a build tree's program folder reaches the repository that way), the prefix
// above the executable's folder + /share/vellomire, and the configured one. When none does,
// writes one line on stderr, prefixed with `program`, naming every folder tried, and keeps the
// working directory: the show then runs without its files. True when the files were found.
bool chooseDataRoot(const char* program, const std::string& option);

// The path to open for `relative`, a path below the data root.
std::string dataPath(const char* relative);
