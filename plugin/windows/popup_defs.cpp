// The three displays as the simulator's panel lays them out: each a
// 1024 x 768 rectangle of the panel, drawn over the full width and the lower
// 99.5 % of the window; and the cockpit device each can show instead.

#include <cmath>
#include <limits>

#include "windows/popup.h"

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

#define DISPLAY_REGION(x, y)                                                                                 \
    {                                                                                                        \
        x, y, 1024, 768, 0, 0.005, 1, 0.995, 20, nullptr, 0, 0, 0                                            \
    }
#define END_REGION                                                                                           \
    {                                                                                                        \
        nan, nan, 0, 0, 0, 0, 0, 0, 0, nullptr, 0, 0, 0                                                      \
    }

capture_region pfd_regions[] = {DISPLAY_REGION(0, 2100), END_REGION};
capture_region mfd_regions[] = {DISPLAY_REGION(1024, 0), END_REGION};
capture_region pfd2_regions[] = {DISPLAY_REGION(2048, 0), END_REGION};

#undef DISPLAY_REGION
#undef END_REGION

popup make_popup(capture_region *regions, const char *cmd_name, const char *title, int device,
                 const char *device_name, const char *short_name)
{
    popup p{};
    p.regions = regions;
    p.device.device = device;
    p.device.device_name = device_name;
    p.device.short_name = short_name;
    p.use_capture = true;
    p.cmd_name = cmd_name;
    p.title = title;
    p.image = "nobezel.png";
    p.width = 1024;
    p.height = 768;
    return p;
}

} // namespace

popup pfd_popup = make_popup(pfd_regions, "kyv/popup/PFD_NOBEZEL", "KYV G1000 PFD Bezelless",
                             avionics::g1000_pfd_1, "G1000 PFD 1", "PFD");
popup mfd_popup = make_popup(mfd_regions, "kyv/popup/MFD_NOBEZEL", "KYV G1000 MFD Bezelless",
                             avionics::g1000_mfd, "G1000 MFD", "MFD");
popup pfd2_popup = make_popup(pfd2_regions, "kyv/popup/PFD_2_NOBEZEL", "KYV G1000 PFD 2 Bezelless",
                              avionics::g1000_pfd_2, "G1000 PFD 2", "PFD2");

bool region_is_end(const capture_region &r)
{
    return std::isnan(r.src_x);
}
