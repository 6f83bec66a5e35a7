#include "world/datarefs.h"

namespace simhost::detail {

datarefs::datarefs()
{
    // What a running simulator reports: the panel drawn into its own
    // framebuffer, no VR headset.
    set_int("sim/graphics/view/panel_render_type", 2);
    set_int("sim/graphics/VR/enabled", 0);
    // What is bound while the simulator draws its panel or a cockpit device;
    // 0 at other times.
    set_bound_framebuffer(0, 0, 0);
    set_panel_bounds(0, 0);
}

void datarefs::set_panel_bounds(int width, int height)
{
    for (const char *part : {"total", "visible"}) {
        const std::string prefix = std::string("sim/graphics/view/panel_") + part + "_pnl_";
        set_int(prefix + "l", 0);
        set_int(prefix + "b", 0);
        set_int(prefix + "r", width);
        set_int(prefix + "t", height);
    }
}

void datarefs::set_bound_framebuffer(unsigned fbo, int width, int height)
{
    set_int("sim/graphics/view/current_gl_fbo", static_cast<int>(fbo));
    // Left, bottom, right, top.
    set_ints("sim/graphics/view/viewport", {0, 0, width, height});
}

void datarefs::set_int(const std::string &name, int value)
{
    refs_[name].value = value;
}

void *datarefs::find(const char *name)
{
    auto it = refs_.find(std::string_view(name));
    return it == refs_.end() ? nullptr : &it->second;
}

bool datarefs::get_int(void *handle, int &value) const
{
    // A plugin may hand back anything; only our own handles are read through.
    for (const auto &kv : refs_) {
        if (&kv.second == handle) {
            // The simulator reads an array's handle as an integer as 0.
            value = kv.second.is_array ? 0 : kv.second.value;
            return true;
        }
    }
    return false;
}

void datarefs::set_ints(const std::string &name, std::vector<int> values)
{
    int_ref &r = refs_[name];
    r.is_array = true;
    r.values = std::move(values);
}

int datarefs::get_ints(void *handle, int *out, int offset, int max) const
{
    for (const auto &kv : refs_) {
        if (&kv.second != handle)
            continue;
        const int_ref &r = kv.second;
        if (!r.is_array)
            return -1;
        const int size = static_cast<int>(r.values.size());
        if (out == nullptr)
            return size;
        int n = 0;
        for (int i = offset; i >= 0 && i < size && n < max; i++)
            out[n++] = r.values[static_cast<size_t>(i)];
        return n;
    }
    return -1;
}

int datarefs::value_of(std::string_view name) const
{
    auto it = refs_.find(name);
    return it == refs_.end() ? 0 : it->second.value;
}

} // namespace simhost::detail
