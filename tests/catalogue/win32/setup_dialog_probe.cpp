// Runs the setup step on a real (or Wine's) USER32 and inspects the hidden
// setup window it leaves behind. Prints one line per failed check; the exit
// status is the number of failures.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "shell/win32/setup_dialog.h"

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("FAIL: %s\n", what.c_str());
        ++failures;
    }
}

class ProbeGui final : public Gui {
public:
    std::uint32_t time() override { return 0; }
    bool init(std::uint32_t, std::uint32_t) override { return true; }
    void shutdown() override {}
    void present() override {}
};

std::string Format(const char* format, int a, int b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::vector<std::string> ListRows(HWND dialog, int id) {
    std::vector<std::string> rows;
    LRESULT count = SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        if (SendDlgItemMessageA(dialog, id, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < 255)
            SendDlgItemMessageA(dialog, id, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        rows.push_back(text);
    }
    return rows;
}

std::string Joined(const std::vector<std::string>& rows) {
    std::string all;
    for (const std::string& row : rows)
        all += (all.empty() ? "" : ", ") + row;
    return "[" + all + "]";
}

// Sends a message with standard output diverted to a file; returns what the
// window procedure printed.
std::string CapturedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char directory[MAX_PATH];
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, "sdp", 0, path);
    std::fflush(stdout);
    int saved = _dup(1);
    int file = _open(path, _O_WRONLY | _O_TRUNC | _O_BINARY);
    _dup2(file, 1);
    SendMessageA(window, message, wParam, lParam);
    std::fflush(stdout);
    _dup2(saved, 1);
    _close(file);
    _close(saved);
    std::string text;
    if (FILE* in = std::fopen(path, "rb")) {
        char buffer[512];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
            text.append(buffer, n);
        std::fclose(in);
    }
    DeleteFileA(path);
    return text;
}

bool QuitPosted(WPARAM* code) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    *code = message.wParam;
    return true;
}

// What the catalogue should hold, worked out from the system's own answers:
// the desktop mode first, then every enumerated mode, 32-bit ones only.
struct Expected {
    std::vector<std::pair<int, int>> resolutions;  // ascending
    std::vector<std::pair<std::pair<int, int>, std::vector<int>>> rates;
    void add(int width, int height, int rate) {
        std::pair<int, int> r{width, height};
        auto at = resolutions.begin();
        while (at != resolutions.end() && *at < r)
            ++at;
        if (at == resolutions.end() || *at != r)
            resolutions.insert(at, r);
        for (auto& entry : rates) {
            if (entry.first == r) {
                for (int known : entry.second)
                    if (known == rate)
                        return;
                entry.second.push_back(rate);
                return;
            }
        }
        rates.push_back({r, {rate}});
    }
    std::vector<int> ratesOf(std::pair<int, int> r) const {
        for (const auto& entry : rates)
            if (entry.first == r)
                return entry.second;
        return {};
    }
};

Expected ExpectedCatalogue() {
    Expected expected;
    HDC screen = GetDC(nullptr);
    if (GetDeviceCaps(screen, BITSPIXEL) == 32)
        expected.add(GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES), GetDeviceCaps(screen, VREFRESH));
    ReleaseDC(nullptr, screen);
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (DWORD n = 0; EnumDisplaySettingsA(nullptr, n, &mode); ++n)
        if (mode.dmBitsPerPel == 32)
            expected.add(static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight),
                         static_cast<int>(mode.dmDisplayFrequency));
    return expected;
}

struct ControlExpectation {
    const char* className;
    const char* text;
    DWORD style;
    int x, y, w, h, id;
};

constexpr DWORD kBox = WS_CHILD | WS_VISIBLE | WS_BORDER;

