#pragma once
#include <cstdint>

// Builds a program from one vertex shader given as text and its length in
// bytes (the text need not end with a NUL). Always returns a program object;
// it is linked only when the shader compiled, otherwise the compile log is
// printed as "error in vertex shader: ..." and nothing is attached.
std::uint32_t CreateShaderProgram(const char* source, std::int32_t length);

// Prints the object's info log as "error in <label>: <log>"; nothing when the
// log is empty.
void PrintInfoLog(std::uint32_t object, const char* label);

// The location of a uniform. When GL reports an error for the query, prints
// "unable to find <name> " and returns -1. A name that is merely not an active
// uniform gives -1 silently.
std::int32_t FindUniform(std::uint32_t program, const char* name);
