#include "render/compositor.h"

#include "render/png_image.h"
#include "render/window_frame.h"

#include "gl/gl_api.h"

#include <cctype>

namespace simhost::detail {

namespace {

std::string caption(size_t index, const rect &r)
{
    return "Monitor " + std::to_string(index) + "  " + std::to_string(r.width()) + " x " +
           std::to_string(r.height()) + "  at (" + std::to_string(r.left) + ", " + std::to_string(r.bottom) +
           ")";
}

} // namespace

std::string file_slug(const std::string &title)
{
    std::string slug;
    for (char c : title) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0)
            slug += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    while (!slug.empty() && slug.back() == '-')
        slug.pop_back();
    return slug;
}

bool compositor::create(const std::vector<rect> &os_monitors, const aircraft_model &aircraft,
                        std::string &error)
{
    if (!panel_.create(aircraft.panel_width, aircraft.panel_height, aircraft.faces, error))
        return false;
    std::vector<std::unique_ptr<monitor>> made;
    for (size_t i = 0; i < os_monitors.size(); i++) {
        auto m = std::make_unique<monitor>();
        m->bounds = os_monitors[i];
        if (!m->target.create(m->bounds.width(), m->bounds.height(), error) ||
            !m->background.create(m->bounds.width(), m->bounds.height(), caption(i, m->bounds), error)) {
            error = "monitor " + std::to_string(i) + ": " + error;
            return false;
        }
        made.push_back(std::move(m));
    }
    monitors_ = std::move(made);
    return true;
}

bool compositor::reshape_panel(const aircraft_model &aircraft, std::string &error)
{
    if (aircraft.panel_width == panel_.width() && aircraft.panel_height == panel_.height())
        return panel_.move_faces(aircraft.faces, error);
    return panel_.create(aircraft.panel_width, aircraft.panel_height, aircraft.faces, error);
}

void compositor::render_panel(double sim_time, long frame, int render_type)
{
    // Pass 1 has only the unlit elements: the glass displays are dark.
    if (render_type == 1)
        panel_.render_unlit();
    else
        panel_.render(sim_time, frame);
}

void compositor::clear_monitors() const
{
    for (const auto &m : monitors_) {
        m->target.bind(rect{0, m->bounds.height(), m->bounds.width(), 0});
        m->target.clear(0, 0, 0);
        if (backgrounds_)
            m->background.draw();
    }
}

void compositor::bind_panel() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, panel_.framebuffer());
    glViewport(0, 0, panel_.width(), panel_.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, panel_.width(), 0, panel_.height(), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void compositor::bind_main(const desktop &d) const
{
    const size_t main = static_cast<size_t>(d.main_index());
    rect view, pixels;
    if (main >= monitors_.size() || !d.view_on(main, view, pixels))
        return;
    monitors_[main]->target.bind(rect{0, pixels.height(), pixels.width(), 0}, pixels);
}

render_target *compositor::picture_for(const window &w)
{
    std::unique_ptr<render_target> &p = pictures_[w.number];
    if (p != nullptr && p->width() == w.os.width() && p->height() == w.os.height())
        return p.get();
    p = std::make_unique<render_target>();
    std::string ignored;
    if (w.os.empty() || !p->create(w.os.width(), w.os.height(), ignored))
        p.reset();
    return p.get();
}

void compositor::draw_windows(const desktop &d, const windows &wins, bool clear_depth, graphics_cache &cache,
                              const draw_fn &draw)
{
    const std::vector<window *> stack = wins.desktop_stack();
    for (size_t i = 0; i < monitors_.size(); i++) {
        const auto &m = monitors_[i];
        rect view, pixels;
        if (!d.view_on(i, view, pixels))
            continue;
        bool bound = false;
        for (window *w : stack) {
            const rect title_bar = decoration_of(*w).title_bar;
            if (!w->live || !w->on_desktop() || !(w->geometry.overlaps(view) || title_bar.overlaps(view)))
                continue;
            if (!bound) {
                m->target.bind(view, pixels);
                bound = true;
            }
            if (clear_depth)
                m->target.clear_depth(view, pixels, w->geometry);
            draw_window_frame(cache, *w, w->geometry);
            draw(*w);
        }
    }

    std::vector<window *> popped;
    for (window *w : wins.all()) {
        if (w->in_os_window())
            popped.push_back(w);
        else
            pictures_.erase(w->number);
    }
    for (window *w : popped) {
        render_target *p = picture_for(*w);
        if (p == nullptr)
            continue;
        // It draws in the coordinates it is told it has, stretched over its pixels.
        p->bind(wins.reported(*w));
        p->clear(0, 0, 0);
        draw_window_frame(cache, *w, wins.reported(*w));
        draw(*w);
    }
    // An operating-system window covers whatever monitor lies under it.
    for (window *w : popped) {
        const render_target *p = window_picture(*w);
        if (p == nullptr || !w->live)
            continue;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, p->framebuffer());
        for (const auto &m : monitors_) {
            if (!w->os.overlaps(m->bounds))
                continue;
            const int x = w->os.left - m->bounds.left;
            const int y = w->os.bottom - m->bounds.bottom;
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m->target.framebuffer());
            glBlitFramebuffer(0, 0, p->width(), p->height(), x, y, x + p->width(), y + p->height(),
                              GL_COLOR_BUFFER_BIT, GL_NEAREST);
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, monitors_.front()->target.framebuffer());
}

unsigned compositor::monitor_framebuffer(size_t i) const
{
    return i < monitors_.size() ? monitors_[i]->target.framebuffer() : 0;
}

const render_target *compositor::window_picture(const window &w) const
{
    auto it = pictures_.find(w.number);
    return it != pictures_.end() ? it->second.get() : nullptr;
}

bool compositor::save(const std::string &dir, const std::string &name, const windows &wins,
                      std::vector<std::string> &written, std::string &error) const
{
    const std::string base = dir.empty() ? name : dir + "/" + name;
    for (size_t i = 0; i < monitors_.size(); i++) {
        const render_target &t = monitors_[i]->target;
        const std::string path = base + "-monitor" + std::to_string(i) + ".png";
        if (!save_framebuffer_png(path, t.framebuffer(), 0, 0, t.width(), t.height(), error))
            return false;
        written.push_back(path);
    }
    for (window *w : wins.all()) {
        const render_target *p = w->in_os_window() ? window_picture(*w) : nullptr;
        if (p == nullptr)
            continue;
        std::string path = base + "-window" + std::to_string(w->number);
        const std::string slug = file_slug(w->title);
        if (!slug.empty())
            path += "-" + slug;
        path += ".png";
        if (!save_framebuffer_png(path, p->framebuffer(), 0, 0, p->width(), p->height(), error))
            return false;
        written.push_back(path);
    }
    return true;
}

} // namespace simhost::detail
