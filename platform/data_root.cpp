#include "platform/data_root.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iterator>
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

// How many of the show's files lie below `root` as regular files.
int showFilesBelow(const std::string& root) {
    int count = 0;
    struct stat info {};
    for (const char* const file : kShowDataFiles) {
        count += stat(below(root, file).c_str(), &info) == 0 && S_ISREG(info.st_mode) ? 1 : 0;
    }
    return count;
}

bool readable(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    std::FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

// One line naming every file of the set below the root that cannot be read.
void reportUnreadableFiles(const char* const program) {
    std::string unreadable;
    for (const char* const file : kShowDataFiles) {
        const std::string path = below(dataRoot, file);
        if (!readable(path)) {
            unreadable += (unreadable.empty() ? "" : ", ") + path;
        }
    }
    if (!unreadable.empty()) {
        std::fprintf(stderr, "%s: cannot read the show's files %s\n", program, unreadable.c_str());
    }
}

// The folder the user named, with where the name came from, or an empty folder.
struct NamedFolder {
    std::string folder;
    std::string origin;
};

NamedFolder namedFolder(const std::string& option) {
    if (!option.empty()) {
        return {option, "--data " + option};
    }
    const char* const environment = std::getenv("VELLOMIRE_DATA");
    if (environment != nullptr && *environment != '\0') {
        return {environment, std::string("VELLOMIRE_DATA=") + environment};
    }
    return {};
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

// The folders searched when the user names none, in order; "" is the working directory.
std::vector<std::string> dataRootCandidates() {
    std::vector<std::string> candidates;
    const auto add = [&candidates](const std::string& folder) {
        if (std::find(candidates.begin(), candidates.end(), folder) == candidates.end()) {
            candidates.push_back(folder);
        }
    };
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

DataRootChoice chooseDataRoot(const char* const program, const std::string& option) {
    const NamedFolder named = namedFolder(option);
    if (!named.folder.empty()) {
        struct stat info {};
        if (stat(named.folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            std::fprintf(stderr, "%s: %s: no such folder\n", program, named.origin.c_str());
            return DataRootChoice::Refused;
        }
        if (showFilesBelow(named.folder) == 0) {
            std::fprintf(stderr,
                         "%s: %s: the folder holds none of the show's files "
                         "(data/music/track.mp3 and the rest)\n",
                         program, named.origin.c_str());
            return DataRootChoice::Refused;
        }
        dataRoot = named.folder;
        reportUnreadableFiles(program);
        return DataRootChoice::Found;
    }
    const std::vector<std::string> candidates = dataRootCandidates();
    constexpr int kWholeSet = static_cast<int>(std::size(kShowDataFiles));
    for (const std::string& candidate : candidates) {
        if (showFilesBelow(candidate) == kWholeSet) {
            dataRoot = candidate;
            reportUnreadableFiles(program);
            return DataRootChoice::Found;
        }
    }
    std::vector<std::string> tried; // the working directory may also be the program's folder
    std::string names;
    for (const std::string& candidate : candidates) {
        const std::string name = candidate.empty() ? workingDirectory() : candidate;
        if (std::find(tried.begin(), tried.end(), name) == tried.end()) {
            tried.push_back(name);
            names += (names.empty() ? "" : ", ") + name;
        }
    }
    std::fprintf(stderr,
                 "%s: the show's files (data/music/track.mp3 and the rest) are in none of: %s; "
                 "running without them (--data DIR or VELLOMIRE_DATA names their folder)\n",
                 program, names.c_str());
    dataRoot.clear();
    return DataRootChoice::Missing;
}

std::string dataPath(const char* const relative) {
    return below(dataRoot, relative);
}
