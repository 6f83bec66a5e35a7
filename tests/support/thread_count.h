#pragma once

#include <cstddef>

// The threads of this process that the plugin and its utility layer started:
// those named "lacf_..." or "kyv_...". The GL driver and the runtimes start
// threads of their own when they please (Mesa's shader-cache queue grows
// while a cold cache fills), so they are not counted.
size_t thread_count();
