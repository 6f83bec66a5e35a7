#include "remote/key_runner.h"

namespace remote {

void key_runner::look_up()
{
    for (int d = 0; d < display_count; ++d) {
        commands_[d].assign(bezel_key_count, nullptr);
        for (std::size_t k = 0; k < bezel_key_count; ++k)
            commands_[d][k] =
                XPLMFindCommand(bezel_command(static_cast<display_id>(d), static_cast<int>(k)).c_str());
    }
}

bool key_runner::available(display_id d, int key) const
{
    const auto &list = commands_[static_cast<int>(d)];
    return key >= 0 && static_cast<std::size_t>(key) < list.size() &&
           list[static_cast<std::size_t>(key)] != nullptr;
}

bool key_runner::push(display_id d, int key, bool down)
{
    if (!available(d, key))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    // A release always fits, so no command is left held by a full queue.
    if (queue_.size() >= (down ? capacity : 2 * capacity))
        return false;
    queue_.push_back({commands_[static_cast<int>(d)][static_cast<std::size_t>(key)], down});
    return true;
}

void key_runner::run()
{
    std::vector<press> due;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        due.swap(queue_);
    }
    for (const press &p : due) {
        if (p.down)
            XPLMCommandBegin(p.command);
        else
            XPLMCommandEnd(p.command);
    }
}

} // namespace remote