const ControlExpectation kControls[] = {
    {"Static", "Resolutions", kBox, 5, 5, 100, 20, 0},
    {"ListBox", "", kBox | WS_VSCROLL | LBS_NOTIFY, 5, 20, 100, 200, 105},
    {"Static", "Frequency", kBox, 104, 5, 100, 20, 0},
    {"ListBox", "", kBox, 104, 20, 100, 200, 106},
    {"Static", "Multiply", kBox, 203, 5, 100, 20, 0},
    {"ListBox", "", kBox, 203, 20, 100, 200, 107},
    {"Static", "Aspect ratio", kBox, 302, 5, 100, 20, 0},
    {"ListBox", "", kBox, 302, 20, 100, 200, 108},
    {"Static", "Antialias", kBox, 401, 5, 100, 20, 0},
    {"ListBox", "", kBox, 401, 20, 100, 200, 109},
    {"Button", "Start", kBox | BS_PUSHBUTTON, 405, 220, 100, 20, 103},
    {"Button", "Exit", kBox | BS_PUSHBUTTON, 405, 245, 100, 20, 104},
    {"Button", "Fullscreen", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, 5, 220, 100, 20, 101},
    {"Button", "No Sound", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, 5, 245, 100, 20, 102},
};

void CheckControls(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    Check(children.size() == 14, Format("14 controls, found %d", static_cast<int>(children.size())));
    for (std::size_t i = 0; i < children.size() && i < 14; ++i) {
        const ControlExpectation& want = kControls[i];
        HWND child = children[i];
        std::string label = Format("control %d", static_cast<int>(i + 1));
        char className[64] = {};
        char text[64] = {};
        GetClassNameA(child, className, sizeof className);
        GetWindowTextA(child, text, sizeof text);
        Check(lstrcmpiA(className, want.className) == 0, label + " class " + className);
        Check(std::strcmp(text, want.text) == 0, label + " text " + text);
        // A list box drops WS_VSCROLL while its rows fit, so that bit is not
        // asked for.
        DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        Check((style & want.style & ~WS_VSCROLL) == (want.style & ~WS_VSCROLL), label + Format(" style %#x", static_cast<int>(style)));
        if (std::strcmp(want.className, "Button") == 0)
            Check((style & BS_TYPEMASK) == (want.style & BS_TYPEMASK), label + " button type");
        Check(GetWindowLongA(child, GWL_EXSTYLE) == 0, label + " extended style");
        RECT box;
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
        Check(box.left == want.x && box.top == want.y, label + Format(" at %d,%d", box.left, box.top));
        // List boxes round their height down to whole rows.
        int slack = 0;
        if (std::strcmp(want.className, "ListBox") == 0)
            slack = static_cast<int>(SendMessageA(child, LB_GETITEMHEIGHT, 0, 0)) - 1;
        int height = box.bottom - box.top;
        Check(box.right - box.left == want.w && height <= want.h && height >= want.h - slack,
              label + Format(" size %dx%d", box.right - box.left, box.bottom - box.top));
        Check(GetDlgCtrlID(child) == want.id, label + Format(" id %d", GetDlgCtrlID(child)));
    }
}

// What the message box of a failed registration showed; filled by the thread
// that dismisses it.
struct MessageBoxSeen {
    bool found = false;
    bool warningIcon = false;
    std::string text;
};

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM context) {
    MessageBoxSeen& seen = *reinterpret_cast<MessageBoxSeen*>(context);
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        seen.warningIcon = icon && icon == LoadIconA(nullptr, IDI_WARNING);
    } else {
        char text[128] = {};
        GetWindowTextA(child, text, sizeof text);
        if (text[0])
            seen.text = text;
    }
    return TRUE;
}

