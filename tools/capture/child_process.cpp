#include "tools/capture/child_process.h"

#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

extern char** environ;

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return "";
    const std::string list = path;
    std::size_t begin = 0;
    while (begin <= list.size()) {
        std::size_t end = list.find(':', begin);
        if (end == std::string::npos) end = list.size();
        if (end > begin) {
            const std::string candidate = list.substr(begin, end - begin) + "/" + name;
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
        begin = end + 1;
    }
    return "";
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) wait();
}

bool ChildProcess::start(const std::vector<std::string>& args, bool feedInput, std::string* error) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (feedInput) {
        if (pipe(fds) != 0) {
            *error = std::string("cannot make a pipe: ") + std::strerror(errno);
            posix_spawn_file_actions_destroy(&actions);
            return false;
        }
        posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
    }
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (feedInput) close(fds[0]);
    if (failed != 0) {
        if (feedInput) close(fds[1]);
        *error = "cannot start " + args[0] + ": " + std::strerror(failed);
        return false;
    }
    pid_ = pid;
    input_ = feedInput ? fds[1] : -1;
    return true;
}

bool ChildProcess::write(const void* data, std::size_t bytes) {
    const auto* at = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t done = ::write(input_, at, bytes);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        at += done;
        bytes -= static_cast<std::size_t>(done);
    }
    return true;
}

bool ChildProcess::wait() {
    if (input_ >= 0) {
        close(input_);
        input_ = -1;
    }
    if (pid_ <= 0) return false;
    int status = 0;
    pid_t got;
    do {
        got = waitpid(pid_, &status, 0);
    } while (got < 0 && errno == EINTR);
    pid_ = -1;
    return got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
