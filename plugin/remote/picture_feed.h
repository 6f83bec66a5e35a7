#pragma once

// The watched displays' pictures, from the simulator's thread to the
// viewers: read back into pixel buffers without waiting, encoded on the
// worker `kyv_jpeg`, published into the frame hub. Only displays the hub
// wants are read, at most `fps` times a second each.

#include <cstdint>

#include "remote/frame_hub.h"
#include "remote/jpeg_encoder.h"

namespace remote {

// At enable, on the simulator's thread: feeds `hub` (which must outlive the
// feed) at `fps` (1-30) and `quality` (30-95). A second start replaces the
// first.
void picture_feed_start(frame_hub &hub, int fps, int quality);
// At disable, on the simulator's thread with its GL context: joins the
// worker and deletes the buffers. Harmless when not started.
void picture_feed_stop();
bool picture_feed_running();

// Once a frame per display, on the simulator's thread: framebuffer `fb`
// holds the display's picture at (x, y, w, h), origin bottom-left. Hands
// finished reads to the encoder, and starts a new read when one is due.
// GL state is left as it was found.
void picture_feed_frame(display_id d, unsigned fb, int x, int y, int w, int h, std::uint64_t now_us);

// What the worker has done since the start; for the benchmark.
jpeg_encoder::stats picture_feed_statistics();

} // namespace remote