DWORD WINAPI DismissMessageBox(void* context) {
    MessageBoxSeen& seen = *static_cast<MessageBoxSeen*>(context);
    for (int tries = 0; tries < 1000; ++tries) {
        if (HWND box = FindWindowA("#32770", "error")) {
            seen.found = true;
            EnumChildWindows(box, ReadBoxChild, reinterpret_cast<LPARAM>(&seen));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(10);
    }
    return 0;
}

// With the class name taken, the setup step shows its one message box and
// leaves every setting at its initial value.
void CheckRegistrationFailure() {
    WNDCLASSEXA taken{};
    taken.cbSize = sizeof taken;
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = GetModuleHandleA(nullptr);
    taken.lpszClassName = "introWindowClass";
    Check(RegisterClassExA(&taken) != 0, "class taken ahead of the setup step");

    MessageBoxSeen seen;
    HANDLE dismisser = CreateThread(nullptr, 0, DismissMessageBox, &seen, 0, nullptr);
    ProbeGui gui;
    ModeCatalogue catalogue;
    RunSetupStep(gui, catalogue);
    WaitForSingleObject(dismisser, INFINITE);
    CloseHandle(dismisser);

    Check(seen.found, "a message box captioned \"error\"");
    Check(seen.text == "window registration fuckup", "message box text \"" + seen.text + "\"");
    Check(seen.warningIcon, "message box shows the warning icon");
    Check(gui.width == 0 && gui.height == 0 && !gui.fullscreen && gui.multiply == 1 && gui.colorBits == 32 &&
              gui.frequency == 0,
          "settings keep their initial values after a failed registration");
    Check(catalogue.modeKeys.count == 0 && catalogue.modeTree == nullptr, "no catalogue without the window");
    Check(FindWindowA("introWindowClass", "quillon #1") == nullptr, "no setup window without the class");
    UnregisterClassA("introWindowClass", GetModuleHandleA(nullptr));
}

}  // namespace

