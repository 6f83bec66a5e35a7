#include "core/plugin_call.h"

#include "core/host_state.h"
#include "gl/unmanaged_state.h"

#include <cstdio>
#include <thread>
#include <vector>

namespace simhost::detail {

namespace {

class checked_gate final : public plugin_gate {
public:
    explicit checked_gate(host_state &h) : h_(h) { open_.reserve(8); }

    void enter(const char *what) noexcept override
    {
        open_.push_back(call{what, h_.gl_ready && std::this_thread::get_id() == h_.main_thread, {}});
        call &c = open_.back();
        if (!c.checked)
            return;
        // An error of the host's own is not the plugin's to answer for.
        while (glGetError() != GL_NO_ERROR) {
        }
        c.found.read();
        glColor4f(disposable_colour[0], disposable_colour[1], disposable_colour[2], disposable_colour[3]);
        glTexCoord2f(0.73f, 0.19f);
    }

    void leave() noexcept override
    {
        const call c = open_.back();
        open_.pop_back();
        if (!c.checked || !h_.gl_ready)
            return;
        char detail[160];
        const GLenum error = glGetError();
        if (error != GL_NO_ERROR) {
            snprintf(detail, sizeof(detail), "%s left GL error 0x%04x", c.what, error);
            h_.log.misuse("GL error left by a callback", detail);
            while (glGetError() != GL_NO_ERROR) {
            }
        }
        unmanaged_state left;
        left.read();
        char difference[120];
        if (c.found.describe_difference(left, difference, sizeof(difference))) {
            snprintf(detail, sizeof(detail), "%s: %s", c.what, difference);
            h_.log.misuse("GL state left changed by a callback", detail);
            c.found.restore();
        }
    }

private:
    struct call {
        const char *what;
        bool checked;
        unmanaged_state found;
    };
    host_state &h_;
    std::vector<call> open_;
};

} // namespace

std::unique_ptr<plugin_gate> make_checked_gate(host_state &h)
{
    return std::make_unique<checked_gate>(h);
}

} // namespace simhost::detail
