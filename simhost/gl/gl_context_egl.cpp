#include "gl/gl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

namespace simhost {

namespace {

EGLDisplay surfaceless_display()
{
    auto get_platform_display =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (get_platform_display != nullptr) {
        EGLDisplay dpy = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (dpy != EGL_NO_DISPLAY)
            return dpy;
    }
    return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}

std::string egl_error(const char *what)
{
    char buf[96];
    snprintf(buf, sizeof(buf), "%s failed (EGL error 0x%04x)", what, eglGetError());
    return buf;
}

} // namespace

gl_context::~gl_context()
{
    if (display_ != nullptr) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context_ != nullptr)
            eglDestroyContext(display_, context_);
#ifndef KYV_SANITIZED
        // Under the leak checker the display stays initialised: terminating it
        // unloads Mesa's driver, whose one-time allocations would then be
        // reported from a module no suppression can name.
        eglTerminate(display_);
#endif
    }
}

bool gl_context::create()
{
    EGLDisplay dpy = surfaceless_display();
    if (dpy == EGL_NO_DISPLAY) {
        error_ = "no EGL display: is Mesa's EGL installed (libegl-mesa0)?";
        return false;
    }
    if (!eglInitialize(dpy, nullptr, nullptr)) {
        error_ = egl_error("eglInitialize");
        return false;
    }
    display_ = dpy;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error_ = egl_error("eglBindAPI(EGL_OPENGL_API)");
        return false;
    }
    const EGLint cfg_attrs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig cfg = nullptr;
    EGLint n = 0;
    // Surfaceless contexts need no config; take one when offered.
    bool have_cfg = eglChooseConfig(dpy, cfg_attrs, &cfg, 1, &n) && n > 0;
    const EGLint ctx_attrs[] = {EGL_CONTEXT_MAJOR_VERSION,
                                3,
                                EGL_CONTEXT_MINOR_VERSION,
                                0,
                                EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                EGL_NONE};
    EGLContext ctx = eglCreateContext(dpy, have_cfg ? cfg : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, ctx_attrs);
    if (ctx == EGL_NO_CONTEXT) {
        error_ = egl_error("eglCreateContext (OpenGL 3.0 compatibility)");
        return false;
    }
    context_ = ctx;
    if (!make_current())
        return false;
    return true;
}

bool gl_context::make_current()
{
    // Surfaceless: surface_ stays EGL_NO_SURFACE, the host draws into framebuffer objects.
    if (!eglMakeCurrent(display_, surface_, surface_, context_)) {
        error_ = egl_error("eglMakeCurrent");
        return false;
    }
    return true;
}

} // namespace simhost