int main() {
    CheckRegistrationFailure();

    ProbeGui gui;
    ModeCatalogue catalogue;
    RunSetupStep(gui, catalogue);

    HWND dialog = FindWindowA("introWindowClass", "quillon #1");
    Check(dialog != nullptr, "setup window exists");
    if (!dialog)
        return failures;
    Check(!IsWindowVisible(dialog), "setup window is hidden");
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    Check((style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW, "overlapped window style");
    Check((GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0, "client edge");

    // The settings step ran from the desktop.
    HDC screen = GetDC(nullptr);
    Check(gui.width == static_cast<std::uint32_t>(GetSystemMetrics(SM_CXSCREEN)) &&
              gui.height == static_cast<std::uint32_t>(GetSystemMetrics(SM_CYSCREEN)),
          Format("desktop size, got %dx%d", static_cast<int>(gui.width), static_cast<int>(gui.height)));
    Check(gui.desktopWidth == GetSystemMetrics(SM_CXSCREEN) && gui.desktopHeight == GetSystemMetrics(SM_CYSCREEN),
          "desktop size recorded");
    Check(gui.colorBits == GetDeviceCaps(screen, BITSPIXEL), "colour depth from the display");
    Check(gui.frequency == GetDeviceCaps(screen, VREFRESH), "refresh rate from the display");
    Check(gui.fullscreen && gui.multiply == 2 && !gui.noSound, "full screen, multiply 2, sound on");
    ReleaseDC(nullptr, screen);

    CheckControls(dialog);
    const char* const sizes[] = {"1x", "2x", "4x", "8x", "16x"};
    const char* const aspects[] = {"5:4", "4:3", "16:10", "16:9", "16:5"};
    Check(ListRows(dialog, 107) == std::vector<std::string>(sizes, sizes + 5), "multiply list " + Joined(ListRows(dialog, 107)));
    Check(ListRows(dialog, 108) == std::vector<std::string>(aspects, aspects + 5), "aspect list " + Joined(ListRows(dialog, 108)));
    Check(ListRows(dialog, 109) == std::vector<std::string>(sizes, sizes + 5), "antialias list " + Joined(ListRows(dialog, 109)));
    Check(ListRows(dialog, 106).empty(), "frequency list starts empty");
    for (int id = 105; id <= 109; ++id)
        Check(SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0) == LB_ERR, Format("list %d has no selection", id));
    Check(IsDlgButtonChecked(dialog, ID_CHECK_FULLSCREEN) == BST_CHECKED, "Fullscreen checked");
    Check(IsDlgButtonChecked(dialog, ID_CHECK_NOSOUND) == BST_UNCHECKED, "No Sound unchecked");

    // One row per catalogue key, in key order, matching what the system reports.
    Expected expected = ExpectedCatalogue();
    std::vector<std::string> rows = ListRows(dialog, ID_SELECTION_RESOLUTIONS);
    std::vector<std::string> wanted;
    for (auto [w, h] : expected.resolutions)
        wanted.push_back(Format("%d x %d", w, h));
    Check(rows == wanted, "resolution rows " + Joined(rows) + " expected " + Joined(wanted));
    Check(catalogue.modeKeys.count == rows.size(), "one key per row");
    for (std::uint32_t i = 0; i < catalogue.modeKeys.count && i < rows.size(); ++i)
        Check(Format("%d x %d", ResolutionKeyWidth(catalogue.modeKeys.items[i]),
                     ResolutionKeyHeight(catalogue.modeKeys.items[i])) == rows[i],
              Format("key %d matches its row", static_cast<int>(i)));

    // Selecting rows refills the frequency list and prints the trace line.
    HWND resolutions = GetDlgItem(dialog, ID_SELECTION_RESOLUTIONS);
    WPARAM selectionChange = MAKEWPARAM(ID_SELECTION_RESOLUTIONS, LBN_SELCHANGE);
    std::vector<int> order;
    for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i)
        order.push_back(i);
    for (int row : order) {
        SendMessageA(resolutions, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        std::string trace = CapturedSend(dialog, WM_COMMAND, selectionChange, reinterpret_cast<LPARAM>(resolutions));
        auto [w, h] = expected.resolutions[static_cast<std::size_t>(row)];
        std::string line = "ID_SELECTION_RESOLUTIONS " + std::to_string(row) + " -> " + std::to_string(w) + " x " +
                           std::to_string(h) + "'\n";
        Check(trace == line, "trace line \"" + trace + "\"");
        std::vector<std::string> rates;
        for (int rate : expected.ratesOf({w, h}))
            rates.push_back(std::to_string(rate));
        Check(ListRows(dialog, ID_SELECTION_FREQUENCY) == rates,
              "rates of row " + std::to_string(row) + ": " + Joined(ListRows(dialog, ID_SELECTION_FREQUENCY)) +
                  " expected " + Joined(rates));
    }
    // With nothing selected the list empties and nothing is printed.
    SendMessageA(resolutions, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    std::string silent = CapturedSend(dialog, WM_COMMAND, selectionChange, reinterpret_cast<LPARAM>(resolutions));
    Check(silent.empty(), "no trace without a selection: \"" + silent + "\"");
    Check(ListRows(dialog, ID_SELECTION_FREQUENCY).empty(), "frequency list emptied without a selection");

    // Start only beeps; the check boxes do not toggle; Exit posts the quit
    // message and leaves everything standing.
    WPARAM code = 99;
    while (QuitPosted(&code)) {
    }
    Check(SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(ID_BUTTON_START, BN_CLICKED), 0) == 0, "Start handled");
    Check(!QuitPosted(&code), "Start posts no quit message");
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(ID_CHECK_NOSOUND, BN_CLICKED), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(ID_CHECK_FULLSCREEN, BN_CLICKED), 0);
    Check(IsDlgButtonChecked(dialog, ID_CHECK_FULLSCREEN) == BST_CHECKED &&
              IsDlgButtonChecked(dialog, ID_CHECK_NOSOUND) == BST_UNCHECKED,
          "check boxes keep their first state");
    Check(IsWindow(dialog) && !IsWindowVisible(dialog), "still there and hidden after Start");

    Check(SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(ID_BUTTON_EXIT, BN_CLICKED), 0) == 0, "Exit handled");
    Check(QuitPosted(&code) && code == 0, "Exit posts the quit message with code 0");
    Check(IsWindow(dialog), "Exit leaves the window");

    // Closing destroys the window, which posts the quit message.
    code = 99;
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    Check(!IsWindow(dialog), "close destroys the setup window");
    Check(QuitPosted(&code) && code == 0, "close posts the quit message with code 0");

    std::printf("%s: %d failed checks, %d resolutions, desktop %dx%d at %d bits\n", failures ? "FAILED" : "PASSED",
                failures, static_cast<int>(rows.size()), static_cast<int>(gui.width), static_cast<int>(gui.height),
                gui.colorBits);
    CatalogueFree(catalogue);
    return failures;
}
