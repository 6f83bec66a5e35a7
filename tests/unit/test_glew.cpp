// Unit tests of the per-thread GLEW context record, on a real GL context.

#include <acfutils/glew.h>

#include <gl/gl_context.h>

#include <gtest/gtest.h>

#include <thread>

TEST(Glew, ContextRecordIsPerThread)
{
    lacf_glew_ctx_t *a = lacf_glew_get_context();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(lacf_glew_get_context(), a) << "the same record on the same thread";
    EXPECT_EQ(a->initialised, 0) << "a new record starts zeroed";
    EXPECT_EQ(os_tls_get(&lacf_glew_ctx_key), (void *)a) << "stored in the slot";

    lacf_glew_ctx_t *b = nullptr, *b2 = nullptr;
    std::thread t([&] {
        b = lacf_glew_get_context();
        b2 = lacf_glew_get_context();
    });
    t.join();
    ASSERT_NE(b, nullptr);
    EXPECT_NE(b, a) << "another thread gets its own record";
    EXPECT_EQ(b, b2);
    EXPECT_EQ(lacf_glew_get_context(), a);
}

TEST(Glew, InitLoadsEntryPoints)
{
    simhost::gl_context c;
    ASSERT_TRUE(c.create()) << c.error();

    lacf_glew_ctx_t *ctx = lacf_glew_get_context();
    ASSERT_NE(ctx, nullptr);
    GLenum r = lacf_glew_context_init(ctx);
    // On a surfaceless EGL context GLEW 2.2 reports that it found no GLX
    // display, after it has loaded the GL entry points.
    EXPECT_TRUE(r == GLEW_OK || r == GLEW_ERROR_NO_GLX_DISPLAY) << "glewInit gave " << r;
    EXPECT_EQ(ctx->init_result, r);
    EXPECT_EQ(ctx->initialised, 1);

    ASSERT_NE(glGenFramebuffers, nullptr);
    ASSERT_NE(glBindFramebuffer, nullptr);
    ASSERT_NE(glDeleteFramebuffers, nullptr);
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    EXPECT_NE(fbo, 0u);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    EXPECT_EQ(glIsFramebuffer(fbo), GL_TRUE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    EXPECT_EQ(glIsFramebuffer(fbo), GL_FALSE);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}
