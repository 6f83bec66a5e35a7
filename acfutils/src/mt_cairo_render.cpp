#include "acfutils/mt_cairo_render.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "XPLMGraphics.h"
#include "acfutils/log.h"

#include "../os/os.h"

namespace {

using steady = std::chrono::steady_clock;

enum class init_state { pending, ok, failed };

struct buffer {
    cairo_surface_t *surf = nullptr;
    cairo_t *cr = nullptr;
};

} // namespace

struct mt_cairo_render {
    unsigned width = 0;
    unsigned height = 0;
    double fps = 0;
    mt_cairo_init_cb_t init_cb = nullptr;
    mt_cairo_render_cb_t render_cb = nullptr;
    mt_cairo_fini_cb_t fini_cb = nullptr;
    void *userinfo = nullptr;

    buffer bufs[2];

    std::mutex lock;
    std::condition_variable wake_worker;   /* a request came in or we are stopping */
    std::condition_variable state_changed; /* init finished or a picture finished */
    std::thread worker;

    /* Protected by `lock`. */
    bool stop = false;
    init_state init = init_state::pending;
    uint64_t requested = 0; /* serial of the newest request */
    uint64_t served = 0;    /* newest request covered by a finished picture */
    uint64_t finished = 0;  /* count of finished pictures */
    int front = -1;         /* buffer holding the newest finished picture */

    /* GL thread only. */
    GLuint tex = 0;
    bool tex_allocated = false;
    uint64_t uploaded = 0; /* value of `finished` when the texture was filled */
};

namespace {

void clear_surface(cairo_t *cr)
{
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_restore(cr);
}

/* Renders one picture into the back buffer and publishes it. Called with `lk` held. */
void render_one(mt_cairo_render_t *mtcr, std::unique_lock<std::mutex> &lk)
{
    const int back = mtcr->front == 0 ? 1 : 0;
    /* Requests made up to now are answered by this picture; later ones wait for the next. */
    const uint64_t serving = mtcr->requested;
    lk.unlock();

    buffer &b = mtcr->bufs[back];
    /* The back buffer still holds the picture before last: start from transparent. */
    clear_surface(b.cr);
    cairo_save(b.cr);
    mtcr->render_cb(b.cr, mtcr->width, mtcr->height, mtcr->userinfo);
    cairo_restore(b.cr);
    cairo_surface_flush(b.surf);

    lk.lock();
    mtcr->front = back;
    mtcr->served = serving;
    mtcr->finished++;
    mtcr->state_changed.notify_all();
}

void worker_main(mt_cairo_render_t *mtcr)
{
    os_thread_set_name("lacf_mtcr");
    /* Callbacks see the context of the buffer rendered into first. */
    cairo_t *cb_cr = mtcr->bufs[0].cr;
    bool ok = mtcr->init_cb == nullptr || mtcr->init_cb(cb_cr, mtcr->userinfo);

    std::unique_lock<std::mutex> lk(mtcr->lock);
    mtcr->init = ok ? init_state::ok : init_state::failed;
    mtcr->state_changed.notify_all();
    if (!ok)
        return;

    const auto period = mtcr->fps > 0 ? std::chrono::duration_cast<steady::duration>(
                                            std::chrono::duration<double>(std::min(1.0 / mtcr->fps, 3600.0)))
                                      : steady::duration::zero();
    auto next = steady::now();
    while (!mtcr->stop) {
        auto pending = [mtcr] { return mtcr->stop || mtcr->requested != mtcr->served; };
        if (mtcr->fps > 0)
            mtcr->wake_worker.wait_until(lk, next, pending);
        else
            mtcr->wake_worker.wait(lk, pending);
        if (mtcr->stop)
            break;
        auto start = steady::now();
        render_one(mtcr, lk);
        if (mtcr->fps > 0) {
            /* After a stall, carry on at the rate rather than catching up in a burst. */
            next += period;
            if (next < start)
                next = start + period;
        }
    }
    lk.unlock();

    if (mtcr->fini_cb != nullptr)
        mtcr->fini_cb(cb_cr, mtcr->userinfo);
}

void destroy_buffers(mt_cairo_render_t *mtcr)
{
    for (buffer &b : mtcr->bufs) {
        if (b.cr != nullptr)
            cairo_destroy(b.cr);
        if (b.surf != nullptr)
            cairo_surface_destroy(b.surf);
        b = buffer{};
    }
}

bool create_buffers(mt_cairo_render_t *mtcr, const char *filename, int line)
{
    for (buffer &b : mtcr->bufs) {
        b.surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, (int)mtcr->width, (int)mtcr->height);
        b.cr = cairo_create(b.surf);
        if (cairo_status(b.cr) != CAIRO_STATUS_SUCCESS) {
            log_impl(filename, line, "mt_cairo_render: cannot create a %ux%u surface: %s", mtcr->width,
                     mtcr->height, cairo_status_to_string(cairo_status(b.cr)));
            return false;
        }
    }
    return true;
}

void upload(mt_cairo_render_t *mtcr, cairo_surface_t *surf)
{
    const unsigned char *data = cairo_image_surface_get_data(surf);
    const int stride = cairo_image_surface_get_stride(surf);

    glPixelStorei(GL_UNPACK_ROW_LENGTH, stride / 4);
    if (!mtcr->tex_allocated) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, (GLsizei)mtcr->width, (GLsizei)mtcr->height, 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, data);
        mtcr->tex_allocated = true;
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, (GLsizei)mtcr->width, (GLsizei)mtcr->height, GL_BGRA,
                        GL_UNSIGNED_BYTE, data);
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

} // namespace

