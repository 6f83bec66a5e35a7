// The mouse: presses go to the front window under the point, drags and the
// release stay with the window the press went to, and cursor queries.

#include "XPLMDisplay.h"
#include "host.h"
#include "host_test_support.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

using simhost::rect;
using ::testing::ElementsAre;

namespace {

struct tag {
    std::vector<std::string> *events;
    std::string name;
    int consumes = 1;
    XPLMCursorStatus cursor = xplm_CursorDefault;
};

std::string event(const tag &t, const char *kind, int x, int y, XPLMMouseStatus s)
{
    return t.name + " " + kind + std::to_string(s) + " " + std::to_string(x) + "," + std::to_string(y);
}

int on_click(XPLMWindowID, int x, int y, XPLMMouseStatus s, void *refcon)
{
    auto *t = static_cast<tag *>(refcon);
    t->events->push_back(event(*t, "left", x, y, s));
    return t->consumes;
}

int on_right_click(XPLMWindowID, int x, int y, XPLMMouseStatus s, void *refcon)
{
    auto *t = static_cast<tag *>(refcon);
    t->events->push_back(event(*t, "right", x, y, s));
    return t->consumes;
}

int on_wheel(XPLMWindowID, int x, int y, int wheel, int clicks, void *refcon)
{
    auto *t = static_cast<tag *>(refcon);
    t->events->push_back(t->name + " wheel" + std::to_string(wheel) + " " + std::to_string(clicks) + " " +
                         std::to_string(x) + "," + std::to_string(y));
    return t->consumes;
}

XPLMCursorStatus on_cursor(XPLMWindowID, int, int, void *refcon)
{
    return static_cast<tag *>(refcon)->cursor;
}

class mouse : public ::testing::Test {
protected:
    simhost::host h;
    std::vector<std::string> events;

