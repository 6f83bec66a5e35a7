#include "pictures/device_capture.h"

#include "XPLMDataAccess.h"
#include "XPLMGraphics.h"

#include <acfutils/glew.h>
#include <acfutils/log.h>

#include "pictures/capture_rate.h"
#include "pictures/gl_bindings.h"
#include "lifecycle/perf_clock.h"
#include "pictures/scr_cap.h"
#include "remote/popup_feed.h"

namespace {

constexpr double captures_per_second = 20;

bool window_shown(const popup *pup)
{
    return pup->win != nullptr && XPLMGetWindowIsVisible(pup->win) != 0;
}

// A device the aircraft uses whose bus has no voltage shows nothing, and no
// picture from before.
bool unpowered(const device_feed &f)
{
    if (f.api.bus_volts_ratio == nullptr || f.handle == nullptr || f.api.is_bound(f.handle) == 0)
        return false;
    return f.api.bus_volts_ratio(f.handle) <= 0;
}

// The framebuffer and viewport (left, bottom, right, top) the simulator
// names for the device's screen at this call; false when it names none.
bool screen_at(const device_feed &f, int &fbo, int vp[4])
{
    fbo = XPLMGetDatai(f.fbo_ref);
    return XPLMGetDatavi(f.viewport_ref, vp, 0, 4) == 4 && fbo >= 0 && vp[2] > vp[0] && vp[3] > vp[1];
}

// The device's screen into the display's texture; the texture follows the
// screen's size.
void copy_screen(device_feed &f, int fbo, const int vp[4], uint64_t now_us)
{
    capture_region &r = f.picture;
    const int w = vp[2] - vp[0], h = vp[3] - vp[1];
    if (r.tex != 0 && (r.src_w != w || r.src_h != h))
        scr_cap_release(&r);
    if (!capture_due(r.tex != 0, r.last_capture_us, r.rate, now_us))
        return;

    const saved_bindings keep;
    r.src_x = vp[0];
    r.src_y = vp[1];
    r.src_w = w;
    r.src_h = h;
    scr_cap_prepare(&r);
    // The screen's own read buffer, whatever it is: it is the simulator's to set.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(fbo));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, r.fbo);
    // A blit obeys the scissor test, which the simulator may have left on.
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(vp[0], vp[1], vp[2], vp[3], 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    r.last_capture_us = now_us;
}

void draw_black(vect2_t pos, vect2_t size)
{
    XPLMSetGraphicsState(0, 0, 0, 0, 0, 0, 0);
    // The current colour is whatever was left.
    glColor4f(0, 0, 0, 1);
    glBegin(GL_QUADS);
    glVertex2f(static_cast<GLfloat>(pos.x), static_cast<GLfloat>(pos.y));
    glVertex2f(static_cast<GLfloat>(pos.x), static_cast<GLfloat>(pos.y + size.y));
    glVertex2f(static_cast<GLfloat>(pos.x + size.x), static_cast<GLfloat>(pos.y + size.y));
    glVertex2f(static_cast<GLfloat>(pos.x + size.x), static_cast<GLfloat>(pos.y));
    glEnd();
}

} // namespace

void device_capture_start(popup *pup, const avionics::api &api)
{
    device_feed &f = pup->device;
    f.api = api;
    f.registration = nullptr;
    f.handle = nullptr;
    f.active = false;
    f.fbo_ref = XPLMFindDataRef("sim/graphics/view/current_gl_fbo");
    f.viewport_ref = XPLMFindDataRef("sim/graphics/view/viewport");
    // Shown where the panel rectangle would be, captured at the same rate.
    f.picture = capture_region{};
    if (pup->regions != nullptr && !region_is_end(pup->regions[0])) {
        const capture_region &from = pup->regions[0];
        f.picture.place_x = from.place_x;
        f.picture.place_y = from.place_y;
        f.picture.place_w = from.place_w;
        f.picture.place_h = from.place_h;
    }
    f.picture.rate = captures_per_second;

    if (api.usable() && f.fbo_ref != nullptr && f.viewport_ref != nullptr) {
        f.handle = api.get_handle(f.device);
        avionics::customize params{};
        params.structSize = sizeof(params);
        params.deviceId = f.device;
        params.drawCallbackAfter = device_capture_after_draw;
        params.refcon = pup;
        f.registration = api.register_callbacks(&params);
        if (f.registration == nullptr)
            logMsg("Cannot register the drawing callbacks of the %s", f.device_name);
    }
}

bool device_capture_available(const popup *pup)
{
    const device_feed &f = pup->device;
    return f.registration != nullptr && f.handle != nullptr && f.api.is_bound(f.handle) != 0;
}

bool device_capture_choose(popup *pup, bool use_device)
{
    device_feed &f = pup->device;
    f.active = use_device && device_capture_available(pup);
    // The next copy, of either source, is due at once.
    f.picture.last_capture_us = 0;
    for (capture_region *r = pup->regions; r != nullptr && !region_is_end(*r); r++)
        r->last_capture_us = 0;
    return f.active;
}

void device_capture_stop(popup *pup)
{
    device_feed &f = pup->device;
    if (f.registration != nullptr)
        f.api.unregister_callbacks(f.registration);
    f.registration = nullptr;
    f.handle = nullptr;
    f.active = false;
    device_capture_release(pup);
}

bool device_capture_active(const popup *pup)
{
    return pup->device.active;
}

void device_capture_release(popup *pup)
{
    scr_cap_release(&pup->device.picture);
}

void device_capture_draw(popup *pup, vect2_t area_pos, vect2_t area_size, vect2_t pos, vect2_t size)
{
    if (unpowered(pup->device))
        draw_black(area_pos, area_size);
    else
        scr_cap_draw(&pup->device.picture, pos, size, nullptr);
}

int device_capture_after_draw(int, int, void *ref)
{
    popup *pup = static_cast<popup *>(ref);
    device_feed &f = pup->device;
    if (!f.active)
        return 1;
    int fbo = -1;
    int vp[4] = {0, 0, 0, 0};
    const bool drawn = screen_at(f, fbo, vp);
    const uint64_t now_us = perf_now_us();
    // Remote viewers see the device whether or not the window is shown.
    if (drawn)
        popup_feed_device(pup, fbo, vp, now_us);
    // Hidden, or dark: no copy kept, and the next one is taken at once.
    if (!window_shown(pup) || unpowered(f)) {
        device_capture_release(pup);
        return 1;
    }
    if (drawn)
        copy_screen(f, fbo, vp, now_us);
    return 1;
}
