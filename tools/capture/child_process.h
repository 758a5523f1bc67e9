#pragma once
// A helper program started with its arguments (no shell), optionally fed
// through its standard input.
#include <cstddef>
#include <string>
#include <vector>

// The program's full path if it is on PATH, else an empty string.
std::string FindOnPath(const std::string& name);

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // args[0] is the program. False with a reason when it cannot start.
    bool start(const std::vector<std::string>& args, bool feedInput, std::string* error);
    // False once the program has stopped reading.
    bool write(const void* data, std::size_t bytes);
    // Closes its input and waits; true when it exited with status 0.
    bool wait();

private:
    int pid_ = -1;
    int input_ = -1;
};
