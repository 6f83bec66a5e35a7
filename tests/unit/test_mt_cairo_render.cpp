#include <GL/glew.h>

#include <gtest/gtest.h>

#include <acfutils/mt_cairo_render.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "XPLMGraphics.h"
#include "gl/gl_context.h"
#include "thread_count.h"
#include "xplm_stand_in.h"

using namespace std::chrono_literals;

/* The simulator's side, as far as the renderer uses it. */
static int last_bound_tex;
extern "C" void XPLMBindTexture2d(int tex, int unit)
{
    (void)unit;
    last_bound_tex = tex;
    glBindTexture(GL_TEXTURE_2D, (GLuint)tex);
}
extern "C" void XPLMSetGraphicsState(int fog, int tex_units, int lighting, int alpha_test, int blend,
                                     int depth_test, int depth_write)
{
    (void)fog, (void)lighting, (void)alpha_test, (void)depth_test, (void)depth_write;
    tex_units > 0 ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
}
XPLM_STAND_IN(XPLMBindTexture2d)
XPLM_STAND_IN(XPLMSetGraphicsState)

namespace {

/* What the callbacks saw; they run on the worker, the test reads from its own thread. */
struct probe {
    std::mutex m;
    std::condition_variable cv;
    int inits = 0, renders = 0, finis = 0, started = 0;
    std::thread::id init_tid, render_tid, fini_tid;
    std::chrono::milliseconds slow{0};
    int released = 1 << 30;        /* renderings allowed past the gate */
    int stamp = 0, last_stamp = 0; /* stamp read when the newest finished rendering began */
    bool finied = false;
    int renders_after_fini = 0;
    double rgba_top[4] = {1, 0, 0, 1}, rgba_bottom[4] = {0, 0, 1, 1};

    template <class Pred> bool wait_for(Pred pred, std::chrono::milliseconds t = 5s)
    {
        std::unique_lock<std::mutex> lk(m);
        return cv.wait_for(lk, t, pred);
    }
};

bool init_cb(cairo_t *, void *p)
{
    auto *pr = static_cast<probe *>(p);
    std::lock_guard<std::mutex> lk(pr->m);
    pr->inits++;
    pr->init_tid = std::this_thread::get_id();
    return true;
}

void render_cb(cairo_t *cr, unsigned w, unsigned h, void *p)
{
    auto *pr = static_cast<probe *>(p);
    std::unique_lock<std::mutex> lk(pr->m);
    int stamp = pr->stamp;
    pr->started++;
    pr->renders_after_fini += pr->finied;
    pr->cv.notify_all();
    const int nth = pr->started;
    pr->cv.wait(lk, [pr, nth] { return nth <= pr->released; });
    const double *top = pr->rgba_top, *bottom = pr->rgba_bottom;
    lk.unlock();
    std::this_thread::sleep_for(pr->slow);

    cairo_set_source_rgba(cr, top[0], top[1], top[2], top[3]);
    cairo_rectangle(cr, 0, 0, w, h / 2.0);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, bottom[0], bottom[1], bottom[2], bottom[3]);
    cairo_rectangle(cr, 0, h / 2.0, w, h / 2.0);
    cairo_fill(cr);

    lk.lock();
    pr->renders++;
    pr->last_stamp = stamp;
    pr->render_tid = std::this_thread::get_id();
    pr->cv.notify_all();
}

void fini_cb(cairo_t *, void *p)
{
    auto *pr = static_cast<probe *>(p);
    std::lock_guard<std::mutex> lk(pr->m);
    pr->finis++;
    pr->fini_tid = std::this_thread::get_id();
}

void release(probe &pr, int n)
{
    std::lock_guard<std::mutex> lk(pr.m);
    pr.released = n;
    pr.cv.notify_all();
}

} // namespace

TEST(MtCairoRender, RendersOnlyWhenAskedWithoutAFrameRate)
{
    probe pr;
    mt_cairo_render_t *mtcr = mt_cairo_render_init(8, 8, 0, nullptr, render_cb, nullptr, &pr);
    ASSERT_NE(mtcr, nullptr);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(pr.renders, 0);

    mt_cairo_render_once_wait(mtcr);
    EXPECT_EQ(pr.renders, 1);
    mt_cairo_render_once(mtcr);
    EXPECT_TRUE(pr.wait_for([&] { return pr.renders == 2; }));
    mt_cairo_render_fini(mtcr);
}

