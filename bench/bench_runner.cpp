#include "bench/bench_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

std::int64_t MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void ReportEvent() {
    // Taken first: the write itself is not part of what is measured.
    const std::int64_t now = MonotonicNs();
    std::printf("event %lld\n", static_cast<long long>(now));
    std::fflush(stdout);
}

double TimeChildEventMs(const std::string& program, const std::vector<std::string>& args) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1.0;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    const std::int64_t start = MonotonicNs();
    const pid_t child = fork();
    if (child < 0) return -1.0;
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[256];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) output.append(buffer, got);
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;

    const std::size_t at = output.rfind("event ");
    if (at == std::string::npos) return -1.0;
    const long long event = std::strtoll(output.c_str() + at + 6, nullptr, 10);
    return static_cast<double>(event - start) / 1e6;
}

void PrintFigure(const char* name, std::vector<double> samples, const char* unit,
                 const char* setting) {
    if (samples.empty()) {
        std::printf("%s: no samples (%s)\n", name, setting);
        return;
    }
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    std::printf("%s: median %.1f %s (min %.1f, max %.1f, n=%zu; %s)\n", name, median, unit,
                samples.front(), samples.back(), samples.size(), setting);
}
