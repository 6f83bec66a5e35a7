#pragma once

// The pilot's mouse over the windows: where it is, which window a press went
// to, and what the window under it asked the cursor to look like. Presses,
// drags, releases and the wheel reach the windows' handlers here; a press
// elsewhere takes keyboard focus from a window, and a press on a window's
// title bar or close box is the simulator's own.

#include "XPLMDisplay.h"
#include "world/plugin_gate.h"

#include <string>

namespace simhost::detail {

struct window;
class keyboard;
class windows;

class mouse {
public:
    mouse(windows &wins, keyboard &keys, plugin_gate &gate) : wins_(wins), keys_(keys), gate_(gate) {}

    // `live`: whether the plugin's handlers may run now.
    void move(int x, int y, bool live);
    void press(bool right, int x, int y, bool live);
    void release(bool right, int x, int y, bool live);
    // True when a window took the turn of the wheel.
    bool wheel(int x, int y, int wheel, int clicks, bool live);
    // Asks the window under the mouse for its cursor.
    void update_cursor(bool live);
    // The pilot clicks a shown window's close box: the simulator hides it
    // without asking the plugin.
    void click_close_box(window &w, bool live);

    // A press in progress ends with its window.
    void forget(const void *window_id);
    void forget_all() { left_ = right_ = title_drag_ = nullptr; }
    // The image the plugin last showed as the cursor; empty for the platform's own.
    void set_os_cursor(std::string name) { os_cursor_ = std::move(name); }

    int x() const { return x_; }
    int y() const { return y_; }
    XPLMCursorStatus cursor() const { return cursor_; }
    const std::string &os_cursor() const { return os_cursor_; }

private:
    void send_click(bool right, int x, int y, int status, bool live);
    // A press on the simulator's decoration of the window: true when it was.
    bool press_decoration(window &w, bool right, int x, int y, bool live);

    windows &wins_;
    keyboard &keys_;
    plugin_gate &gate_;
    int x_ = 0;
    int y_ = 0;
    window *left_ = nullptr;       // the window a left press went to, until release
    window *right_ = nullptr;      // the same for the right button
    window *title_drag_ = nullptr; // the window whose title bar the left button holds
    bool left_down_ = false;
    bool right_down_ = false;
    XPLMCursorStatus cursor_ = xplm_CursorDefault;
    std::string os_cursor_;
};

} // namespace simhost::detail
