#pragma once

// The pilot's mouse over the windows: where it is, which window a press went
// to, and what the window under it asked the cursor to look like. Presses,
// drags, releases and the wheel reach the windows' handlers here.

#include "XPLMDisplay.h"
#include "world/plugin_gate.h"

#include <string>

namespace simhost::detail {

struct window;
class windows;

class mouse {
public:
    mouse(windows &wins, plugin_gate &gate) : wins_(wins), gate_(gate) {}

    // `live`: whether the plugin's handlers may run now.
    void move(int x, int y, bool live);
    void press(bool right, int x, int y, bool live);
    void release(bool right, int x, int y, bool live);
    // True when a window took the turn of the wheel.
    bool wheel(int x, int y, int wheel, int clicks, bool live);
    // Asks the window under the mouse for its cursor.
    void update_cursor(bool live);

    // A press in progress ends with its window.
    void forget(const void *window_id);
    void forget_all() { left_ = right_ = nullptr; }
    // The image the plugin last showed as the cursor; empty for the platform's own.
    void set_os_cursor(std::string name) { os_cursor_ = std::move(name); }

    int x() const { return x_; }
    int y() const { return y_; }
    XPLMCursorStatus cursor() const { return cursor_; }
    const std::string &os_cursor() const { return os_cursor_; }

private:
    void send_click(bool right, int x, int y, int status, bool live);

    windows &wins_;
    plugin_gate &gate_;
    int x_ = 0;
    int y_ = 0;
    window *left_ = nullptr;  // the window a left press went to, until release
    window *right_ = nullptr; // the same for the right button
    bool left_down_ = false;
    bool right_down_ = false;
    XPLMCursorStatus cursor_ = xplm_CursorDefault;
    std::string os_cursor_;
};

} // namespace simhost::detail
