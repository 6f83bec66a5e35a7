#pragma once

// The plugin's modern windows: their geometry in global boxels (or, popped
// out, in operating-system pixels), visibility, positioning modes and
// stacking order.

#include "XPLMDisplay.h"
#include "desktop.h"

#include <memory>
#include <string>
#include <vector>

namespace simhost::detail {

struct window {
    XPLMCreateWindow_t params{}; // callbacks, refcon, decoration and layer as created
    int number = 0;              // 1 for the first window the host made, and so on
    rect geometry;               // inside the simulator
    rect os;                     // the operating-system window, while popped out
    bool visible = false;
    XPLMWindowPositioningMode mode = xplm_WindowPositionFree;
    int mode_monitor = -1;
    bool popped_out = false;
    bool in_vr = false;
    std::string title;
    int min_width = 0, min_height = 0, max_width = 0, max_height = 0;
    long z = 0; // stacking within the layer: higher is in front
    bool live = true;

    // What XPLMGetWindowGeometry reports and what the window draws in.
    const rect &reported() const { return popped_out ? os : geometry; }
    // Shown on a monitor (visible, not popped out, not in the headset).
    bool on_desktop() const { return live && visible && !popped_out && !in_vr; }
    bool in_os_window() const { return live && visible && popped_out; }
};

class windows {
public:
    // The structure is copied as far as its declared size reaches; later
    // members keep the simulator's defaults. Null for a size the host cannot read.
    window *create(const XPLMCreateWindow_t *params);
    // Null for a handle that is unknown or destroyed.
    window *get(XPLMWindowID id) const;
    bool destroy(XPLMWindowID id);
    // In front of the other windows of its layer.
    void raise(window &w);

    // The live windows in creation order.
    std::vector<window *> all() const;
    // Desktop windows back to front: layer by layer, then by stacking.
    std::vector<window *> desktop_stack() const;
    // Everything that can take a click at a point, front to back: operating-
    // system windows (popped out) first, as they float above the simulator.
    std::vector<window *> at(int x, int y) const;

    // Applies a positioning mode; false, with a reason, when it cannot apply
    // (a monitor that does not exist, VR without a headset, an unknown mode).
    bool set_mode(window &w, XPLMWindowPositioningMode mode, int monitor, const desktop &d, bool vr_enabled,
                  std::string &why);
    // Geometry set through the simulator: a popped-out window takes it as its
    // operating-system rectangle; a full-screen one becomes free.
    void set_geometry(window &w, const rect &r);

    // Forgets the callbacks of every window, for code about to be unloaded;
    // returns how many windows were still alive.
    size_t destroy_all();

private:
    std::vector<std::unique_ptr<window>> all_; // destroyed ones stay, so stale handles are recognised
    long next_z_ = 0;
};

} // namespace simhost::detail
