#pragma once
#include <string>
#include <vector>

// The show opens its files by relative paths ("data/music/track.mp3", "data/textures/...",
// "data/3d/torus.obj"), resolved against one data root chosen at start-up. A folder holds the
// show's files when kDataMarker lies below it.
inline constexpr const char* kDataMarker = "data/music/track.mp3";

// What the search starts from.
struct DataRootSearch {
    std::string option;      // --data DIR, or empty
    std::string environment; // $VELLOMIRE_DATA, or empty
    std::string executable;  // the running program's path (/proc/self/exe), or empty
    std::string installed;   // the configured <prefix>/share/vellomire
};

// The folders tried, in order: --data, $VELLOMIRE_DATA, the working directory (""), the
// executable's folder and up to three parents (a build tree's program folder reaches the
// repository that way), <the executable's prefix>/share/vellomire, then the configured one.
std::vector<std::string> dataRootCandidates(const DataRootSearch& search);

// Chooses the root for this process from its command-line option, its environment and its own
// location. When no candidate holds the show's files, writes one line on stderr, prefixed with
// `program`, naming every folder tried, and keeps the working directory: the show then runs
// without its files. True when the files were found.
bool chooseDataRoot(const char* program, const std::string& option);

// The path to open for `relative`, a path below the data root.
std::string dataPath(const char* relative);
