#pragma once

// The simulator's screen: an offscreen framebuffer the draw phases render
// into, since a surfaceless GL context has no window of its own.

#include <string>

namespace simhost::detail {

class screen {
public:
    screen() = default;
    // Needs the GL context that created it to be current.
    ~screen();
    screen(const screen &) = delete;
    screen &operator=(const screen &) = delete;

    bool create(int width, int height, std::string &error);
    // Binds the screen and sets what the simulator hands each frame's drawing:
    // a cleared picture, a viewport over it and pixel coordinates.
    void begin_frame() const;
    unsigned framebuffer() const { return fbo_; }
    unsigned color_texture() const { return color_; }

private:
    void destroy();

    int width_ = 0;
    int height_ = 0;
    unsigned fbo_ = 0;
    unsigned color_ = 0;
    unsigned depth_ = 0;
};

} // namespace simhost::detail
