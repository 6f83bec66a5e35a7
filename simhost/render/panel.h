#pragma once

// The panel the simulator renders each frame and the plugin copies its
// displays out of: three synthetic glass displays in one framebuffer.

#include "render/cairo_ptr.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace simhost::detail {

// The panel image the simulator renders each frame: a texture-backed framebuffer
// holding three synthetic glass displays drawn with cairo.
class panel {
public:
    static constexpr int min_width = 3072, min_height = 2868;

    panel() = default;
    // Needs the GL context that created it to be current.
    ~panel();
    panel(const panel &) = delete;
    panel &operator=(const panel &) = delete;

    // Sizes below the minimum are raised to it. Needs a current GL context.
    bool create(int width, int height, std::string &error);
    // Redraws every face for this moment of simulated time. Leaves the GL
    // bindings and pixel unpack state as it found them.
    void render(double sim_time, long frame);
    // The panel of a pass without the lit elements: one dark colour.
    void render_unlit();

    unsigned framebuffer() const { return fbo_; }
    unsigned color_texture() const { return color_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // GL pixels, origin bottom-left.
    struct face {
        const char *name;
        int x, y, w, h;
    };
    // PFD, MFD, PFD2 in that order.
    static const face *faces(size_t &count);

private:
    using surface_ptr = cairo_surface_ptr;

    // What never moves is drawn once into cache; each frame paints it into
    // work, adds the moving parts and uploads work.
    struct face_surfaces {
        surface_ptr cache;
        surface_ptr work;
        cairo_ptr cr;
    };
    static constexpr size_t face_count = 3;

    void destroy();
    bool create_faces(std::string &error);
    void upload(const face &f, cairo_surface_t *picture) const;

    int width_ = 0;
    int height_ = 0;
    unsigned fbo_ = 0;
    unsigned color_ = 0;
    std::array<face_surfaces, face_count> surfaces_;
};

} // namespace simhost::detail