mt_cairo_render_t *mt_cairo_render_init_impl(const char *filename, int line, unsigned width, unsigned height,
                                             double fps, mt_cairo_init_cb_t init_cb,
                                             mt_cairo_render_cb_t render_cb, mt_cairo_fini_cb_t fini_cb,
                                             void *userinfo)
{
    if (width == 0 || height == 0) {
        log_impl(filename, line, "mt_cairo_render: invalid size %ux%u", width, height);
        return nullptr;
    }
    if (render_cb == nullptr) {
        log_impl(filename, line, "mt_cairo_render: no render callback");
        return nullptr;
    }

    auto *mtcr = new (std::nothrow) mt_cairo_render_t;
    if (mtcr == nullptr) {
        log_impl(filename, line, "mt_cairo_render: out of memory");
        return nullptr;
    }
    mtcr->width = width;
    mtcr->height = height;
    mtcr->fps = fps > 0 ? fps : 0;
    mtcr->init_cb = init_cb;
    mtcr->render_cb = render_cb;
    mtcr->fini_cb = fini_cb;
    mtcr->userinfo = userinfo;

    if (!create_buffers(mtcr, filename, line)) {
        destroy_buffers(mtcr);
        delete mtcr;
        return nullptr;
    }

    try {
        mtcr->worker = std::thread(worker_main, mtcr);
    } catch (const std::system_error &e) {
        log_impl(filename, line, "mt_cairo_render: cannot start the render thread: %s", e.what());
        destroy_buffers(mtcr);
        delete mtcr;
        return nullptr;
    }

    bool ok;
    {
        std::unique_lock<std::mutex> lk(mtcr->lock);
        mtcr->state_changed.wait(lk, [mtcr] { return mtcr->init != init_state::pending; });
        ok = mtcr->init == init_state::ok;
    }
    if (!ok) {
        log_impl(filename, line, "mt_cairo_render: init callback failed");
        mtcr->worker.join();
        destroy_buffers(mtcr);
        delete mtcr;
        return nullptr;
    }
    return mtcr;
}

void mt_cairo_render_fini(mt_cairo_render_t *mtcr)
{
    if (mtcr == nullptr)
        return;
    {
        std::lock_guard<std::mutex> lk(mtcr->lock);
        mtcr->stop = true;
    }
    mtcr->wake_worker.notify_one();
    mtcr->state_changed.notify_all();
    mtcr->worker.join();

    destroy_buffers(mtcr);
    if (mtcr->tex != 0) {
        glDeleteTextures(1, &mtcr->tex);
        /*
         * The simulator's texture cache may still hold the freed name; the
         * driver may hand it out again, and a bind of it would be skipped.
         */
        XPLMBindTexture2d(0, 0);
    }
    delete mtcr;
}

void mt_cairo_render_once(mt_cairo_render_t *mtcr)
{
    if (mtcr == nullptr)
        return;
    {
        std::lock_guard<std::mutex> lk(mtcr->lock);
        mtcr->requested++;
    }
    mtcr->wake_worker.notify_one();
}

void mt_cairo_render_once_wait(mt_cairo_render_t *mtcr)
{
    if (mtcr == nullptr)
        return;
    std::unique_lock<std::mutex> lk(mtcr->lock);
    const uint64_t mine = ++mtcr->requested;
    mtcr->wake_worker.notify_one();
    mtcr->state_changed.wait(lk, [mtcr, mine] { return mtcr->stop || mtcr->served >= mine; });
}

void mt_cairo_render_draw(mt_cairo_render_t *mtcr, vect2_t pos, vect2_t size)
{
    if (mtcr == nullptr)
        return;
    {
        /*
         * Held across the upload: the worker may only turn the front buffer into
         * its back buffer once we are done reading it.
         */
        std::lock_guard<std::mutex> lk(mtcr->lock);
        if (mtcr->front < 0)
            return;
        XPLMSetGraphicsState(0, 1, 0, 1, 1, 0, 0);
        if (mtcr->tex == 0) {
            glGenTextures(1, &mtcr->tex);
            /* A new name may be one the cache holds stale: unbind it first. */
            XPLMBindTexture2d(0, 0);
        }
        XPLMBindTexture2d((int)mtcr->tex, 0);
        if (mtcr->uploaded != mtcr->finished) {
            upload(mtcr, mtcr->bufs[mtcr->front].surf);
            mtcr->uploaded = mtcr->finished;
        }
    }

    /* Cairo's pixels are premultiplied; its row 0 is the top of the picture. */
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex2f((GLfloat)pos.x, (GLfloat)pos.y);
    glTexCoord2f(0, 0);
    glVertex2f((GLfloat)pos.x, (GLfloat)(pos.y + size.y));
    glTexCoord2f(1, 0);
    glVertex2f((GLfloat)(pos.x + size.x), (GLfloat)(pos.y + size.y));
    glTexCoord2f(1, 1);
    glVertex2f((GLfloat)(pos.x + size.x), (GLfloat)pos.y);
    glEnd();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
