#pragma once

// The panel the simulator renders each frame and the plugin copies its
// displays out of: three synthetic glass displays in one framebuffer, where
// the aircraft's panel has them.

#include "render/cairo_ptr.h"
#include "world/aircraft.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace simhost::detail {

// The panel image the simulator renders each frame: a texture-backed framebuffer
// of the aircraft's panel size holding three synthetic glass displays drawn
// with cairo, each at its own place and size, over a grid that no face has.
class panel {
public:
    static constexpr size_t face_count = 3;
    using places = std::array<panel_face, face_count>; // PFD, MFD, PFD2

    panel() = default;
    // Needs the GL context that created it to be current.
    ~panel();
    panel(const panel &) = delete;
    panel &operator=(const panel &) = delete;

    // A framebuffer of exactly this size with the faces at these places,
    // which the caller has checked lie inside it; refused past the GL
    // texture limit. Needs a current GL context.
    bool create(int width, int height, const places &faces, std::string &error);
    // The faces at other places on the same framebuffer.
    bool move_faces(const places &faces, std::string &error);
    // Redraws the panel and every face for this moment of simulated time.
    // Leaves the GL bindings and pixel unpack state as it found them.
    void render(double sim_time, long frame);
    // The panel of a pass without the lit elements: the displays dark.
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
    const std::array<face, face_count> &faces() const { return faces_; }

private:
    using surface_ptr = cairo_surface_ptr;

    // What never moves is drawn once into cache; each frame paints it into
    // work, adds the moving parts and uploads work.
    struct face_surfaces {
        surface_ptr cache;
        surface_ptr work;
        cairo_ptr cr;
    };

    void destroy();
    void paint_background(bool lit) const;
    void upload(const face &f, cairo_surface_t *picture) const;

    int width_ = 0;
    int height_ = 0;
    unsigned fbo_ = 0;
    unsigned color_ = 0;
    std::array<face, face_count> faces_{};
    std::array<face_surfaces, face_count> surfaces_;
};

} // namespace simhost::detail
