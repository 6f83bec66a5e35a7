#include "remote/frame_hub.h"

#include <utility>

namespace remote {

namespace {

int index(display_id d)
{
    return static_cast<int>(d);
}

} // namespace

void frame_hub::add_viewer(display_id d)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++slots_[index(d)].viewers;
}

void frame_hub::remove_viewer(display_id d)
{
    std::lock_guard<std::mutex> lock(mutex_);
    slot &s = slots_[index(d)];
    if (s.viewers > 0)
        --s.viewers;
}

int frame_hub::viewers(display_id d) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return slots_[index(d)].viewers;
}

void frame_hub::request_once(display_id d)
{
    std::lock_guard<std::mutex> lock(mutex_);
    slots_[index(d)].once = 1;
}

bool frame_hub::wanted(display_id d) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const slot &s = slots_[index(d)];
    return !closed_ && (s.viewers > 0 || s.once > 0);
}

void frame_hub::publish(display_id d, jpeg_frame frame)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_)
            return;
        slot &s = slots_[index(d)];
        frame.seq = ++s.seq;
        s.once = 0;
        s.frame = std::make_shared<const jpeg_frame>(std::move(frame));
    }
    changed_.notify_all();
}

frame_ptr frame_hub::latest(display_id d) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return slots_[index(d)].frame;
}

frame_ptr frame_hub::wait_newer(display_id d, std::uint64_t after_seq, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const slot &s = slots_[index(d)];
    changed_.wait_for(lock, timeout, [&] { return closed_ || s.seq > after_seq; });
    if (closed_ || s.seq <= after_seq)
        return nullptr;
    return s.frame;
}

void frame_hub::close()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        for (slot &s : slots_)
            s.frame.reset();
    }
    changed_.notify_all();
}

bool frame_hub::closed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}

} // namespace remote
