#include "world/datarefs.h"

namespace simhost::detail {

datarefs::datarefs()
{
    // What a running simulator reports: the panel drawn into its own
    // framebuffer, no VR headset.
    set_int("sim/graphics/view/panel_render_type", 2);
    set_int("sim/graphics/VR/enabled", 0);
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
            value = kv.second.value;
            return true;
        }
    }
    return false;
}

int datarefs::value_of(std::string_view name) const
{
    auto it = refs_.find(name);
    return it == refs_.end() ? 0 : it->second.value;
}

} // namespace simhost::detail
