#pragma once
#include <cstdio>
#include <string>
#include <sys/wait.h>

// What a shell command printed and how it ended.
struct CommandRun {
    int status;         // exit status, -1 when it did not exit normally
    std::string output; // what it wrote on standard output
};

// Runs `command` through the shell and collects its standard output.
inline CommandRun runCommand(const std::string& command) {
    CommandRun run{-1, ""};
    FILE* const pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) {
        run.output.append(chunk, got);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
