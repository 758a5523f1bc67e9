#include <windows.h>
#include <io.h>

#include <atomic>

#include "tools/play/terminal.h"

namespace {

HANDLE input = INVALID_HANDLE_VALUE;
DWORD savedMode = 0;
bool keysOn = false;
std::atomic<bool> interrupted{false};

BOOL WINAPI OnControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        interrupted = true;
        return TRUE;
    }
    return FALSE;
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

bool StartKeys() {
    if (keysOn) return true;
    input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &savedMode)) return false;
    // Processed input stays on: Ctrl-C still reaches the control handler.
    const DWORD mode = savedMode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT);
    if (!SetConsoleMode(input, mode)) return false;
    keysOn = true;
    return true;
}

void RestoreKeys() {
    if (!keysOn) return;
    SetConsoleMode(input, savedMode);
    keysOn = false;
}

int ReadKey(int timeoutMs) {
    if (!keysOn) {
        Sleep(static_cast<DWORD>(timeoutMs));
        return kNoKey;
    }
    if (WaitForSingleObject(input, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return kNoKey;
    // The console also queues key releases, mouse and focus events: one
    // record is taken per call and only key presses count.
    INPUT_RECORD record{};
    DWORD read = 0;
    if (!ReadConsoleInputA(input, &record, 1, &read) || read == 0) return kNoKey;
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) return kNoKey;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    if (key.wVirtualKeyCode == VK_LEFT) return kKeyLeft;
    if (key.wVirtualKeyCode == VK_RIGHT) return kKeyRight;
    const auto character = static_cast<unsigned char>(key.uChar.AsciiChar);
    return character != 0 ? character : kNoKey;
}

int TerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) {
        const int columns = info.srWindow.Right - info.srWindow.Left + 1;
        if (columns > 0) return columns;
    }
    return 80;
}

void CatchInterrupts() {
    SetConsoleCtrlHandler(OnControl, TRUE);
}

bool Interrupted() {
    return interrupted.load();
}
