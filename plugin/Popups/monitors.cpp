#include "monitors.h"

#include <cstdint>

#include "XPLMDisplay.h"

#include <acfutils/log.h>

namespace {

struct monitor_search {
    int32_t index;
    bool found;
};

void monitor_search_cb(int index, int left, int top, int right, int bottom, void *ref)
{
    auto *search = static_cast<monitor_search *>(ref);
    logMsg("Monitor %d: [L: %d T: %d], [R: %d B: %d]", index, left, top, right, bottom);
    if (index == search->index)
        search->found = true;
}

} // namespace

bool monitor_present(int index)
{
    monitor_search search{index, false};
    XPLMGetAllMonitorBoundsGlobal(monitor_search_cb, &search);
    return search.found;
}
