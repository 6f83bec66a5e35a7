#pragma once

// A headless OpenGL context with the compatibility profile (the plugin draws in
// immediate mode). On Linux Mesa's EGL on the surfaceless platform: no X
// server and no GPU are needed, llvmpipe renders when there is no GPU. On
// Windows WGL on a hidden window, with GLEW loaded for everything past GL 1.1.

#include <string>

namespace simhost {

class gl_context {
public:
    gl_context() = default;
    ~gl_context();
    gl_context(const gl_context &) = delete;
    gl_context &operator=(const gl_context &) = delete;

    // Creates the context and makes it current on the calling thread.
    // On failure returns false and error() says why.
    bool create();
    bool make_current();
    bool valid() const { return context_ != nullptr; }
    const std::string &error() const { return error_; }
    // GL_RENDERER and GL_VERSION of the context, for logs and benchmarks.
    std::string renderer() const;

private:
    // EGL: the display, no surface, the context. WGL: the hidden window, its
    // device context, the GL context.
    void *display_ = nullptr;
    void *surface_ = nullptr;
    void *context_ = nullptr;
    std::string error_;
};

} // namespace simhost
