#pragma once
// Finding the other programs that tests and benchmarks run, and a place for
// the files they exchange.
#include <unistd.h>

#include <cstdlib>
#include <string>

// $TMPDIR or /tmp, with a trailing slash.
inline std::string TempDir() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/";
}

// The program's path if it is on PATH, or an empty string.
inline std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return "";
    const std::string list = path;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        const std::string candidate = list.substr(start, end - start) + "/" + name;
        if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}
