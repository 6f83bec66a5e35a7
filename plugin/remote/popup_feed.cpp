#include "remote/popup_feed.h"

#include <acfutils/glew.h>

#include "pictures/device_capture.h"
#include "remote/picture_feed.h"
#include "windows/popupSystem.h"

namespace {

bool display_of(const popup *pup, remote::display_id &d)
{
    if (pup == &pfd_popup)
        d = remote::display_id::pfd;
    else if (pup == &mfd_popup)
        d = remote::display_id::mfd;
    else if (pup == &pfd2_popup)
        d = remote::display_id::pfd2;
    else
        return false;
    return true;
}

} // namespace

void popup_feed_panel_pass(std::uint64_t now_us)
{
    if (!remote::picture_feed_running())
        return;
    GLint panel = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &panel);
    for (const popup *pup : popup_list) {
        remote::display_id d;
        if (!display_of(pup, d) || device_capture_active(pup) || pup->regions == nullptr ||
            region_is_end(pup->regions[0]))
            continue;
        // Whole pixels, cut as the window's copy cuts them.
        const capture_region &r = pup->regions[0];
        remote::picture_feed_frame(d, static_cast<unsigned>(panel), static_cast<int>(r.src_x),
                                   static_cast<int>(r.src_y), static_cast<int>(r.src_w),
                                   static_cast<int>(r.src_h), now_us);
    }
}

void popup_feed_device(const popup *pup, int fbo, const int viewport[4], std::uint64_t now_us)
{
    remote::display_id d;
    if (fbo < 0 || !display_of(pup, d))
        return;
    remote::picture_feed_frame(d, static_cast<unsigned>(fbo), viewport[0], viewport[1],
                               viewport[2] - viewport[0], viewport[3] - viewport[1], now_us);
}
