#include "shell/win32/gui_win32.h"

#include "shell/gl_extensions.h"
#include "shell/win32/setup_dialog.h"

GuiWin32* theGui = nullptr;

namespace {

const char kClassName[] = "quillon#1";

// The constant pixel format: RGBA, 32 colour bits, 16 depth bits,
// double-buffered, no alpha, stencil, accumulation or multisampling.
const PIXELFORMATDESCRIPTOR kPixelFormat = {
    sizeof(PIXELFORMATDESCRIPTOR),
    1,
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA,
    32,
    0, 0, 0, 0, 0, 0,
    0, 0,
    0, 0, 0, 0, 0,
    16,
    0,
    0,
    PFD_MAIN_PLANE,
    0,
    0, 0, 0,
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);
static_assert((PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER) == 0x25);

WNDCLASSA windowClass;
bool windowClassFilled = false;

void* LookupWgl(const char* name) {
    return reinterpret_cast<void*>(wglGetProcAddress(name));
}

}  // namespace

LRESULT CALLBACK GlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        theGui->width = LOWORD(lParam);
        theGui->height = HIWORD(lParam);
        glViewport(0, 0, static_cast<GLsizei>(theGui->width), static_cast<GLsizei>(theGui->height));
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) theGui->quit = true;
        break;
    case WM_CLOSE:
    case WM_DESTROY:
        theGui->quit = true;
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::uint32_t GuiWin32::time() {
    return GetTickCount();
}

void GuiWin32::setupStep() {
    RunSetupStep(*this, catalogue);
}

bool GuiWin32::init(std::uint32_t, std::uint32_t) {
    setupStep();
    return openGlWindow();
}

bool GuiWin32::openGlWindow() {
    if (!windowClassFilled) {
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = GlWindowProc;
        windowClass.cbClsExtra = 0;
        windowClass.cbWndExtra = 0;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hIcon = nullptr;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = nullptr;
        windowClass.lpszMenuName = nullptr;
        windowClass.lpszClassName = kClassName;
        windowClassFilled = true;
    }
    if (!RegisterClassA(&windowClass)) {
        initError = "RegisterClassA failed";
        return false;
    }

    const DWORD style = fullscreen ? (WS_POPUP | WS_VISIBLE) : WS_OVERLAPPEDWINDOW;
    hwnd = CreateWindowExA(0, kClassName, kClassName, style, 0, 0, static_cast<int>(width),
                           static_cast<int>(height), nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) {
        initError = "CreateWindowExA failed";
        return false;
    }
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    SetFocus(hwnd);

    hdc = GetDC(hwnd);
    if (hdc == nullptr) {
        initError = "GetDC failed";
        return false;
    }
    const int format = ChoosePixelFormat(hdc, &kPixelFormat);
    if (format == 0) {
        initError = "no pixel format with RGBA, 16-bit depth and double buffering";
        return false;
    }
    if (!SetPixelFormat(hdc, format, &kPixelFormat)) {
        initError = "SetPixelFormat failed";
        return false;
    }
    hglrc = wglCreateContext(hdc);
    if (hglrc == nullptr) {
        initError = "wglCreateContext failed";
        return false;
    }
    if (!wglMakeCurrent(hdc, hglrc)) {
        initError = "wglMakeCurrent failed";
        return false;
    }

    LoadGlExtensions(LookupWgl);
    ShowCursor(FALSE);
    return true;
}

void GuiWin32::present() {
    SwapBuffers(hdc);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void GuiWin32::shutdown() {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(hglrc);
    ReleaseDC(hwnd, hdc);
    ChangeDisplaySettingsA(nullptr, 0);
    PostQuitMessage(0);
}

void ShowStartFailure(const char* line) {
    // Owned by the window when there is one, so that it shows above it; the
    // cursor hidden for the intro comes back for the button.
    ShowCursor(TRUE);
    MessageBoxA(theGui != nullptr ? theGui->hwnd : nullptr, line, kClassName, MB_OK | MB_ICONERROR);
}
