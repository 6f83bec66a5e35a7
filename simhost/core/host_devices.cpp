// The host's side of the simulator's own cockpit devices: its version, the
// user's aircraft, and each frame's drawing of the devices' screens with the
// plugin's avionics callbacks around it.

#include "host.h"

#include "XPLMPlugin.h"

#include "core/host_state.h"
#include "core/host_timing.h"
#include "gl/gl_api.h"
#include "render/compositor.h"
#include "render/device_screens.h"
#include "world/plugin_gate.h"

#include <set>

namespace simhost {

namespace {

const int max_screen_size = 4096;

bool same_panel(const aircraft_model &a, const aircraft_model &b)
{
    return a.panel_width == b.panel_width && a.panel_height == b.panel_height && a.faces == b.faces;
}

} // namespace

void host::set_sim_version(sim_version v)
{
    s_->version = v;
}

host::sim_version host::version() const
{
    return s_->version;
}

bool host::load_aircraft(const aircraft &devices)
{
    return load_aircraft(s_->model, devices);
}

bool host::load_aircraft(const aircraft_model &model, const aircraft &devices)
{
    s_->error.clear();
    const std::string problem = model_problem(model);
    if (!problem.empty())
        return fail(problem);
    std::set<device> seen;
    for (const cockpit_device &d : devices) {
        const std::string name = detail::cockpit_devices::name(static_cast<XPLMDeviceID>(d.id));
        if (name.empty())
            return fail("no such cockpit device: " + std::to_string(static_cast<int>(d.id)));
        if (!seen.insert(d.id).second)
            return fail("the aircraft names the " + name + " twice");
        if (d.width < 1 || d.height < 1 || d.width > max_screen_size || d.height > max_screen_size)
            return fail("the " + name + "'s screen of " + std::to_string(d.width) + " x " +
                        std::to_string(d.height) + " is not within 1 to 4096 texels a side");
    }
    if (s_->gl_ready && !same_panel(model, s_->model)) {
        std::string error;
        if (!s_->comp->reshape_panel(model, error)) {
            std::string ignored; // the panel as it was, which fitted before
            s_->comp->reshape_panel(s_->model, ignored);
            return fail("the aircraft's panel: " + error);
        }
    }
    s_->model = model;
    detail::cockpit_devices &cd = s_->devices;
    cd.unuse_all();
    for (const cockpit_device &d : devices) {
        detail::cockpit_devices::state &st = *cd.device(static_cast<XPLMDeviceID>(d.id));
        st.used = true;
        st.width = d.width;
        st.height = d.height;
        st.bus_volts_ratio = d.bus_volts_ratio;
        st.drawn = d.drawn;
    }
    // The simulator tells every enabled plugin; index 0 is the user's aircraft.
    if (s_->plugin.at == detail::stage::enabled)
        return send_message(XPLM_PLUGIN_XPLANE, XPLM_MSG_PLANE_LOADED, nullptr);
    return true;
}

const aircraft_model &host::current_aircraft_model() const
{
    return s_->model;
}

bool host::set_device_bus_volts(device d, float ratio)
{
    detail::cockpit_devices::state *st = s_->devices.device(static_cast<XPLMDeviceID>(d));
    if (st == nullptr || !st->used)
        return fail("the aircraft does not use that device");
    st->bus_volts_ratio = ratio;
    return true;
}

bool host::set_device_drawn(device d, bool drawn)
{
    detail::cockpit_devices::state *st = s_->devices.device(static_cast<XPLMDeviceID>(d));
    if (st == nullptr || !st->used)
        return fail("the aircraft does not use that device");
    st->drawn = drawn;
    return true;
}

unsigned host::device_framebuffer(device d) const
{
    if (!s_->gl_ready)
        return 0;
    const detail::render_target *t = s_->screens->find(static_cast<int>(d));
    return t == nullptr ? 0 : t->framebuffer();
}

size_t host::avionics_registration_count() const
{
    return s_->devices.registration_count();
}

// Every device the aircraft uses and the simulator draws this frame: the
// before-callbacks (any 0 keeps the simulator from drawing), the device's
// picture, the after-callbacks, each with the device's screen bound and the
// datarefs naming it.
void host::draw_devices(bool live)
{
    detail::host_state &s = *s_;
    for (XPLMDeviceID id : detail::cockpit_devices::all) {
        const detail::cockpit_devices::state &d = *s.devices.device(id);
        if (!d.used || !d.drawn)
            continue;
        std::string error;
        const detail::render_target *t =
            s.screens->screen(id, detail::cockpit_devices::name(id), d.width, d.height, error);
        if (t == nullptr) {
            s.log.unexpected("a cockpit device's screen", error.c_str());
            continue;
        }
        t->bind(rect{0, d.height, d.width, 0});
        s.refs.set_bound_framebuffer(t->framebuffer(), d.width, d.height);
        // Unmanaged, but the simulator's convention for 2D drawing.
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        bool draw = true;
        auto run = [&](bool before) {
            if (!live)
                return;
            detail::timed(s, s.last_timing.draw_callbacks_us, [&] {
                s.devices.each_callback(id, before, [&](XPLMAvionicsCallback_f cb, void *refcon) {
                    const detail::plugin_call call(*s.gate, before ? "an avionics callback before drawing"
                                                                   : "an avionics callback after drawing");
                    if (cb(id, before ? 1 : 0, refcon) == 0 && before)
                        draw = false;
                });
            });
        };
        run(true);
        if (draw) {
            // Whether the simulator draws an unpowered screen black or not at
            // all is undocumented; here it is black, and `drawn` gives the other.
            if (d.bus_volts_ratio > 0)
                s.screens->draw_face(id, s.frames);
            else
                s.screens->draw_dark(id);
        }
        run(false);
    }
    s.refs.set_bound_framebuffer(0, 0, 0);
}

} // namespace simhost
