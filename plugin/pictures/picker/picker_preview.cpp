#include "pictures/picker/picker_preview.h"

#include <algorithm>
#include <cmath>

#include <acfutils/glew.h>

#include "lifecycle/perf_clock.h"
#include "pictures/capture_rate.h"
#include "pictures/gl_bindings.h"
#include "pictures/scr_cap.h"

namespace {

constexpr double pictures_per_second = 5;
constexpr int max_texels = 1024;

// The panel's shape in at most max_texels along its longer side.
void texture_size(panel_size panel, int &w, int &h)
{
    const double scale = std::min(1.0, static_cast<double>(max_texels) / std::max(panel.width, panel.height));
    w = std::max(1, static_cast<int>(std::lround(panel.width * scale)));
    h = std::max(1, static_cast<int>(std::lround(panel.height * scale)));
}

void copy_panel(picker_preview &p, panel_size panel, uint64_t now_us)
{
    capture_region &r = p.picture;
    int w = 0, h = 0;
    texture_size(panel, w, h);
    if (r.tex != 0 && (static_cast<int>(r.src_w) != w || static_cast<int>(r.src_h) != h))
        scr_cap_release(&r);
    if (!capture_due(r.tex != 0, r.last_capture_us, r.rate, now_us))
        return;

    const saved_bindings keep;
    r.src_w = w;
    r.src_h = h;
    scr_cap_prepare(&r);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, keep.draw_framebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, r.fbo);
    // A blit obeys the scissor test, which the simulator may have left on.
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, panel.width, panel.height, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    r.last_capture_us = now_us;
}

int preview_cb(XPLMDrawingPhase, int, void *ref)
{
    picker_preview &p = *static_cast<picker_preview *>(ref);
    // Only the lit pass has the displays drawn.
    if (p.render_type == nullptr || XPLMGetDatai(p.render_type) != 2)
        return 1;
    // Its close box hides the window without a word to the plugin.
    if (p.window == nullptr || XPLMGetWindowIsVisible(p.window) == 0) {
        preview_close(p);
        return 1;
    }
    const panel_size total = panel_bounds_read(p.bounds);
    if (total.width > 0)
        p.seen = total;
    const panel_size panel = preview_panel(p);
    if (panel.width > 0 && panel.height > 0)
        copy_panel(p, panel, perf_now_us());
    return 1;
}

} // namespace

void preview_start(picker_preview &p)
{
    p.render_type = XPLMFindDataRef("sim/graphics/view/panel_render_type");
    p.bounds = panel_bounds_find();
    p.picture = capture_region{};
    p.picture.rate = pictures_per_second;
    p.seen = {0, 0};
}

void preview_open(picker_preview &p)
{
    if (!p.registered)
        p.registered = XPLMRegisterDrawCallback(preview_cb, xplm_Phase_Gauges, 0, &p) != 0;
}

void preview_close(picker_preview &p)
{
    if (p.registered)
        XPLMUnregisterDrawCallback(preview_cb, xplm_Phase_Gauges, 0, &p);
    p.registered = false;
    scr_cap_release(&p.picture);
    // The next opening shows a picture at the first lit pass.
    p.picture.last_capture_us = 0;
}

panel_size preview_panel(const picker_preview &p)
{
    if (p.seen.width > 0)
        return p.seen;
    const panel_size known = current_panel_size();
    return known.width > 0 && known.height > 0 ? known : p.assumed;
}

bool preview_draw(const picker_preview &p, const picture_place &place, panel_size panel)
{
    if (p.picture.tex == 0)
        return false;
    capture_region picture = p.picture;
    const vect2_t at = VECT2(place.boxel_x(0), place.boxel_y(0));
    scr_cap_draw(&picture, at, VECT2(panel.width * place.scale, panel.height * place.scale), nullptr);
    return true;
}
