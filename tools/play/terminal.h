#pragma once
// The little the player asks of the console: single keys without echo, the
// width for the status line, and Ctrl-C as a request the player answers
// itself, so that the console is put back whichever way the program ends.
// One file per platform.
#include <cstdio>

bool IsTerminal(std::FILE* stream);

// Puts standard input into single-key mode without echo; false when it is
// no terminal. RestoreKeys undoes it and may be called any number of times.
bool StartKeys();
void RestoreKeys();

// Keys beside the characters.
constexpr int kNoKey = -1;
constexpr int kKeyLeft = 0x100;
constexpr int kKeyRight = 0x101;

// Waits up to timeoutMs for one key; kNoKey when none came (or input is not
// in key mode, which then just waits).
int ReadKey(int timeoutMs);

// Columns of the terminal on standard output; 80 when it does not say.
int TerminalColumns();

// From now on Ctrl-C and requests to terminate only raise Interrupted().
void CatchInterrupts();
bool Interrupted();
