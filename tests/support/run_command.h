#pragma once
// Runs a shell command for tests of the command-line programs and returns its
// exit status and everything it printed (standard output and error together).
#include <sys/wait.h>

#include <cstdio>
#include <string>

struct RunResult {
    int status;
    std::string output;
};

inline RunResult Execute(const std::string& command) {
    RunResult run{-1, ""};
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[512];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
