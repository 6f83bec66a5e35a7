#pragma once

// What a monitor shows where no window covers it, so that screenshots say
// which monitor they show and windows stand out against it.

#include <string>

namespace simhost::detail {

// The picture behind the windows on one monitor: a sky-to-ground gradient with a
// caption naming the monitor, uploaded once to a texture.
class monitor_background {
public:
    monitor_background() = default;
    // Needs the GL context that created it to be current.
    ~monitor_background();
    monitor_background(const monitor_background &) = delete;
    monitor_background &operator=(const monitor_background &) = delete;

    // Needs a current GL context.
    bool create(int width, int height, const std::string &caption, std::string &error);
    unsigned texture() const { return texture_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Draws the texture over the current viewport with an orthographic projection
    // of (0..width, 0..height); leaves texturing/blend state as it found it.
    void draw() const;

private:
    void destroy();

    unsigned texture_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace simhost::detail
