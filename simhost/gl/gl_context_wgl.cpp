#include "gl/gl_context.h"

#include "gl/gl_api.h"

#include <windows.h>

#include <cstdio>

namespace simhost {

namespace {

const wchar_t *const window_class = L"kyv_simhost_gl";

std::string win32_error(const char *what)
{
    char buf[96];
    snprintf(buf, sizeof(buf), "%s failed (Windows error %lu)", what,
             static_cast<unsigned long>(GetLastError()));
    return buf;
}

// The GL 2 and 3 functions the host and the plugin's live displays depend on;
// a context without framebuffer objects or blits cannot compose the monitors.
const char *missing_gl3_function()
{
    if (glGenFramebuffers == nullptr || glBindFramebuffer == nullptr || glFramebufferTexture2D == nullptr ||
        glCheckFramebufferStatus == nullptr || glDeleteFramebuffers == nullptr)
        return "framebuffer objects (glGenFramebuffers and the rest)";
    if (glBlitFramebuffer == nullptr)
        return "glBlitFramebuffer";
    if (glBindBuffer == nullptr)
        return "buffer objects (glBindBuffer)";
    return nullptr;
}

} // namespace

gl_context::~gl_context()
{
    if (context_ != nullptr) {
        if (wglGetCurrentContext() == static_cast<HGLRC>(context_))
            wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(static_cast<HGLRC>(context_));
    }
    if (surface_ != nullptr)
        ReleaseDC(static_cast<HWND>(display_), static_cast<HDC>(surface_));
    if (display_ != nullptr) {
        DestroyWindow(static_cast<HWND>(display_));
        // Fails harmlessly while another context's window still uses the class.
        UnregisterClassW(window_class, GetModuleHandleW(nullptr));
    }
}

bool gl_context::create()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = window_class;
    if (RegisterClassW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        error_ = win32_error("RegisterClassW");
        return false;
    }
    // Never shown: WGL needs a window's device context, the host draws into framebuffer objects.
    HWND window = CreateWindowExW(0, window_class, L"simhost GL", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) {
        error_ =
            win32_error("CreateWindowExW") + ": is there a display (under wine: DISPLAY, e.g. xvfb-run)?";
        return false;
    }
    display_ = window;
    HDC dc = GetDC(window);
    if (dc == nullptr) {
        error_ = win32_error("GetDC");
        return false;
    }
    surface_ = dc;
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cAlphaBits = 8;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    pfd.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(dc, &pfd);
    if (format == 0 || !SetPixelFormat(dc, format, &pfd)) {
        error_ = win32_error("choosing a 32-bit RGBA pixel format");
        return false;
    }
    HGLRC rc = wglCreateContext(dc);
    if (rc == nullptr) {
        error_ = win32_error("wglCreateContext");
        return false;
    }
    context_ = rc;
    if (!make_current())
        return false;
    const GLenum glew = glewInit();
    if (glew != GLEW_OK) {
        error_ = std::string("glewInit failed: ") + reinterpret_cast<const char *>(glewGetErrorString(glew));
        return false;
    }
    if (const char *missing = missing_gl3_function()) {
        error_ = renderer() + " lacks " + missing + " (OpenGL 3.0)";
        return false;
    }
    return true;
}

bool gl_context::make_current()
{
    if (!wglMakeCurrent(static_cast<HDC>(surface_), static_cast<HGLRC>(context_))) {
        error_ = win32_error("wglMakeCurrent");
        return false;
    }
    return true;
}

} // namespace simhost
