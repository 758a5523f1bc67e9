#include "shell/win32/setup_dialog.h"

#include <cstdio>

namespace {

const char kSetupClassName[] = "introWindowClass";

// The window procedure runs inside CreateWindowExA, before a handle could
// carry the catalogue to it.
ModeCatalogue* setupCatalogue = nullptr;

constexpr DWORD kBox = WS_CHILD | WS_VISIBLE | WS_BORDER;

struct ControlSpec {
    const char* className;
    const char* text;
    DWORD style;
    int x, y, w, h;
    int id;
};

const ControlSpec kColumns[] = {
    {"STATIC", "Resolutions", kBox, 5, 5, 100, 20, 0},
    {"LISTBOX", "", kBox | WS_VSCROLL | LBS_NOTIFY, 5, 20, 100, 200, ID_SELECTION_RESOLUTIONS},
    {"STATIC", "Frequency", kBox, 104, 5, 100, 20, 0},
    {"LISTBOX", "", kBox, 104, 20, 100, 200, ID_SELECTION_FREQUENCY},
    {"STATIC", "Multiply", kBox, 203, 5, 100, 20, 0},
    {"LISTBOX", "", kBox, 203, 20, 100, 200, ID_SELECTION_MULTIPLY},
    {"STATIC", "Aspect ratio", kBox, 302, 5, 100, 20, 0},
    {"LISTBOX", "", kBox, 302, 20, 100, 200, ID_SELECTION_ASPECT},
    {"STATIC", "Antialias", kBox, 401, 5, 100, 20, 0},
    {"LISTBOX", "", kBox, 401, 20, 100, 200, ID_SELECTION_ANTIALIAS},
    {"BUTTON", "Start", kBox | BS_PUSHBUTTON, 405, 220, 100, 20, ID_BUTTON_START},
    {"BUTTON", "Exit", kBox | BS_PUSHBUTTON, 405, 245, 100, 20, ID_BUTTON_EXIT},
};

const ControlSpec kCheckBoxes[] = {
    {"BUTTON", "Fullscreen", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, 5, 220, 100, 20, ID_CHECK_FULLSCREEN},
    {"BUTTON", "No Sound", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, 5, 245, 100, 20, ID_CHECK_NOSOUND},
};

const char* const kMultiplyEntries[] = {"1x", "2x", "4x", "8x", "16x"};
const char* const kAspectEntries[] = {"5:4", "4:3", "16:10", "16:9", "16:5"};
const char* const kAntialiasEntries[] = {"1x", "2x", "4x", "8x", "16x"};

void AddControl(HWND parent, const ControlSpec& spec) {
    CreateWindowExA(0, spec.className, spec.text, spec.style, spec.x, spec.y, spec.w, spec.h, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), GetModuleHandleA(nullptr), nullptr);
}

