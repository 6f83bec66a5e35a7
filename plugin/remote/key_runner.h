#pragma once

// Bezel presses from the server's threads, run on the simulator's thread: the
// threads queue them, a flight loop begins and ends the commands.

#include <cstddef>
#include <mutex>
#include <vector>

#include "XPLMUtilities.h"

#include "remote/bezel_keys.h"

namespace remote {

class key_runner {
public:
    // The simulator's thread, before the server starts: finds each key's
    // command for each display; a key without one is left off the pages.
    void look_up();
    bool available(display_id d, int key) const;

    // Server threads: false when the queue is full (the press is dropped).
    bool push(display_id d, int key, bool down);

    // The simulator's thread: begins and ends what was queued, in order.
    void run();

private:
    struct press {
        XPLMCommandRef command;
        bool down;
    };
    static constexpr std::size_t capacity = 64;
    std::vector<XPLMCommandRef> commands_[display_count];
    std::mutex mutex_;
    std::vector<press> queue_;
};

} // namespace remote
