// XPLMDataAccess: the integer and integer-array datarefs the host publishes.

#include "XPLMDataAccess.h"

#include "api/with_host.h"

using simhost::detail::host_state;
using simhost::detail::with_host;

XPLMDataRef XPLMFindDataRef(const char *inDataRefName)
{
    if (inDataRefName == nullptr)
        return nullptr;
    return with_host("XPLMFindDataRef", XPLMDataRef(nullptr),
                     [=](host_state &h) { return h.refs.find(inDataRefName); });
}

int XPLMGetDatai(XPLMDataRef inDataRef)
{
    if (inDataRef == nullptr)
        return 0;
    return with_host("XPLMGetDatai", 0, [=](host_state &h) {
        int value = 0;
        if (!h.refs.get_int(inDataRef, value))
            h.log.unexpected("XPLMGetDatai", "a handle this host did not give out");
        return value;
    });
}

int XPLMGetDatavi(XPLMDataRef inDataRef, int *outValues, int inOffset, int inMax)
{
    if (inDataRef == nullptr)
        return 0;
    return with_host("XPLMGetDatavi", 0, [=](host_state &h) {
        const int n = h.refs.get_ints(inDataRef, outValues, inOffset, inMax);
        if (n < 0)
            h.log.unexpected("XPLMGetDatavi", "a handle this host did not give out, or not an array's");
        return n < 0 ? 0 : n;
    });
}
