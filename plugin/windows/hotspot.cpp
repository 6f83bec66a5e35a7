#include "windows/popup.h"

namespace {

// Strictly inside: a point on the edge belongs to no hot-spot.
bool contains(const hotspot &h, double px, double py)
{
    return h.x - h.w / 2 < px && px < h.x + h.w / 2 && h.y - h.h / 2 < py && py < h.y + h.h / 2;
}

} // namespace

hotspot *find_hotspot(const popup *pup, double px, double py)
{
    if (pup == nullptr)
        return nullptr;
    for (hotspot *h : pup->hotspots) {
        if (h != nullptr && contains(*h, px, py))
            return h;
    }
    return nullptr;
}

void resolve_hotspot_commands(popup *pup)
{
    for (hotspot *h : pup->hotspots) {
        if (h == nullptr)
            continue;
        if (h->single) {
            h->cmd = XPLMFindCommand(h->cmd_name.c_str());
        } else {
            h->cmd_r = XPLMFindCommand(h->cmd_r_name.c_str());
            h->cmd_l = XPLMFindCommand(h->cmd_l_name.c_str());
        }
    }
}
