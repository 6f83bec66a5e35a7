#include "pictures/avionics_api.h"

#include "XPLMUtilities.h"

namespace avionics {

#if defined(__LP64__) || defined(_WIN64)
static_assert(sizeof(customize) == 104, "version 4.1's layout on a 64-bit simulator");
#endif

namespace {

// Function and data pointers have the same size on every platform the
// simulator runs on; the cast goes through an integer to say so.
template <typename Fn> void find(Fn &out, const char *name)
{
    out = reinterpret_cast<Fn>(reinterpret_cast<std::uintptr_t>(XPLMFindSymbol(name)));
}

} // namespace

api find_api()
{
    api a;
    find(a.register_callbacks, "XPLMRegisterAvionicsCallbacksEx");
    find(a.unregister_callbacks, "XPLMUnregisterAvionicsCallbacks");
    find(a.get_handle, "XPLMGetAvionicsHandle");
    find(a.is_bound, "XPLMIsAvionicsBound");
    find(a.bus_volts_ratio, "XPLMGetAvionicsBusVoltsRatio");
    return a;
}

} // namespace avionics
