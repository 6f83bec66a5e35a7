#include "remote/picture_feed.h"

#include <algorithm>
#include <utility>
#include <memory>

#include <acfutils/glew.h>

#include "pictures/capture_rate.h"

namespace remote {

namespace {

// Reads in flight per display: one being read, one with the encoder, one
// waiting for it. A display with none free skips the frame.
constexpr int ring_size = 3;

// What a read changes of the state the simulator handed over, put back when
// the scope ends. The pack settings are the simulator's; a read wants them
// plain.
class saved_pack_state {
public:
    saved_pack_state()
    {
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read_);
        glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &pack_);
        for (int i = 0; i < 4; i++)
            glGetIntegerv(names[i], &store_[i]);
        for (int i = 0; i < 4; i++)
            glPixelStorei(names[i], plain[i]);
    }
    ~saved_pack_state()
    {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read_));
        glBindBuffer(GL_PIXEL_PACK_BUFFER, static_cast<GLuint>(pack_));
        for (int i = 0; i < 4; i++)
            glPixelStorei(names[i], store_[i]);
    }
    saved_pack_state(const saved_pack_state &) = delete;
    saved_pack_state &operator=(const saved_pack_state &) = delete;

private:
    static constexpr GLenum names[4] = {GL_PACK_ALIGNMENT, GL_PACK_ROW_LENGTH, GL_PACK_SKIP_ROWS,
                                        GL_PACK_SKIP_PIXELS};
    static constexpr GLint plain[4] = {4, 0, 0, 0};
    GLint read_ = 0, pack_ = 0;
    GLint store_[4] = {};
};

struct readback {
    enum class state { free, reading, encoding };
    state now = state::free;
    GLuint buffer = 0;
    GLsizeiptr capacity = 0;
    GLsync fence = nullptr;
    int width = 0, height = 0;
    std::uint64_t captured_us = 0;
    std::uint64_t issued_at = 0; // the display's frame count then
};

struct display_ring {
    readback slots[ring_size];
    std::uint64_t frames = 0;
    std::uint64_t last_read_us = 0;
    bool read_once = false;
};

class feed {
public:
    feed(frame_hub &hub, int fps, int quality)
        : hub_(hub), fps_(fps), encoder_(std::make_unique<jpeg_encoder>(hub, quality))
    {
    }
    ~feed()
    {
        // The worker may be reading mapped pixels: it goes first.
        encoder_.reset();
        // A feed that never read made no GL object, and may end where no
        // context was ever made (a server turned on and off again at once).
        bool made_any = false;
        for (const display_ring &r : rings_)
            for (const readback &s : r.slots)
                made_any = made_any || s.buffer != 0;
        if (!made_any)
            return;
        const saved_pack_state keep;
        for (display_ring &r : rings_)
            for (readback &s : r.slots) {
                if (s.now == readback::state::encoding)
                    unmap(s);
                if (s.fence != nullptr)
                    glDeleteSync(s.fence);
                if (s.buffer != 0)
                    glDeleteBuffers(1, &s.buffer);
            }
    }
    feed(const feed &) = delete;
    feed &operator=(const feed &) = delete;

    void frame(display_id d, unsigned fb, int x, int y, int w, int h, std::uint64_t now_us)
    {
        display_ring &r = rings_[static_cast<int>(d)];
        r.frames++;
        take_back(d, r);
        hand_over(d, r);
        if (w > 0 && h > 0 && hub_.wanted(d) && capture_due(r.read_once, r.last_read_us, fps_, now_us))
            start_read(r, fb, x, y, w, h, now_us);
    }

