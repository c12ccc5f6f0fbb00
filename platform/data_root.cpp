#include "platform/data_root.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifndef VELLOMIRE_INSTALLED_DATA
#define VELLOMIRE_INSTALLED_DATA "/usr/local/share/vellomire"
#endif

namespace {

// "" is the working directory, which keeps every path exactly as the show names it.
std::string dataRoot;

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return "";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string below(const std::string& root, const char* relative) {
    if (root.empty()) {
        return relative;
    }
    return root.back() == '/' ? root + relative : root + "/" + relative;
}

bool holdsShowFiles(const std::string& root) {
    struct stat info {};
    for (const char* const file : kShowDataFiles) {
        if (stat(below(root, file).c_str(), &info) == 0) {
            return true;
        }
    }
    return false;
}

std::string executablePath() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

std::string workingDirectory() {
    char path[PATH_MAX];
    return getcwd(path, sizeof(path)) != nullptr ? path : ".";
}

// The folders to try, in order; "" is the working directory.
std::vector<std::string> dataRootCandidates(const std::string& option) {
    std::vector<std::string> candidates;
    const auto add = [&candidates](const std::string& folder) {
        if (std::find(candidates.begin(), candidates.end(), folder) == candidates.end()) {
            candidates.push_back(folder);
        }
    };
    const char* const environment = std::getenv("VELLOMIRE_DATA");
    if (!option.empty()) {
        add(option);
    }
    if (environment != nullptr && *environment != '\0') {
        add(environment);
    }
    add("");
    const std::string programFolder = parentOf(executablePath());
    if (!programFolder.empty()) {
        std::string folder = programFolder;
        for (int level = 0; level <= 3; ++level) {
            add(folder);
            if (folder == "/") {
                break;
            }
            folder = parentOf(folder);
        }
        add(below(parentOf(programFolder), "share/vellomire"));
    }
    add(VELLOMIRE_INSTALLED_DATA);
    return candidates;
}

} // namespace

bool chooseDataRoot(const char* const program, const std::string& option) {
    const std::vector<std::string> candidates = dataRootCandidates(option);
    for (const std::string& candidate : candidates) {
        if (holdsShowFiles(candidate)) {
            dataRoot = candidate;
            return true;
        }
    }
    std::vector<std::string> named; // the working directory may also be the program's folder
    std::string tried;
    for (const std::string& candidate : candidates) {
        const std::string name = candidate.empty() ? workingDirectory() : candidate;
        if (std::find(named.begin(), named.end(), name) == named.end()) {
            named.push_back(name);
            tried += (tried.empty() ? "" : ", ") + name;
        }
    }
    std::fprintf(stderr,
                 "%s: the show's files (data/music/track.mp3 and the rest) are in none of: %s; "
                 "running without them (--data DIR or VELLOMIRE_DATA names their folder)\n",
                 program, tried.c_str());
    dataRoot.clear();
    return false;
}

std::string dataPath(const char* const relative) {
    return below(dataRoot, relative);
}
