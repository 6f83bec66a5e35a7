#pragma once

// The worker that turns read-back pictures into JPEGs, off the simulator's
// thread. It holds at most one waiting picture per display: a newer one
// replaces it, so a slow encoder skips pictures and never queues them.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "remote/frame_hub.h"

namespace remote {

class jpeg_encoder {
public:
    // Pixels in RGBX order, rows bottom-up as GL reads them, 4 * width bytes
    // a row. They stay the caller's; `tag` names them when they are done with.
    struct picture {
        const unsigned char *pixels = nullptr;
        int width = 0;
        int height = 0;
        std::uint64_t captured_us = 0;
        int tag = 0; // 0..31
    };
    struct stats {
        std::uint64_t encoded = 0;
        std::uint64_t encode_us = 0;
        std::uint64_t bytes[display_count] = {};
    };

    // Starts the thread `kyv_jpeg`, publishing into `hub` at `quality` (1-100).
    jpeg_encoder(frame_hub &hub, int quality);
    // Joins the thread; pictures still waiting are dropped, not done.
    ~jpeg_encoder();
    jpeg_encoder(const jpeg_encoder &) = delete;
    jpeg_encoder &operator=(const jpeg_encoder &) = delete;

    // Hands over a picture of `d`. Returns the tag of a waiting one it
    // replaced (its pixels are free at once), or -1.
    int submit(display_id d, const picture &p);
    // The tags of `d`'s pictures encoded since the last call, as bits.
    unsigned take_done(display_id d);
    stats statistics() const;

private:
    struct lane {
        bool waiting = false;
        picture next;
        unsigned done = 0;
    };
    void run();

    frame_hub &hub_;
    const int quality_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    lane lanes_[display_count];
    stats stats_;
    std::thread thread_;
};

} // namespace remote