template <std::size_t N>
void FillList(HWND parent, int id, const char* const (&entries)[N]) {
    for (const char* entry : entries)
        SendDlgItemMessageA(parent, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

void AddResolutionRow(const DisplayMode& mode, void* context) {
    char row[32];
    std::snprintf(row, sizeof row, "%d x %d", mode.width, mode.height);
    SendMessageA(static_cast<HWND>(context), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
}

void BuildCatalogue(HWND hwnd, ModeCatalogue& catalogue) {
    HDC display = GetDC(hwnd);
    CatalogueInsert(catalogue, {GetDeviceCaps(display, HORZRES), GetDeviceCaps(display, VERTRES),
                                GetDeviceCaps(display, VREFRESH), GetDeviceCaps(display, BITSPIXEL)});
    ReleaseDC(hwnd, display);

    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (DWORD number = 0; EnumDisplaySettingsA(nullptr, number, &mode); ++number) {
        // The catalogue drops every mode that is not 32 bits deep.
        CatalogueInsert(catalogue, {static_cast<std::int32_t>(mode.dmPelsWidth),
                                    static_cast<std::int32_t>(mode.dmPelsHeight),
                                    static_cast<std::int32_t>(mode.dmDisplayFrequency),
                                    static_cast<std::int32_t>(mode.dmBitsPerPel)});
    }
}

void BuildControls(HWND hwnd, const ModeCatalogue& catalogue) {
    for (const ControlSpec& spec : kColumns)
        AddControl(hwnd, spec);
    FillList(hwnd, ID_SELECTION_MULTIPLY, kMultiplyEntries);
    FillList(hwnd, ID_SELECTION_ASPECT, kAspectEntries);
    FillList(hwnd, ID_SELECTION_ANTIALIAS, kAntialiasEntries);
    CatalogueWalk(catalogue, AddResolutionRow, GetDlgItem(hwnd, ID_SELECTION_RESOLUTIONS));
    for (const ControlSpec& spec : kCheckBoxes)
        AddControl(hwnd, spec);
    CheckDlgButton(hwnd, ID_CHECK_FULLSCREEN, BST_CHECKED);
}

void RefillFrequencies(HWND hwnd, const ModeCatalogue& catalogue) {
    LRESULT row = SendDlgItemMessageA(hwnd, ID_SELECTION_RESOLUTIONS, LB_GETCURSEL, 0, 0);
    // No selection, or a row the key list does not hold: no trace and no rates.
    const FrequencyArray* frequencies = nullptr;
    if (row >= 0 && static_cast<std::uint64_t>(row) < catalogue.modeKeys.count) {
        std::uint32_t key = catalogue.modeKeys.items[row];
        std::printf("ID_SELECTION_RESOLUTIONS %d -> %d x %d'\n", static_cast<int>(row), ResolutionKeyWidth(key),
                    ResolutionKeyHeight(key));
        std::fflush(stdout);
        frequencies = CatalogueFrequencies(catalogue, key);
    }
    SendDlgItemMessageA(hwnd, ID_SELECTION_FREQUENCY, LB_RESETCONTENT, 0, 0);
    for (std::uint32_t i = 0; frequencies && i < frequencies->count; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", frequencies->items[i]);
        SendDlgItemMessageA(hwnd, ID_SELECTION_FREQUENCY, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

}  // namespace

LRESULT CALLBACK SetupWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (setupCatalogue) {
            BuildCatalogue(hwnd, *setupCatalogue);
            BuildControls(hwnd, *setupCatalogue);
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_BUTTON_START:
            Beep(40, 50);
            break;
        case ID_BUTTON_EXIT:
            PostQuitMessage(0);
            break;
        case ID_SELECTION_RESOLUTIONS:
            if (HIWORD(wParam) == LBN_SELCHANGE && setupCatalogue)
                RefillFrequencies(hwnd, *setupCatalogue);
            break;
        default:
            break;
        }
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void ReadDisplaySettings(Gui& gui, HDC display) {
    gui.width = static_cast<std::uint32_t>(GetSystemMetrics(SM_CXSCREEN));
    gui.desktopWidth = GetSystemMetrics(SM_CXSCREEN);
    gui.height = static_cast<std::uint32_t>(GetSystemMetrics(SM_CYSCREEN));
    gui.desktopHeight = GetSystemMetrics(SM_CYSCREEN);
    gui.frequency = GetDeviceCaps(display, VREFRESH);
    gui.colorBits = GetDeviceCaps(display, BITSPIXEL);
    gui.fullscreen = true;
    gui.multiply = 2;
}

void RunSetupStep(Gui& gui, ModeCatalogue& catalogue) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA setupClass{};
    setupClass.cbSize = sizeof setupClass;
    setupClass.style = 0;
    setupClass.lpfnWndProc = SetupWindowProc;
    setupClass.cbClsExtra = 0;
    setupClass.cbWndExtra = 0;
    setupClass.hInstance = instance;
    setupClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    setupClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    setupClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
    setupClass.lpszMenuName = nullptr;
    setupClass.lpszClassName = kSetupClassName;
    setupClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    if (!RegisterClassExA(&setupClass)) {
        MessageBoxA(nullptr, "window registration fuckup", "error", MB_ICONWARNING);
        return;
    }

    setupCatalogue = &catalogue;
    HWND setup = CreateWindowExA(WS_EX_CLIENTEDGE, kSetupClassName, "quillon #1", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, nullptr);

    // Without the window, the screen's own device context serves as well.
    HDC display = GetDC(setup);
    ReadDisplaySettings(gui, display);
    ReleaseDC(setup, display);
}
