#include "remote/jpeg_encoder.h"

#include <turbojpeg.h>

#include <acfutils/log.h>
#include <os/os.h>

#include "lifecycle/perf_clock.h"

namespace remote {

namespace {

// One compressor and its output buffer, kept from picture to picture.
class compressor {
public:
    compressor() : handle_(tjInitCompress()) {}
    ~compressor()
    {
        if (buffer_ != nullptr)
            tjFree(buffer_);
        if (handle_ != nullptr)
            tjDestroy(handle_);
    }
    compressor(const compressor &) = delete;
    compressor &operator=(const compressor &) = delete;

    // False, with one log line, when the library refuses.
    bool encode(const jpeg_encoder::picture &p, int quality, jpeg_frame &out)
    {
        if (handle_ == nullptr)
            return false;
        unsigned long size = capacity_;
        // GL reads rows bottom-up; the JPEG is upright.
        const int rc = tjCompress2(handle_, p.pixels, p.width, p.width * 4, p.height, TJPF_RGBX, &buffer_,
                                   &size, TJSAMP_420, quality, TJFLAG_BOTTOMUP | TJFLAG_FASTDCT);
        if (rc != 0) {
            if (!complained_)
                logMsg("Remote displays: a picture could not be encoded: %s", tjGetErrorStr2(handle_));
            complained_ = true;
            return false;
        }
        if (size > capacity_)
            capacity_ = size;
        out.bytes.assign(buffer_, buffer_ + size);
        out.width = p.width;
        out.height = p.height;
        out.captured_us = p.captured_us;
        return true;
    }

private:
    tjhandle handle_;
    unsigned char *buffer_ = nullptr;
    unsigned long capacity_ = 0;
    bool complained_ = false;
};

} // namespace

jpeg_encoder::jpeg_encoder(frame_hub &hub, int quality)
    : hub_(hub), quality_(quality), thread_([this] { run(); })
{
}

jpeg_encoder::~jpeg_encoder()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

int jpeg_encoder::submit(display_id d, const picture &p)
{
    int replaced = -1;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lane &l = lanes_[static_cast<int>(d)];
        if (l.waiting)
            replaced = l.next.tag;
        l.next = p;
        l.waiting = true;
    }
    wake_.notify_one();
    return replaced;
}

unsigned jpeg_encoder::take_done(display_id d)
{
    std::lock_guard<std::mutex> lock(mutex_);
    lane &l = lanes_[static_cast<int>(d)];
    const unsigned done = l.done;
    l.done = 0;
    return done;
}

jpeg_encoder::stats jpeg_encoder::statistics() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return stats_;
}

void jpeg_encoder::run()
{
    os_thread_set_name("kyv_jpeg");
    compressor jpeg;
    int turn = 0; // the displays take turns, so a busy one starves none
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        int d = -1;
        wake_.wait(lock, [&] {
            if (stopping_)
                return true;
            for (int i = 0; i < display_count && d < 0; i++)
                if (lanes_[(turn + i) % display_count].waiting)
                    d = (turn + i) % display_count;
            return d >= 0;
        });
        if (stopping_)
            return;
        turn = d + 1;
        lane &l = lanes_[d];
        const picture p = l.next;
        l.waiting = false;
        lock.unlock();

        const std::uint64_t start = perf_now_us();
        jpeg_frame frame;
        const bool made = jpeg.encode(p, quality_, frame);
        const std::uint64_t took = perf_now_us() - start;

        lock.lock();
        l.done |= 1u << p.tag;
        if (!made)
            continue;
        stats_.encoded++;
        stats_.encode_us += took;
        stats_.bytes[d] += frame.bytes.size();
        lock.unlock();
        hub_.publish(static_cast<display_id>(d), std::move(frame));
        lock.lock();
    }
}

} // namespace remote
