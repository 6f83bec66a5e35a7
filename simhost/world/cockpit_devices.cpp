#include "world/cockpit_devices.h"

namespace simhost::detail {

int cockpit_devices::index_of(XPLMDeviceID id)
{
    for (size_t i = 0; i < all.size(); i++)
        if (all[i] == id)
            return static_cast<int>(i);
    return -1;
}

bool cockpit_devices::known(XPLMDeviceID id)
{
    return index_of(id) >= 0;
}

const char *cockpit_devices::name(XPLMDeviceID id)
{
    switch (id) {
    case xplm_device_G1000_PFD_1:
        return "G1000 PFD 1";
    case xplm_device_G1000_MFD:
        return "G1000 MFD";
    case xplm_device_G1000_PFD_2:
        return "G1000 PFD 2";
    default:
        return "";
    }
}

cockpit_devices::state *cockpit_devices::device(XPLMDeviceID id)
{
    const int i = index_of(id);
    return i < 0 ? nullptr : &states_[static_cast<size_t>(i)];
}

const cockpit_devices::state *cockpit_devices::device(XPLMDeviceID id) const
{
    const int i = index_of(id);
    return i < 0 ? nullptr : &states_[static_cast<size_t>(i)];
}

void cockpit_devices::unuse_all()
{
    for (state &s : states_)
        s = state{};
}

XPLMAvionicsID cockpit_devices::add(XPLMDeviceID id, XPLMAvionicsCallback_f before,
                                    XPLMAvionicsCallback_f after, void *refcon)
{
    if (!known(id))
        return nullptr;
    regs_.push_back(registration{id, before, after, refcon, true});
    live_++;
    return &regs_.back();
}

bool cockpit_devices::remove(XPLMAvionicsID handle)
{
    for (registration &r : regs_) {
        if (&r == handle && r.live) {
            r.live = false;
            live_--;
            return true;
        }
    }
    return false;
}

XPLMAvionicsID cockpit_devices::plain_handle(XPLMDeviceID id)
{
    const int i = index_of(id);
    return i < 0 ? nullptr : &plain_[static_cast<size_t>(i)];
}

cockpit_devices::handle_kind cockpit_devices::kind(XPLMAvionicsID handle) const
{
    for (const plain &p : plain_)
        if (&p == handle)
            return handle_kind::plain;
    for (const registration &r : regs_)
        if (&r == handle)
            return r.live ? handle_kind::live_registration : handle_kind::dropped_registration;
    return handle_kind::unknown;
}

XPLMDeviceID cockpit_devices::device_of(XPLMAvionicsID handle) const
{
    for (const plain &p : plain_)
        if (&p == handle)
            return p.device;
    for (const registration &r : regs_)
        if (&r == handle)
            return r.live ? r.device : -1;
    return -1;
}

void cockpit_devices::drop_registrations()
{
    for (registration &r : regs_)
        r.live = false;
    live_ = 0;
}

} // namespace simhost::detail
