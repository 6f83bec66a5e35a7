#pragma once

#include <cstddef>

// The threads this process has now. Runtimes that start a helper thread of
// their own at the first thread creation (the thread checker does) have it
// counted from the first call on, so differences count only ours.
size_t thread_count();
