#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tools/play/terminal.h"

namespace {

termios saved{};
bool keysOn = false;
volatile sig_atomic_t interrupted = 0;

// Bytes read but not yet handed out: one read may bring several keys.
unsigned char pending[64];
int pendingCount = 0;

void OnSignal(int) {
    interrupted = 1;
}

void Drop(int count) {
    for (int i = count; i < pendingCount; ++i) pending[i - count] = pending[i];
    pendingCount -= count;
}

bool ReadAvailable(int timeoutMs) {
    pollfd in{STDIN_FILENO, POLLIN, 0};
    if (poll(&in, 1, timeoutMs) <= 0 || !(in.revents & POLLIN)) return false;
    const ssize_t got = read(STDIN_FILENO, pending + pendingCount, sizeof pending - pendingCount);
    if (got <= 0) return false;
    pendingCount += static_cast<int>(got);
    return true;
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

bool StartKeys() {
    if (keysOn) return true;
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) return false;
    termios raw = saved;
    // Signals stay on: Ctrl-C still interrupts, and the player answers it.
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) return false;
    keysOn = true;
    return true;
}

void RestoreKeys() {
    if (!keysOn) return;
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    keysOn = false;
}

int ReadKey(int timeoutMs) {
    if (!keysOn) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return kNoKey;
    }
    if (pendingCount == 0 && !ReadAvailable(timeoutMs)) return kNoKey;
    // An arrow comes as ESC [ C or ESC O C, possibly split across reads.
    if (pending[0] == 0x1B) {
        while (pendingCount < 3 && ReadAvailable(20)) {
        }
        if (pendingCount >= 3 && (pending[1] == '[' || pending[1] == 'O')) {
            const unsigned char final = pending[2];
            Drop(3);
            if (final == 'C') return kKeyRight;
            if (final == 'D') return kKeyLeft;
            return kNoKey;
        }
    }
    const int key = pending[0];
    Drop(1);
    return key;
}

int TerminalColumns() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

void CatchInterrupts() {
    struct sigaction action{};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: the wait for a key ends at once.
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool Interrupted() {
    return interrupted != 0;
}