    XPLMWindowID make(tag &t, rect r, XPLMWindowLayer layer = xplm_WindowLayerFloatingWindows,
                      bool right = true, int decoration = xplm_WindowDecorationNone)
    {
        t.events = &events;
        XPLMCreateWindow_t p = host_test::window_params(r);
        p.decorateAsFloatingWindow = decoration;
        p.handleMouseClickFunc = on_click;
        p.handleCursorFunc = on_cursor;
        p.handleMouseWheelFunc = on_wheel;
        p.handleRightClickFunc = right ? on_right_click : nullptr;
        p.refcon = &t;
        p.layer = layer;
        return XPLMCreateWindowEx(&p);
    }
};

TEST_F(mouse, a_press_goes_to_the_front_window_under_the_point_and_raises_it)
{
    tag back{nullptr, "back"}, front{nullptr, "front"};
    XPLMWindowID b = make(back, {0, 100, 100, 0});
    make(front, {50, 100, 150, 0});
    h.click(75, 50); // both hold the point: the later one is in front
    h.click(25, 50); // only the back one
    h.click(75, 50); // the back one was raised by its click
    h.click(200, 50);
    EXPECT_THAT(events, ElementsAre("front left1 75,50", "front left3 75,50", "back left1 25,50",
                                    "back left3 25,50", "back left1 75,50", "back left3 75,50"));
    events.clear();
    XPLMSetWindowIsVisible(b, 0);
    h.click(75, 50);
    EXPECT_THAT(events, ElementsAre("front left1 75,50", "front left3 75,50"))
        << "a hidden window takes no clicks";
}

TEST_F(mouse, a_higher_layer_and_a_popped_out_window_lie_in_front_whatever_the_order)
{
    tag modal{nullptr, "modal"}, floating{nullptr, "floating"}, popped{nullptr, "popped"};
    make(modal, {0, 100, 100, 0}, xplm_WindowLayerModal);
    make(floating, {0, 100, 100, 0});
    h.click(10, 10);
    XPLMWindowID p = make(popped, {500, 600, 600, 500}, xplm_WindowLayerFlightOverlay);
    XPLMSetWindowPositioningMode(p, xplm_WindowPopOut, 0);
    XPLMSetWindowGeometryOS(p, 0, 100, 100, 0);
    h.run_frames(1); // its OS window appears
    h.click(20, 20);
    EXPECT_THAT(events, ElementsAre("modal left1 10,10", "modal left3 10,10", "popped left1 20,20",
                                    "popped left3 20,20"));
}

TEST_F(mouse, a_press_a_window_does_not_take_goes_on_to_the_window_behind)
{
    tag back{nullptr, "back"}, front{nullptr, "front", 0};
    make(back, {0, 100, 100, 0});
    make(front, {0, 100, 100, 0});
    h.mouse_down(10, 10);
    h.mouse_move(20, 20);
    h.mouse_up(30, 30);
    EXPECT_THAT(events,
                ElementsAre("front left1 10,10", "back left1 10,10", "back left2 20,20", "back left3 30,30"));
}

TEST_F(mouse, the_wheel_goes_front_to_back_until_a_window_takes_it_then_to_the_simulator)
{
    tag back{nullptr, "back"}, front{nullptr, "front", 0};
    make(back, {0, 100, 100, 0});
    make(front, {50, 100, 150, 0});
    EXPECT_TRUE(h.mouse_wheel(75, 50, 0, -2));
    EXPECT_FALSE(h.mouse_wheel(120, 50, 1, 3)) << "the front window passes it and nothing lies behind";
    EXPECT_FALSE(h.mouse_wheel(500, 500, 0, 1));
    EXPECT_THAT(events,
                ElementsAre("front wheel0 -2 75,50", "back wheel0 -2 75,50", "front wheel1 3 120,50"));
}

TEST_F(mouse, drags_and_the_release_stay_with_the_window_the_press_started_in)
{
    tag a{nullptr, "a"}, b{nullptr, "b"};
    make(a, {0, 100, 100, 0});
    make(b, {200, 100, 300, 0});
    h.mouse_down(50, 50);
    h.mouse_move(250, 50);
    h.mouse_move(-40, 500);
    h.mouse_up(250, 50);
    h.mouse_move(260, 50); // no button down: no drag
    EXPECT_THAT(events, ElementsAre("a left1 50,50", "a left2 250,50", "a left2 -40,500", "a left3 250,50"));
}

TEST_F(mouse, right_clicks_go_to_the_right_click_handler_and_pass_on_like_left_ones)
{
    tag back{nullptr, "back"}, front{nullptr, "front", 0}, no_right{nullptr, "no_right"};
    make(back, {0, 100, 100, 0});
    make(front, {0, 100, 100, 0});
    make(no_right, {0, 100, 100, 0}, xplm_WindowLayerFloatingWindows, false);
    h.right_down(10, 10);
    h.mouse_move(12, 12);
    h.right_up(14, 14);
    EXPECT_THAT(events, ElementsAre("front right1 10,10", "back right1 10,10", "back right2 12,12",
                                    "back right3 14,14"));
}

TEST_F(mouse, a_right_press_nobody_takes_still_sends_its_drag_and_release_to_the_front_window)
{
    tag only{nullptr, "only", 0};
    make(only, {0, 100, 100, 0});
    h.right_click(5, 5);
    EXPECT_THAT(events, ElementsAre("only right1 5,5", "only right3 5,5"));
}

TEST_F(mouse, the_window_under_the_mouse_says_which_cursor_to_show)
{
    tag custom{nullptr, "custom"};
    custom.cursor = xplm_CursorCustom;
    make(custom, {0, 100, 100, 0});
    h.mouse_move(50, 50);
    EXPECT_EQ(h.cursor_status(), xplm_CursorCustom);
    h.mouse_move(150, 50);
    EXPECT_EQ(h.cursor_status(), xplm_CursorDefault);
    int x = 0, y = 0;
    XPLMGetMouseLocationGlobal(&x, &y);
    EXPECT_EQ(x, 150);
    EXPECT_EQ(y, 50);
}

int destroying_click(XPLMWindowID w, int, int, XPLMMouseStatus s, void *refcon)
{
    static_cast<std::vector<std::string> *>(refcon)->push_back("press " + std::to_string(s));
    XPLMDestroyWindow(w);
    return 1;
}

TEST_F(mouse, a_window_destroyed_by_its_own_press_gets_no_release)
{
    XPLMCreateWindow_t p = host_test::window_params({0, 100, 100, 0});
    p.handleMouseClickFunc = destroying_click;
    p.refcon = &events;
    ASSERT_NE(XPLMCreateWindowEx(&p), nullptr);
    h.mouse_down(10, 10);
    h.mouse_move(20, 20);
    h.mouse_up(20, 20);
    EXPECT_THAT(events, ElementsAre("press 1"));
    EXPECT_TRUE(h.windows().empty());
}

rect geometry(XPLMWindowID w)
{
    rect r;
    XPLMGetWindowGeometry(w, &r.left, &r.top, &r.right, &r.bottom);
    return r;
}

TEST_F(mouse, the_title_bar_drags_a_free_decorated_window_and_the_close_box_hides_it_without_a_word)
{
    tag behind{nullptr, "behind"}, front{nullptr, "front"};
    make(behind, {0, 300, 300, 0});
    XPLMWindowID w = make(front, {0, 200, 200, 0}, xplm_WindowLayerFloatingWindows, true,
                          xplm_WindowDecorationRoundRectangle);
    const int number = h.windows().back().number;
    // Its title bar lies over the window behind: neither hears of the drag.
    h.mouse_down(50, 210);
    h.mouse_move(80, 230);
    h.mouse_move(90, 250);
    h.mouse_up(90, 250);
    EXPECT_EQ(geometry(w), (rect{40, 240, 240, 40}));
    EXPECT_EQ(h.windows().back().title_bar, (rect{40, 264, 240, 240}));
    XPLMSetWindowPositioningMode(w, xplm_WindowCenterOnMonitor, 0);
    const rect centred = geometry(w);
    h.mouse_down(centred.left + 10, centred.top + 5);
    h.mouse_move(centred.left + 90, centred.top + 5);
    h.mouse_up(centred.left + 90, centred.top + 5);
    EXPECT_EQ(geometry(w), centred) << "only a free window is the pilot's to move";

    const rect box = h.windows().back().close_box;
    h.click(box.left + 2, box.bottom + 2);
    EXPECT_EQ(XPLMGetWindowIsVisible(w), 0);
    EXPECT_FALSE(h.click_close_box(number)) << "hidden";
    EXPECT_TRUE(events.empty());
}

TEST_F(mouse, a_decorated_window_keeps_a_press_it_does_not_take_from_the_windows_behind)
{
    tag behind{nullptr, "behind"}, front{nullptr, "front", 0};
    make(behind, {0, 100, 100, 0});
    make(front, {0, 100, 100, 0}, xplm_WindowLayerFloatingWindows, true, xplm_WindowDecorationSelfDecorated);
    h.mouse_down(10, 10);
    h.mouse_up(20, 20);
    EXPECT_THAT(events, ElementsAre("front left1 10,10", "front left3 20,20"));
}

} // namespace
