// XPLMDisplay's avionics functions: callbacks around the simulator's drawing
// of its own cockpit devices, and what a handle tells of its device. They
// exist from X-Plane 12 on; on X-Plane 11 a call is noted as a misuse, since
// a plugin there could have reached them only by importing them, which
// would have kept it from loading at all.

#include "XPLMDisplay.h"

#include "api/with_host.h"

using simhost::detail::cockpit_devices;
using simhost::detail::host_state;
using simhost::detail::with_host;

namespace {

// The layout before XPLM 4.1 added its nine mouse, cursor and key callbacks.
struct customize_avionics_400 {
    int structSize;
    XPLMDeviceID deviceId;
    XPLMAvionicsCallback_f drawCallbackBefore;
    XPLMAvionicsCallback_f drawCallbackAfter;
    void *refcon;
};

bool available(host_state &h, const char *call)
{
    if (h.version != simhost::sim_version::xp11)
        return true;
    h.log.unexpected(call, "X-Plane 11 has no avionics functions");
    return false;
}

// The device behind a handle, or -1 (noted) for a handle the plugin should not hold.
XPLMDeviceID device_of(host_state &h, const char *call, XPLMAvionicsID handle)
{
    switch (h.devices.kind(handle)) {
    case cockpit_devices::handle_kind::plain:
    case cockpit_devices::handle_kind::live_registration:
        return h.devices.device_of(handle);
    case cockpit_devices::handle_kind::dropped_registration:
        h.log.unexpected(call, "an unregistered handle");
        return -1;
    case cockpit_devices::handle_kind::unknown:
        break;
    }
    h.log.unexpected(call, handle == nullptr ? "a null handle" : "a handle this host did not give out");
    return -1;
}

const cockpit_devices::state *bound_device(host_state &h, const char *call, XPLMAvionicsID handle)
{
    const XPLMDeviceID id = device_of(h, call, handle);
    const cockpit_devices::state *d = id < 0 ? nullptr : h.devices.device(id);
    return d != nullptr && d->used ? d : nullptr;
}

} // namespace

XPLMAvionicsID XPLMRegisterAvionicsCallbacksEx(XPLMCustomizeAvionics_t *inParams)
{
    const char *call = "XPLMRegisterAvionicsCallbacksEx";
    return with_host(call, XPLMAvionicsID(nullptr), [=](host_state &h) -> XPLMAvionicsID {
        if (!available(h, call))
            return nullptr;
        if (inParams == nullptr) {
            h.log.unexpected(call, "null parameters");
            return nullptr;
        }
        const int size = inParams->structSize;
        customize_avionics_400 p{};
        if (size == static_cast<int>(sizeof(XPLMCustomizeAvionics_t))) {
            p = {size, inParams->deviceId, inParams->drawCallbackBefore, inParams->drawCallbackAfter,
                 inParams->refcon};
        } else if (size == static_cast<int>(sizeof(customize_avionics_400))) {
            p = *reinterpret_cast<const customize_avionics_400 *>(inParams);
        } else {
            h.log.unexpected(call, "a structSize of neither the 4.0 nor the 4.1 layout");
            return nullptr;
        }
        XPLMAvionicsID id = h.devices.add(p.deviceId, p.drawCallbackBefore, p.drawCallbackAfter, p.refcon);
        if (id == nullptr)
            h.log.unexpected(call, "a device this host does not model");
        return id;
    });
}

XPLMAvionicsID XPLMGetAvionicsHandle(XPLMDeviceID inDeviceID)
{
    const char *call = "XPLMGetAvionicsHandle";
    return with_host(call, XPLMAvionicsID(nullptr), [=](host_state &h) -> XPLMAvionicsID {
        if (!available(h, call))
            return nullptr;
        XPLMAvionicsID id = h.devices.plain_handle(inDeviceID);
        if (id == nullptr)
            h.log.unexpected(call, "a device this host does not model");
        return id;
    });
}

void XPLMUnregisterAvionicsCallbacks(XPLMAvionicsID inAvionicsId)
{
    const char *call = "XPLMUnregisterAvionicsCallbacks";
    with_host(call, [=](host_state &h) {
        if (!available(h, call))
            return;
        switch (h.devices.kind(inAvionicsId)) {
        case cockpit_devices::handle_kind::live_registration:
            h.devices.remove(inAvionicsId);
            return;
        case cockpit_devices::handle_kind::plain:
            h.log.unexpected(call, "a handle from XPLMGetAvionicsHandle, which registers nothing");
            return;
        case cockpit_devices::handle_kind::dropped_registration:
            h.log.unexpected(call, "an unregistered handle");
            return;
        case cockpit_devices::handle_kind::unknown:
            break;
        }
        h.log.unexpected(call,
                         inAvionicsId == nullptr ? "a null handle" : "a handle this host did not give out");
    });
}

int XPLMIsAvionicsBound(XPLMAvionicsID inHandle)
{
    const char *call = "XPLMIsAvionicsBound";
    return with_host(call, 0, [=](host_state &h) {
        return available(h, call) && bound_device(h, call, inHandle) != nullptr ? 1 : 0;
    });
}

float XPLMGetAvionicsBusVoltsRatio(XPLMAvionicsID inHandle)
{
    const char *call = "XPLMGetAvionicsBusVoltsRatio";
    return with_host(call, -1.0f, [=](host_state &h) {
        const cockpit_devices::state *d = available(h, call) ? bound_device(h, call, inHandle) : nullptr;
        return d == nullptr ? -1.0f : d->bus_volts_ratio;
    });
}

float XPLMGetAvionicsBrightnessRheo(XPLMAvionicsID inHandle)
{
    const char *call = "XPLMGetAvionicsBrightnessRheo";
    // The knob at full: the simulator applies it where it shows the screen,
    // not to the screen's picture.
    return with_host(call, 0.0f, [=](host_state &h) {
        return available(h, call) && device_of(h, call, inHandle) >= 0 ? 1.0f : 0.0f;
    });
}
