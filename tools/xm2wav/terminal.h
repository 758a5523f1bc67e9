#pragma once
// The little the renderer asks of the console; one file per platform.
#include <cstdio>

bool IsTerminal(std::FILE* stream);
// Standard output carries raw PCM: no newline translation.
void UseBinaryMode(std::FILE* stream);
