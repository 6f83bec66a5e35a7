#include <gtest/gtest.h>

#include <acfutils/widget.h>

#include <array>
#include <cstring>
#include <vector>

#include "XPLMDataAccess.h"
#include "xplm_stand_in.h"

namespace {

using geom = std::array<int, 4>; /* left, top, right, bottom */

/* A window as the fake simulator sees it; its address is the XPLMWindowID. */
struct fake_window {
    bool popped_out = false, in_vr = false;
    geom boxels{}, os{};
    std::vector<geom> os_sets;
    int boxel_sets = 0;
    std::vector<int> modes;
};

int vr_enabled = 0;
bool vr_dataref_known = true;
int vr_dataref_handle;

fake_window *fw(XPLMWindowID id)
{
    return static_cast<fake_window *>(id);
}

} // namespace

extern "C" {
int XPLMWindowIsPoppedOut(XPLMWindowID w)
{
    return fw(w)->popped_out;
}
int XPLMWindowIsInVR(XPLMWindowID w)
{
    return fw(w)->in_vr;
}
void XPLMGetWindowGeometry(XPLMWindowID w, int *l, int *t, int *r, int *b)
{
    *l = fw(w)->boxels[0], *t = fw(w)->boxels[1], *r = fw(w)->boxels[2], *b = fw(w)->boxels[3];
}
void XPLMSetWindowGeometry(XPLMWindowID w, int, int, int, int)
{
    fw(w)->boxel_sets++;
}
void XPLMGetWindowGeometryOS(XPLMWindowID w, int *l, int *t, int *r, int *b)
{
    *l = fw(w)->os[0], *t = fw(w)->os[1], *r = fw(w)->os[2], *b = fw(w)->os[3];
}
void XPLMSetWindowGeometryOS(XPLMWindowID w, int l, int t, int r, int b)
{
    fw(w)->os = {l, t, r, b};
    fw(w)->os_sets.push_back({l, t, r, b});
}
void XPLMSetWindowPositioningMode(XPLMWindowID w, XPLMWindowPositioningMode mode, int monitor)
{
    EXPECT_EQ(monitor, -1);
    fw(w)->modes.push_back(mode);
}
XPLMDataRef XPLMFindDataRef(const char *name)
{
    EXPECT_STREQ(name, "sim/graphics/VR/enabled");
    return vr_dataref_known ? &vr_dataref_handle : nullptr;
}
int XPLMGetDatai(XPLMDataRef dr)
{
    EXPECT_EQ(dr, &vr_dataref_handle);
    return vr_enabled;
}
}

XPLM_STAND_IN(XPLMWindowIsPoppedOut)
XPLM_STAND_IN(XPLMWindowIsInVR)
XPLM_STAND_IN(XPLMGetWindowGeometry)
XPLM_STAND_IN(XPLMSetWindowGeometry)
XPLM_STAND_IN(XPLMGetWindowGeometryOS)
XPLM_STAND_IN(XPLMSetWindowGeometryOS)
XPLM_STAND_IN(XPLMSetWindowPositioningMode)
XPLM_STAND_IN(XPLMFindDataRef)
XPLM_STAND_IN(XPLMGetDatai)

struct resize_case {
    const char *what;
    geom dragged_to;
    std::vector<geom> expected_sets;
};

void PrintTo(const resize_case &c, std::ostream *os)
{
    *os << c.what;
}

class OsWindowResize : public ::testing::TestWithParam<resize_case> {};

/* Content 400 x 300: the window's height is 3/4 of its width. */
TEST_P(OsWindowResize, KeepsTheTopLeftAndBringsTheSizeBackToTheAspect)
{
    fake_window win;
    win.popped_out = true;
    win.os = {100, 500, 500, 200};
    win_resize_ctl_t wrc;
    win_resize_ctl_init(&wrc, &win, 400, 300);

    win.os = GetParam().dragged_to;
    win_resize_ctl_update(&wrc, &win);
    EXPECT_EQ(win.os_sets, GetParam().expected_sets);

    win.os_sets.clear();
    win_resize_ctl_update(&wrc, &win);
    EXPECT_TRUE(win.os_sets.empty()) << "a settled window must be left alone";
}

INSTANTIATE_TEST_SUITE_P(
    Drags, OsWindowResize,
    ::testing::Values(resize_case{"unchanged", {100, 500, 500, 200}, {}},
                      resize_case{"moved", {150, 450, 550, 150}, {}},
                      resize_case{"wider", {100, 500, 600, 200}, {{100, 500, 600, 125}}},
                      resize_case{"taller", {100, 500, 500, 140}, {{100, 500, 580, 140}}},
                      resize_case{"width_changed_most", {100, 500, 300, 180}, {{100, 500, 300, 350}}},
                      resize_case{"already_in_aspect", {100, 500, 900, -100}, {}}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(WinResizeCtl, NeverResizesAWindowInsideTheSimulator)
{
    fake_window win;
    win.boxels = {0, 300, 400, 0};
    win_resize_ctl_t wrc;
    win_resize_ctl_init(&wrc, &win, 400, 300);
    win.boxels = {0, 300, 900, 0};
    win_resize_ctl_update(&wrc, &win);
    EXPECT_EQ(wrc.right, 900) << "its geometry is still tracked";
    EXPECT_EQ(win.boxel_sets, 0);
    EXPECT_TRUE(win.os_sets.empty());

    win_resize_ctl_update(nullptr, &win);
    win_resize_ctl_update(&wrc, nullptr);
}

struct vr_case {
    bool known;
    int enabled;
    bool in_vr;
    bool moves;
};

TEST(WindowFollowVR, MovesTheWindowIntoTheHeadsetOnlyWhenVrIsOnAndItIsNotThere)
{
    const vr_case cases[] = {
        {true, 1, false, true},
        {true, 1, true, false},
        {true, 0, false, false},
        {false, 1, false, false},
    };
    for (const vr_case &c : cases) {
        fake_window win;
        win.in_vr = c.in_vr;
        vr_dataref_known = c.known;
        vr_enabled = c.enabled;
        window_follow_VR(&win);
        EXPECT_EQ(win.modes, c.moves ? std::vector<int>{xplm_WindowVR} : std::vector<int>{})
            << "known " << c.known << " enabled " << c.enabled << " in_vr " << c.in_vr;
    }
    window_follow_VR(nullptr);
}
