#include <unistd.h>

#include "tools/xm2wav/terminal.h"

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

void UseBinaryMode(std::FILE*) {}
