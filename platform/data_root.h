#pragma once
#include <string>

// The show opens its files by relative paths, resolved against one data root chosen at
// start-up: a folder below which these lie (the larger textures are optional).
inline constexpr const char* kShowDataFiles[] = {
    "data/music/track.mp3", "data/textures/particle.png", "data/textures/butterfly.png",
    "data/textures/font.png", "data/3d/torus.obj"};

enum class DataRootChoice {
    Found,   // a folder was chosen
    Missing, // no folder holds the files: the show runs without them
    Refused, // the folder the user named holds none of them: the program is to end
};

// Chooses the root for this process. A folder the user names, with --data (`option`) or else
// $VELLOMIRE_DATA, is taken whatever part of the files it holds, and refused when it holds none
// (or does not exist): one line on stderr, prefixed with `program`, names it and what it
// lacks. Otherwise the first folder holding every one of the files is taken among the working
// directory, the executable's folder and up to three parents (a build tree's program folder
// reaches the repository that way), the prefix above the executable's folder +
// /share/vellomire, and the configured one; a folder holding only some of them is passed over,
// so that a stray file cannot shadow the installed show. When none does, one line on stderr
// names every folder tried and the working directory is kept. Once a root is chosen, one line
// on stderr names every file of the set below it that cannot be read.
DataRootChoice chooseDataRoot(const char* program, const std::string& option);

// The path to open for `relative`, a path below the data root.
std::string dataPath(const char* relative);
