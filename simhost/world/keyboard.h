#pragma once

// Keyboard focus: which window the pilot's keys go to, or the simulator's own
// (XPLMDisplay.h: "Only one window may have focus at a time; your window will
// be notified if it loses focus"). Keys and the losing-focus notices reach
// the windows' key handlers here.

#include "XPLMDisplay.h"
#include "world/plugin_gate.h"

namespace simhost::detail {

struct window;

class keyboard {
public:
    explicit keyboard(plugin_gate &gate) : gate_(gate) {}

    // The window with focus; null while the simulator takes the keys.
    window *focus() const { return focus_; }
    // XPLMTakeKeyboardFocus: the window that had focus hears it is losing
    // it, told the window taking it (null: the simulator). `live`: whether
    // the plugin's handlers may run now.
    void take(window *w, bool live);
    // A mouse press landed on `w` (null: the simulator's own area): focus
    // leaves any other window, taken by the window manager.
    void pressed_on(const window *w, bool live);
    // A window hidden, or about to be destroyed, gives focus back.
    void release(const window &w, bool live);
    // A key down then up, to the window with focus (flags | xplm_DownFlag,
    // then | xplm_UpFlag); the release goes only to a window still holding
    // focus. False when no window has focus.
    bool press(char key, int vkey, int flags, bool live);
    // For code about to be unloaded: nobody is told.
    void forget_all() { focus_ = nullptr; }

private:
    void move_to(window *taker, bool live);

    plugin_gate &gate_;
    window *focus_ = nullptr;
};

} // namespace simhost::detail
