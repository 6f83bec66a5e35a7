#include "world/keyboard.h"

#include "world/windows.h"

namespace simhost::detail {

void keyboard::move_to(window *taker, bool live)
{
    window *loser = focus_;
    // Set first: the handler may take focus again, or give it away.
    focus_ = taker;
    if (loser == nullptr || !loser->live || !live || loser->params.handleKeyFunc == nullptr)
        return;
    // The header: the window passed is "the other window taking focus", and
    // may be null when the window manager takes it.
    const plugin_call call(gate_, "a key handler");
    loser->params.handleKeyFunc(taker, 0, 0, 0, loser->params.refcon, 1);
}

void keyboard::take(window *w, bool live)
{
    if (w != focus_)
        move_to(w, live);
}

void keyboard::pressed_on(const window *w, bool live)
{
    if (focus_ != nullptr && focus_ != w)
        move_to(nullptr, live);
}

void keyboard::release(const window &w, bool live)
{
    if (focus_ == &w)
        move_to(nullptr, live);
}

bool keyboard::press(char key, int vkey, int flags, bool live)
{
    window *w = focus_;
    if (w == nullptr)
        return false;
    const char vk = static_cast<char>(vkey);
    const int modifiers = flags & ~(xplm_DownFlag | xplm_UpFlag);
    for (const int phase : {xplm_DownFlag, xplm_UpFlag}) {
        if (focus_ != w || !w->live || !live || w->params.handleKeyFunc == nullptr)
            break;
        const plugin_call call(gate_, "a key handler");
        w->params.handleKeyFunc(w, key, modifiers | phase, vk, w->params.refcon, 0);
    }
    return true;
}

} // namespace simhost::detail
