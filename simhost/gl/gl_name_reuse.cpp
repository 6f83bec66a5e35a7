// Linux. The executable that links the host exports these two GL entry
// points (it is built with ENABLE_EXPORTS), so the plugin it loads binds its
// glGenTextures and glDeleteTextures here before the driver's; the host's own
// calls come here too. Each passes on to the next definition, the driver's.

#include "gl/gl_name_reuse.h"

#include "gl/gl_name_pool.h"

#include <dlfcn.h>

namespace {

template <typename F> F driver_entry(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

void glGenTextures(GLsizei n, GLuint *textures)
{
    static const auto driver = driver_entry<simhost::detail::gen_textures_fn>("glGenTextures");
    simhost::detail::pooled_gen_textures(n, textures, driver);
}

void glDeleteTextures(GLsizei n, const GLuint *textures)
{
    static const auto driver = driver_entry<simhost::detail::delete_textures_fn>("glDeleteTextures");
    simhost::detail::pooled_delete_textures(n, textures, driver);
}

} // extern "C"

namespace simhost::detail {

void set_texture_name_reuse(bool on)
{
    set_pooled_name_reuse(on);
}

void forget_texture_names()
{
    clear_name_pool();
}

} // namespace simhost::detail
