#pragma once

// An offscreen picture the host draws into: a monitor, a popped-out window.
// A surfaceless GL context has no window of its own, so every picture the
// simulator would show lives in a framebuffer with a colour texture.

#include "geometry.h"

#include <string>

namespace simhost::detail {

class render_target {
public:
    render_target() = default;
    // Needs the GL context that created it to be current.
    ~render_target();
    render_target(const render_target &) = delete;
    render_target &operator=(const render_target &) = delete;

    bool create(int width, int height, std::string &error);
    // Binds it with a viewport over it all and a projection that maps `view`
    // (in the caller's coordinates, y up) onto it.
    void bind(const rect &view) const;
    // The same onto part of it: `pixels`, in its pixels, y up.
    void bind(const rect &view, const rect &pixels) const;
    void clear(float r, float g, float b) const;
    // Resets the depth under `area`, in the same coordinates as `view`, which
    // is shown on `pixels`: each window gets a depth buffer of its own to work with.
    void clear_depth(const rect &view, const rect &pixels, const rect &area) const;
    unsigned framebuffer() const { return fbo_; }
    unsigned color_texture() const { return color_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void destroy();

    int width_ = 0;
    int height_ = 0;
    unsigned fbo_ = 0;
    unsigned color_ = 0;
    unsigned depth_ = 0;
};

} // namespace simhost::detail