TEST(MtCairoRender, OnceWaitIgnoresARenderingThatBeganBeforeTheRequest)
{
    probe pr;
    pr.released = 0;
    pr.stamp = 1;
    mt_cairo_render_t *mtcr = mt_cairo_render_init(8, 8, 0, nullptr, render_cb, nullptr, &pr);
    ASSERT_NE(mtcr, nullptr);
    mt_cairo_render_once(mtcr);
    ASSERT_TRUE(pr.wait_for([&] { return pr.started == 1; }));

    {
        std::lock_guard<std::mutex> lk(pr.m);
        pr.stamp = 2;
    }
    auto waiter = std::async(std::launch::async, [mtcr] { mt_cairo_render_once_wait(mtcr); });
    EXPECT_EQ(waiter.wait_for(100ms), std::future_status::timeout);
    release(pr, 1);
    bool early = waiter.wait_for(100ms) == std::future_status::ready;
    release(pr, 2);
    EXPECT_FALSE(early) << "returned when the older rendering finished";
    ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
    std::lock_guard<std::mutex> lk(pr.m);
    EXPECT_EQ(pr.last_stamp, 2);
    EXPECT_EQ(pr.renders, 2);
    mt_cairo_render_fini(mtcr);
}

TEST(MtCairoRender, RendersRepeatedlyAtTheFrameRateWithoutRunningAhead)
{
    probe pr;
    auto t0 = std::chrono::steady_clock::now();
    mt_cairo_render_t *mtcr = mt_cairo_render_init(8, 8, 50, nullptr, render_cb, nullptr, &pr);
    ASSERT_NE(mtcr, nullptr);
    EXPECT_TRUE(pr.wait_for([&] { return pr.renders >= 5; }));
    mt_cairo_render_fini(mtcr);
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LE(pr.renders, secs * 50 + 3);
}

TEST(MtCairoRender, FiniWaitsForASlowRenderingAndNoneFollows)
{
    for (double fps : {0.0, 100.0}) {
        probe pr;
        pr.slow = 150ms;
        mt_cairo_render_t *mtcr = mt_cairo_render_init(8, 8, fps, nullptr, render_cb, nullptr, &pr);
        ASSERT_NE(mtcr, nullptr);
        mt_cairo_render_once(mtcr);
        ASSERT_TRUE(pr.wait_for([&] { return pr.started >= 1; }));
        mt_cairo_render_fini(mtcr);
        {
            std::lock_guard<std::mutex> lk(pr.m);
            EXPECT_EQ(pr.started, pr.renders) << "fps " << fps;
            pr.finied = true;
        }
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(pr.renders_after_fini, 0) << "fps " << fps;
    }
}

TEST(MtCairoRender, InitAndFiniCallbacksRunOnceOnTheWorker)
{
    probe pr;
    mt_cairo_render_t *mtcr = mt_cairo_render_init(8, 8, 0, init_cb, render_cb, fini_cb, &pr);
    ASSERT_NE(mtcr, nullptr);
    mt_cairo_render_once_wait(mtcr);
    mt_cairo_render_once_wait(mtcr);
    mt_cairo_render_fini(mtcr);
    EXPECT_EQ(pr.inits, 1);
    EXPECT_EQ(pr.finis, 1);
    EXPECT_NE(pr.init_tid, std::this_thread::get_id());
    EXPECT_EQ(pr.init_tid, pr.render_tid);
    EXPECT_EQ(pr.fini_tid, pr.render_tid);
}

TEST(MtCairoRender, RefusesAnEmptySizeOrAFailedInit)
{
    probe pr;
    EXPECT_EQ(mt_cairo_render_init(0, 8, 0, nullptr, render_cb, nullptr, &pr), nullptr);
    EXPECT_EQ(mt_cairo_render_init(8, 0, 30, nullptr, render_cb, nullptr, &pr), nullptr);
    auto failing_init = [](cairo_t *, void *) { return false; };
    EXPECT_EQ(mt_cairo_render_init(8, 8, 30, failing_init, render_cb, fini_cb, &pr), nullptr);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(pr.started, 0);
    EXPECT_EQ(pr.finis, 0);
    mt_cairo_render_fini(nullptr);
}

