#include "world/mouse.h"

#include "world/keyboard.h"
#include "world/windows.h"

namespace simhost::detail {

void mouse::click_close_box(window &w, bool live)
{
    keys_.pressed_on(&w, live);
    // The plugin finds out from its visibility.
    wins_.show(w, false);
    keys_.release(w, live);
}

bool mouse::press_decoration(window &w, bool right, int x, int y, bool live)
{
    switch (wins_.part_at(w, x, y)) {
    case window_part::close_box:
        if (!right)
            click_close_box(w, live);
        return true;
    case window_part::title_bar:
        if (!right) {
            title_drag_ = &w;
            wins_.raise(w);
        }
        return true;
    default:
        return false;
    }
}

void mouse::send_click(bool right, int x, int y, int status, bool live)
{
    window *&held = right ? right_ : left_;
    bool &down = right ? right_down_ : left_down_;
    auto handler = [right](const window &w) {
        return right ? w.params.handleRightClickFunc : w.params.handleMouseClickFunc;
    };

    if (status != xplm_MouseDown) {
        // Drags and the release stay with the window the press went to, as
        // long as it is shown: a window hidden during a press gets neither.
        window *w = held;
        if (status == xplm_MouseUp) {
            down = false;
            held = nullptr;
        }
        if (w != nullptr && w->live && w->visible && live && handler(*w) != nullptr) {
            wins_.handler_point(*w, x, y);
            const plugin_call call(gate_, "a mouse click handler");
            handler (*w)(w, x, y, status, w->params.refcon);
        }
        return;
    }

    down = true;
    held = nullptr;
    const std::vector<window *> under = wins_.at(x, y);
    keys_.pressed_on(under.empty() ? nullptr : under.front(), live);
    if (!live)
        return;
    // Front to back until a window takes the press; a press nobody takes
    // still sends its drags and release to the window in front.
    window *first = nullptr;
    for (window *w : under) {
        if (!w->live)
            continue;
        if (first == nullptr)
            first = w;
        if (press_decoration(*w, right, x, y, live))
            return;
        XPLMHandleMouseClick_f fn = handler(*w);
        int wx = x, wy = y;
        wins_.handler_point(*w, wx, wy);
        const plugin_call call(gate_, "a mouse click handler");
        if (fn != nullptr && fn(w, wx, wy, xplm_MouseDown, w->params.refcon) != 0) {
            held = w;
            if (!right && w->live)
                wins_.raise(*w);
            return;
        }
        if (w->live && stops_clicks(*w))
            break;
    }
    held = first != nullptr && first->live ? first : nullptr;
}

void mouse::update_cursor(bool live)
{
    cursor_ = xplm_CursorDefault;
    if (!live)
        return;
    const std::vector<window *> under = wins_.at(x_, y_);
    if (under.empty())
        return;
    window *w = under.front();
    int x = x_, y = y_;
    wins_.handler_point(*w, x, y);
    if (w->params.handleCursorFunc != nullptr && wins_.part_at(*w, x_, y_) == window_part::content) {
        const plugin_call call(gate_, "a cursor handler");
        cursor_ = w->params.handleCursorFunc(w, x, y, w->params.refcon);
    }
}

void mouse::move(int x, int y, bool live)
{
    // The mouse may be anywhere in the coordinates, so the step is taken wide.
    const long long dx = static_cast<long long>(x) - x_, dy = static_cast<long long>(y) - y_;
    x_ = x;
    y_ = y;
    if (title_drag_ != nullptr) {
        if (title_drag_->live && title_drag_->visible)
            wins_.user_drag(*title_drag_, dx, dy);
    } else if (left_down_) {
        send_click(false, x, y, xplm_MouseDrag, live);
    }
    if (right_down_)
        send_click(true, x, y, xplm_MouseDrag, live);
    update_cursor(live);
}

void mouse::press(bool right, int x, int y, bool live)
{
    x_ = x;
    y_ = y;
    if (!right)
        title_drag_ = nullptr;
    send_click(right, x, y, xplm_MouseDown, live);
}

void mouse::release(bool right, int x, int y, bool live)
{
    x_ = x;
    y_ = y;
    if (!right)
        title_drag_ = nullptr;
    if (right ? right_down_ : left_down_)
        send_click(right, x, y, xplm_MouseUp, live);
    update_cursor(live);
}

bool mouse::wheel(int x, int y, int wheel, int clicks, bool live)
{
    x_ = x;
    y_ = y;
    if (!live)
        return false;
    // Front to back, like a press: a window returning 0 passes it on; a
    // title bar is the simulator's.
    for (window *w : wins_.at(x, y)) {
        if (w->live && wins_.part_at(*w, x, y) != window_part::content)
            return false;
        XPLMHandleMouseWheel_f fn = w->params.handleMouseWheelFunc;
        int wx = x, wy = y;
        wins_.handler_point(*w, wx, wy);
        const plugin_call call(gate_, "a mouse wheel handler");
        if (w->live && fn != nullptr && fn(w, wx, wy, wheel, clicks, w->params.refcon) != 0)
            return true;
    }
    return false;
}

void mouse::forget(const void *window_id)
{
    if (left_ == window_id)
        left_ = nullptr;
    if (right_ == window_id)
        right_ = nullptr;
    if (title_drag_ == window_id)
        title_drag_ = nullptr;
}

} // namespace simhost::detail