    jpeg_encoder::stats statistics() const { return encoder_->statistics(); }

private:
    static void unmap(readback &s)
    {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, s.buffer);
        glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
        s.now = readback::state::free;
    }

    // Buffers the encoder is done with become free again.
    void take_back(display_id d, display_ring &r)
    {
        const unsigned done = encoder_->take_done(d);
        if (done == 0)
            return;
        const saved_pack_state keep;
        for (int i = 0; i < ring_size; i++)
            if ((done & (1u << i)) != 0 && r.slots[i].now == readback::state::encoding)
                unmap(r.slots[i]);
    }

    // Reads issued a frame or more ago whose fence has signalled go to the
    // encoder, oldest first; nothing here waits.
    void hand_over(display_id d, display_ring &r)
    {
        readback *order[ring_size];
        int n = 0;
        for (readback &s : r.slots)
            if (s.now == readback::state::reading && s.issued_at < r.frames)
                order[n++] = &s;
        if (n == 0)
            return;
        for (int i = 1; i < n; i++)
            for (int j = i; j > 0 && order[j]->issued_at < order[j - 1]->issued_at; j--)
                std::swap(order[j], order[j - 1]);
        const saved_pack_state keep;
        for (int i = 0; i < n; i++) {
            readback &s = *order[i];
            const GLenum status = glClientWaitSync(s.fence, GL_SYNC_FLUSH_COMMANDS_BIT, 0);
            if (status == GL_TIMEOUT_EXPIRED)
                break; // later ones are not done either
            glDeleteSync(s.fence);
            s.fence = nullptr;
            s.now = readback::state::free;
            if (status == GL_WAIT_FAILED)
                continue;
            glBindBuffer(GL_PIXEL_PACK_BUFFER, s.buffer);
            const void *pixels = glMapBufferRange(
                GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(s.width) * s.height * 4, GL_MAP_READ_BIT);
            if (pixels == nullptr)
                continue;
            s.now = readback::state::encoding;
            jpeg_encoder::picture p;
            p.pixels = static_cast<const unsigned char *>(pixels);
            p.width = s.width;
            p.height = s.height;
            p.captured_us = s.captured_us;
            p.tag = static_cast<int>(&s - r.slots);
            const int replaced = encoder_->submit(d, p);
            if (replaced >= 0)
                unmap(r.slots[replaced]);
        }
    }

    void start_read(display_ring &r, unsigned fb, int x, int y, int w, int h, std::uint64_t now_us)
    {
        readback *s = nullptr;
        for (readback &c : r.slots)
            if (c.now == readback::state::free && s == nullptr)
                s = &c;
        if (s == nullptr)
            return;
        const saved_pack_state keep;
        if (s->buffer == 0)
            glGenBuffers(1, &s->buffer);
        glBindBuffer(GL_PIXEL_PACK_BUFFER, s->buffer);
        const GLsizeiptr size = static_cast<GLsizeiptr>(w) * h * 4;
        if (s->capacity != size) {
            glBufferData(GL_PIXEL_PACK_BUFFER, size, nullptr, GL_STREAM_READ);
            s->capacity = size;
        }
        glBindFramebuffer(GL_READ_FRAMEBUFFER, fb);
        // RGBA read the faster of the two orders on the software renderer;
        // on a graphics card either is only queued here.
        glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        s->fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        if (s->fence == nullptr)
            return;
        s->now = readback::state::reading;
        s->width = w;
        s->height = h;
        s->captured_us = now_us;
        s->issued_at = r.frames;
        r.last_read_us = now_us;
        r.read_once = true;
    }

    frame_hub &hub_;
    const double fps_;
    display_ring rings_[display_count];
    std::unique_ptr<jpeg_encoder> encoder_;
};

// Only the simulator's thread touches it.
std::unique_ptr<feed> the_feed;

} // namespace

void picture_feed_start(frame_hub &hub, int fps, int quality)
{
    the_feed.reset();
    the_feed = std::make_unique<feed>(hub, std::clamp(fps, 1, 30), std::clamp(quality, 30, 95));
}

void picture_feed_stop()
{
    the_feed.reset();
}

bool picture_feed_running()
{
    return the_feed != nullptr;
}

void picture_feed_frame(display_id d, unsigned fb, int x, int y, int w, int h, std::uint64_t now_us)
{
    if (the_feed != nullptr)
        the_feed->frame(d, fb, x, y, w, h, now_us);
}

jpeg_encoder::stats picture_feed_statistics()
{
    return the_feed != nullptr ? the_feed->statistics() : jpeg_encoder::stats{};
}

} // namespace remote
