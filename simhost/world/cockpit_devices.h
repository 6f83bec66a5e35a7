#pragma once

// The simulator's own cockpit devices: which of them the user's aircraft uses,
// each one's screen size, bus voltage and whether the simulator draws it this
// frame, and the avionics callbacks and handles a plugin holds for them.

#include "XPLMDisplay.h"

#include <array>
#include <cstddef>
#include <deque>

namespace simhost::detail {

class cockpit_devices {
public:
    // The built-in devices the host models: the G1000's three screens.
    static constexpr std::array<XPLMDeviceID, 3> all{xplm_device_G1000_PFD_1, xplm_device_G1000_MFD,
                                                     xplm_device_G1000_PFD_2};
    static bool known(XPLMDeviceID id);
    // "G1000 PFD 1", for notes and the device's face; "" for an unknown device.
    static const char *name(XPLMDeviceID id);

    struct state {
        bool used = false;
        int width = 1024, height = 768;
        float bus_volts_ratio = 1;
        bool drawn = true;
    };
    // Null for a device the host does not model.
    state *device(XPLMDeviceID id);
    const state *device(XPLMDeviceID id) const;
    // Another aircraft: only the devices set used afterwards are.
    void unuse_all();

    // A registration's handle, or null for a device the host does not model.
    XPLMAvionicsID add(XPLMDeviceID id, XPLMAvionicsCallback_f before, XPLMAvionicsCallback_f after,
                       void *refcon);
    // False for a handle that is not a live registration.
    bool remove(XPLMAvionicsID handle);
    // The handle with no callbacks for a device; null for one the host does not model.
    XPLMAvionicsID plain_handle(XPLMDeviceID id);

    enum class handle_kind { unknown, plain, live_registration, dropped_registration };
    handle_kind kind(XPLMAvionicsID handle) const;
    // The device behind a plain handle or a live registration; -1 otherwise.
    XPLMDeviceID device_of(XPLMAvionicsID handle) const;

    // Calls fn(callback, refcon) for each live registration of the device
    // that has a callback for that side, in registration order. Callbacks may
    // register and unregister meanwhile; ones added now are first called later.
    template <typename Fn> void each_callback(XPLMDeviceID id, bool before, Fn &&fn)
    {
        const size_t n = regs_.size();
        for (size_t i = 0; i < n; i++) {
            const registration r = regs_[i];
            XPLMAvionicsCallback_f cb = before ? r.before : r.after;
            if (r.live && r.device == id && cb != nullptr)
                fn(cb, r.refcon);
        }
    }
    size_t registration_count() const { return live_; }
    // Forgets every registration; their handles stay known as dropped.
    void drop_registrations();

private:
    struct registration {
        XPLMDeviceID device;
        XPLMAvionicsCallback_f before, after;
        void *refcon;
        bool live;
    };
    struct plain {
        XPLMDeviceID device;
    };
    static int index_of(XPLMDeviceID id);

    std::array<state, all.size()> states_{};
    std::array<plain, all.size()> plain_{{{all[0]}, {all[1]}, {all[2]}}};
    // A deque keeps every record where it is: a handle, once given, never
    // comes to mean another registration.
    std::deque<registration> regs_;
    size_t live_ = 0;
};

} // namespace simhost::detail
