// The values of a display's place, apart from the state that holds them, so
// the settings code and its tests need nothing of the simulator.

#include "pictures/display_places.h"

namespace {

const char *const short_names[display_count] = {"PFD", "MFD", "PFD2"};
const char *const key_prefixes[display_count] = {"pfd_nbzl_", "mfd_nbzl_", "pfd_2_nbzl_"};

} // namespace

bool operator==(const panel_rect &a, const panel_rect &b)
{
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

const char *picture_source_name(picture_source s)
{
    switch (s) {
    case picture_source::panel:
        return "panel";
    case picture_source::device:
        return "device";
    case picture_source::automatic:
        break;
    }
    return "auto";
}

bool picture_source_from_name(const std::string &name, picture_source &out)
{
    for (picture_source s : {picture_source::automatic, picture_source::panel, picture_source::device})
        if (name == picture_source_name(s)) {
            out = s;
            return true;
        }
    return false;
}

const char *display_short_name(int display)
{
    return display >= 0 && display < display_count ? short_names[display] : "";
}

const char *display_key_prefix(int display)
{
    return display >= 0 && display < display_count ? key_prefixes[display] : "";
}

display_places places_built_in()
{
    return {{{picture_source::automatic, {0, 2100, 1024, 768}},
             {picture_source::automatic, {1024, 0, 1024, 768}},
             {picture_source::automatic, {2048, 0, 1024, 768}}}};
}

bool place_fits(const panel_rect &r, panel_size panel)
{
    return r.w >= place_min_w && r.h >= place_min_h && r.x >= 0 && r.y >= 0 && r.x <= panel.width - r.w &&
           r.y <= panel.height - r.h;
}
