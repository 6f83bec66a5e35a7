/* The per-thread GLEW context record. */

#include <acfutils/assert.h>
#include <acfutils/glew.h>
#include <acfutils/helpers.h>
#include <acfutils/log.h>

#include <string.h>

namespace {

void free_record(void *ctx)
{
    lacf_free(ctx);
}

} // namespace

extern "C" {

/*
 * A thread's record is freed when the thread ends, by the slot key's
 * destructor (unlike a thread_local one, it does not pin this library in
 * memory, so a reloaded plugin still starts with fresh statics). The key goes
 * when this code is unloaded, so that no thread ending later calls into it;
 * records of threads still running then are not freed (only the simulator's
 * main thread draws).
 */
os_tls_key_t lacf_glew_ctx_key = {0, 0, free_record};

lacf_glew_ctx_t *lacf_glew_get_context(void)
{
    lacf_glew_ctx_t *ctx = static_cast<lacf_glew_ctx_t *>(os_tls_get(&lacf_glew_ctx_key));
    if (ctx != nullptr)
        return ctx;

    ctx = static_cast<lacf_glew_ctx_t *>(lacf_malloc(sizeof(*ctx)));
    ASSERT(ctx != NULL);
    memset(ctx, 0, sizeof(*ctx));
    if (!os_tls_set(&lacf_glew_ctx_key, (void *)ctx)) {
        log_impl(log_basename(__FILE__), __LINE__, "assertion \"%s\" failed: %s",
                 "TlsSetValue(lacf_glew_ctx_key, (void *)ctx)", "");
        lacf_assert_abort();
    }
    return ctx;
}

GLenum lacf_glew_context_init(lacf_glew_ctx_t *ctx)
{
    /*
     * GLEW 2.2 (Debian's) has only glewInit. On a surfaceless EGL context
     * without an X display it answers GLEW_ERROR_NO_GLX_DISPLAY after it has
     * loaded the GL entry points, which is all we need.
     */
    GLenum result = glewInit();
    if (ctx != nullptr) {
        ctx->init_result = result;
        ctx->initialised = 1;
    }
    return result;
}

} // extern "C"

namespace {

struct slot_release {
    ~slot_release() { os_tls_delete(&lacf_glew_ctx_key); }
} release_at_unload;

} // namespace
