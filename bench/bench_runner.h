#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Helpers for benchmark programs that time a fresh process: the program
// starts itself again with a child argument, the child prints the monotonic
// clock (nanoseconds) at the moment it cares about, and the parent takes the
// difference from just before it started the child.

// Monotonic clock in nanoseconds, comparable across processes.
std::int64_t MonotonicNs();

// In the child: reports the event time to the parent. Call once.
void ReportEvent();

// In the parent: starts `program` with `args`, waits for it, and returns the
// milliseconds from the start to the reported event, or a negative value when
// the child failed or reported nothing.
double TimeChildEventMs(const std::string& program, const std::vector<std::string>& args);

// Prints "name: median X unit (min, max, n)" on one line.
void PrintFigure(const char* name, std::vector<double> samples, const char* unit,
                 const char* setting);
