#pragma once

// The meeting point of the remote viewer's threads: the server's threads say
// which displays are watched and take the newest JPEG of each; the
// simulator's thread asks which displays to read back; the encoder publishes
// what it made. One slot per display holds only the newest frame, so a slow
// viewer skips frames and memory stays bounded whatever the viewers do.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace remote {

enum class display_id { pfd = 0, mfd = 1, pfd2 = 2 };
constexpr int display_count = 3;

// One encoded picture of a display.
struct jpeg_frame {
    std::vector<unsigned char> bytes;
    int width = 0;
    int height = 0;
    std::uint64_t seq = 0;         // 1, 2, ... per display, set by publish()
    std::uint64_t captured_us = 0; // perf_now_us() when read back
};
using frame_ptr = std::shared_ptr<const jpeg_frame>;

class frame_hub {
public:
    // Server threads: a viewer of a display comes or goes.
    void add_viewer(display_id d);
    void remove_viewer(display_id d);
    int viewers(display_id d) const;
    // Server threads: one fresh picture of a display is wanted even if nobody
    // watches it (a single-picture request); the next read-back serves it.
    void request_once(display_id d);

    // The simulator's thread: whether a display should be read back now.
    bool wanted(display_id d) const;

    // The encoder: a new frame of a display; wakes those waiting on it.
    void publish(display_id d, jpeg_frame frame);

    // The newest frame (null before the first).
    frame_ptr latest(display_id d) const;
    // The first frame newer than `after_seq`, waiting at most `timeout`;
    // null when none came or the hub was closed.
    frame_ptr wait_newer(display_id d, std::uint64_t after_seq, std::chrono::milliseconds timeout);

    // Wakes every waiter for good (at disable), and drops the frames.
    void close();
    bool closed() const;

private:
    struct slot {
        int viewers = 0;
        int once = 0;
        std::uint64_t seq = 0;
        frame_ptr frame;
    };
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    slot slots_[display_count];
    bool closed_ = false;
};

} // namespace remote
