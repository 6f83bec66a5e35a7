#pragma once

// The plugin's modern windows: their geometry in global boxels (or, popped
// out, in operating-system pixels), visibility, positioning modes and
// stacking order, on the desk they live on.

#include "XPLMDisplay.h"
#include "world/desktop.h"
#include "world/window_decoration.h"

#include <memory>
#include <string>
#include <vector>

namespace simhost::detail {

struct window {
    XPLMCreateWindow_t params{}; // callbacks, refcon, decoration and layer as created
    int number = 0;              // 1 for the first window the host made, and so on
    rect geometry;               // inside the simulator, in global boxels: its last when popped out
    rect os;                     // the operating-system window in pixels, while popped out
    int os_wait = 0;             // frames until a new operating-system window appears
    bool visible = false;
    XPLMWindowPositioningMode mode = xplm_WindowPositionFree;
    int mode_monitor = -1;
    bool popped_out = false;
    bool in_vr = false;
    std::string title;
    int min_width = 0, min_height = 0, max_width = 0, max_height = 0;
    long z = 0; // stacking within the layer: higher is in front
    bool live = true;

    // Shown on a monitor (visible, not popped out, not in the headset).
    bool on_desktop() const { return live && visible && !popped_out && !in_vr; }
    bool in_os_window() const { return live && visible && popped_out && os_wait == 0; }
};

// What XPLMGetWindowGeometry reports for a popped-out window, which the
// simulator does not document: its operating-system window in boxels, or the
// geometry it last had inside the simulator.
enum class popped_geometry { os_in_boxels, last_floating };

class windows {
public:
    explicit windows(const desktop &d) : desk_(d) {}
    void set_popped_geometry(popped_geometry g) { popped_ = g; }
    popped_geometry popped() const { return popped_; }
    // A newly popped-out window's operating-system window appears a frame
    // later (the default: when it exists is not documented), or at once.
    void set_popout_delay(bool on) { popout_delay_ = on; }
    // Once a frame: windows waiting for their operating-system window get it.
    void frame_passed();

    // What XPLMGetWindowGeometry reports and what the window draws in.
    rect reported(const window &w) const;
    // A popped-out window's operating-system window on the global desktop,
    // where the mouse finds it.
    rect os_in_global(const window &w) const { return desk_.to_global(w.os); }
    // A global mouse point as the window's handlers receive it.
    void handler_point(const window &w, int &x, int &y) const;

    // The structure is copied as far as its declared size reaches; later
    // members keep the simulator's defaults. Null for a size the host cannot read.
    window *create(const XPLMCreateWindow_t *params);
    // Null for a handle that is unknown or destroyed.
    window *get(XPLMWindowID id) const;
    bool destroy(XPLMWindowID id);
    // In front of the other windows of its layer.
    void raise(window &w);
    // A window shown comes up in front of its layer.
    void show(window &w, bool on);
    // False, with nothing changed, for limits out of order.
    bool set_resizing_limits(window &w, int min_width, int min_height, int max_width, int max_height);

    // The live windows in creation order.
    std::vector<window *> all() const;
    // The live window of that number, or null.
    window *numbered(int number) const;
    // Desktop windows back to front: layer by layer, then by stacking.
    std::vector<window *> desktop_stack() const;
    // Everything that can take a click at a point, front to back: operating-
    // system windows (popped out) first, as they float above the simulator.
    // A window's title bar and close box are part of it.
    std::vector<window *> at(int x, int y) const;
    // What of a window lies under a global point.
    window_part part_at(const window &w, int x, int y) const;

    // Applies a positioning mode; false, with a reason, when it cannot apply
    // (VR without a headset, an unknown mode). A monitor the simulator does
    // not run full screen on means its main monitor, as does a negative one;
    // `note` then says so.
    bool set_mode(window &w, XPLMWindowPositioningMode mode, int monitor, bool vr_enabled, std::string &why,
                  std::string &note);
    // Geometry in global boxels: only for a window inside the simulator
    // (false otherwise). A window centred or full screen keeps its mode: a
    // centred one takes the size, centred again; a full-screen one stays.
    bool set_geometry(window &w, const rect &r);
    // Operating-system geometry: only for a popped-out window (false
    // otherwise); one whose window has not appeared yet gets it then.
    bool set_os_geometry(window &w, const rect &r);
    // After the desk changed: centred and full-screen windows follow their
    // monitor; one whose monitor is gone stays until placed again.
    void follow_desk();

    // What the user does to a shown, popped-out window's operating-system
    // window, by window number: closes it with its close box (the simulator
    // hides it without asking the plugin), moves its lower-left corner, or
    // resizes it by its lower-right corner (the top-left corner stays) within
    // its resizing limits; pixels. False, with a reason, for any other window.
    bool user_close(int number, std::string &error);
    bool user_move(int number, int left, int bottom, std::string &error);
    bool user_resize(int number, int width, int height, std::string &error);
    // The pilot drags a window by its title bar, in boxels: only a free one
    // moves, as the other modes keep the window where they put it.
    void user_drag(window &w, long long dx, long long dy);

    // Forgets the callbacks of every window, for code about to be unloaded;
    // returns how many windows were still alive.
    size_t destroy_all();

private:
    // Where a mode on this monitor puts a window: the monitor, or the main one.
    rect monitor_area(int monitor, int &index, std::string &note) const;
    void apply_mode(window &w, std::string &note);
    // The shown, popped-out window of that number, or null with a reason.
    window *shown_os_window(int number, std::string &error) const;

    const desktop &desk_;
    popped_geometry popped_ = popped_geometry::os_in_boxels;
    bool popout_delay_ = true;
    std::vector<std::unique_ptr<window>> all_; // destroyed ones stay, so stale handles are recognised
    long next_z_ = 0;
};

} // namespace simhost::detail