TEST(MtCairoRender, ManyStartsAndStopsLeaveNoThreadsBehind)
{
    const size_t threads = thread_count();
    for (int i = 0; i < 200; i++) {
        probe pr;
        mt_cairo_render_t *mtcr =
            mt_cairo_render_init(64, 64, i % 2 ? 60 : 0, init_cb, render_cb, fini_cb, &pr);
        ASSERT_NE(mtcr, nullptr);
        mt_cairo_render_once_wait(mtcr);
        mt_cairo_render_fini(mtcr);
        ASSERT_EQ(pr.finis, 1);
    }
    EXPECT_EQ(thread_count(), threads);
}

/* Draws into a size x size framebuffer whose pixels map 1:1 to GL units. */
class MtCairoRenderDraw : public ::testing::Test {
protected:
    static constexpr int size = 32;
    simhost::gl_context ctx;
    GLuint fbo = 0, color = 0;

    void SetUp() override
    {
        ASSERT_TRUE(ctx.create()) << ctx.error();
        glewInit(); /* answers "no GLX display" here, but the entry points are loaded */
        ASSERT_NE(glGenFramebuffers, nullptr);
        glGenTextures(1, &color);
        glBindTexture(GL_TEXTURE_2D, color);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color, 0);
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), (GLenum)GL_FRAMEBUFFER_COMPLETE);
        glViewport(0, 0, size, size);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, size, 0, size, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        clear(0, 1, 0);
    }
    void TearDown() override
    {
        glDeleteFramebuffers(1, &fbo);
        glDeleteTextures(1, &color);
    }
    static void clear(float r, float g, float b)
    {
        glClearColor(r, g, b, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    /* RGB at (x, y), y counted from the bottom as GL does. */
    static std::array<int, 3> pixel(int x, int y)
    {
        unsigned char p[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }
};

using rgb = std::array<int, 3>;

TEST_F(MtCairoRenderDraw, DrawsNothingBeforeTheFirstRendering)
{
    probe pr;
    mt_cairo_render_t *mtcr = mt_cairo_render_init(16, 16, 0, nullptr, render_cb, nullptr, &pr);
    ASSERT_NE(mtcr, nullptr);
    mt_cairo_render_draw(mtcr, VECT2(0, 0), VECT2(size, size));
    EXPECT_EQ(pixel(size / 2, size / 2), (rgb{0, 255, 0}));
    mt_cairo_render_fini(mtcr);
}

TEST_F(MtCairoRenderDraw, ShowsThePictureUprightAndPremultiplied)
{
    probe pr;
    pr.rgba_bottom[3] = 0.5; /* half-transparent blue over the green background */
    mt_cairo_render_t *mtcr = mt_cairo_render_init(13, 10, 0, nullptr, render_cb, nullptr, &pr);
    ASSERT_NE(mtcr, nullptr);
    mt_cairo_render_once_wait(mtcr);
    mt_cairo_render_draw(mtcr, VECT2(0, 0), VECT2(size, size));

    EXPECT_EQ(pixel(size / 2, size * 3 / 4), (rgb{255, 0, 0})) << "cairo's top must be drawn at the top";
    rgb bottom = pixel(size / 2, size / 4);
    EXPECT_NEAR(bottom[1], 128, 2);
    EXPECT_NEAR(bottom[2], 128, 2);
    EXPECT_EQ(bottom[0], 0);
    GLint src = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &src);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    mt_cairo_render_fini(mtcr);
}

TEST_F(MtCairoRenderDraw, UploadsEachNewerPictureAndDeletesTheTextureOnFini)
{
    probe pr;
    mt_cairo_render_t *mtcr = mt_cairo_render_init(16, 16, 0, nullptr, render_cb, nullptr, &pr);
    ASSERT_NE(mtcr, nullptr);
    mt_cairo_render_once_wait(mtcr);
    mt_cairo_render_draw(mtcr, VECT2(8, 8), VECT2(16, 16));
    EXPECT_EQ(pixel(16, 20), (rgb{255, 0, 0}));
    EXPECT_EQ(pixel(2, 2), (rgb{0, 255, 0})) << "drawn outside its quad";

    pr.rgba_top[0] = 0, pr.rgba_top[1] = 0, pr.rgba_top[2] = 1; /* worker is idle */
    mt_cairo_render_once_wait(mtcr);
    clear(0, 0, 0);
    mt_cairo_render_draw(mtcr, VECT2(8, 8), VECT2(16, 16));
    EXPECT_EQ(pixel(16, 20), (rgb{0, 0, 255}));

    GLuint tex = (GLuint)last_bound_tex;
    ASSERT_TRUE(glIsTexture(tex));
    mt_cairo_render_fini(mtcr);
    EXPECT_FALSE(glIsTexture(tex));
}
