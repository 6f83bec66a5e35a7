#pragma once

// The cockpit devices' screens: a framebuffer of its own per device, at the
// device's size, and the picture the simulator draws into it. The picture is
// deliberately unlike the panel's faces (a teal field with a grid, the
// device's name and size, a cyan orientation mark in its top-left corner and
// an amber bar that sweeps across as the frames pass), so that a window
// showing one is never mistaken for the other.

#include "render/render_target.h"

#include <map>
#include <memory>
#include <string>

namespace simhost::detail {

class device_screens {
public:
    device_screens() = default;
    // Needs the GL context that created them to be current.
    ~device_screens();
    device_screens(const device_screens &) = delete;
    device_screens &operator=(const device_screens &) = delete;

    // The device's screen at that size, made or made anew as needed; null,
    // with a reason, when GL refuses it. Leaves GL_FRAMEBUFFER bound to it.
    const render_target *screen(int device, const char *name, int width, int height, std::string &error);
    // The screen as it was last made, or null.
    const render_target *find(int device) const;

    // Into the bound screen, viewport and projection in its texels: the
    // device's picture for this frame, or black for one without power.
    // Leaves the managed state as the simulator's cache believes it.
    void draw_face(int device, long frame) const;
    void draw_dark(int device) const;

private:
    struct screen_data {
        render_target target;
        unsigned face = 0; // the static part of the picture, a texture
    };
    std::map<int, std::unique_ptr<screen_data>> screens_;
};

} // namespace simhost::detail
