// Windows. A plugin imports glGenTextures and glDeleteTextures from
// opengl32.dll, so there is no symbol of the host's to bind them to first, as
// on Linux: instead the import slots of the modules that call them, the
// plugin, the host's XPLM_64.dll and the executable driving it, are pointed
// here. Each passes on to opengl32's own.

#include "gl/gl_name_reuse.h"

#include "gl/gl_name_pool.h"
#include "platform/import_redirect.h"

#include <windows.h>

namespace {

template <typename F> F driver_entry(const char *name)
{
    // Through void (*)(), the type any function pointer may pass through unwarned.
    const auto any = reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"opengl32.dll"), name));
    return reinterpret_cast<F>(any);
}

simhost::detail::gen_textures_fn driver_gen()
{
    static const auto fn = driver_entry<simhost::detail::gen_textures_fn>("glGenTextures");
    return fn;
}

simhost::detail::delete_textures_fn driver_delete()
{
    static const auto fn = driver_entry<simhost::detail::delete_textures_fn>("glDeleteTextures");
    return fn;
}

void GLAPIENTRY gen_textures(GLsizei n, GLuint *textures)
{
    simhost::detail::pooled_gen_textures(n, textures, driver_gen());
}

void GLAPIENTRY delete_textures(GLsizei n, const GLuint *textures)
{
    simhost::detail::pooled_delete_textures(n, textures, driver_delete());
}

HMODULE module_holding(const void *code)
{
    HMODULE m = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(code), &m);
    return m;
}

void route(HMODULE m)
{
    if (m == nullptr)
        return;
    using simhost::detail::redirect_import;
    redirect_import(m, "opengl32.dll", reinterpret_cast<const void *>(driver_gen()),
                    reinterpret_cast<const void *>(&gen_textures));
    redirect_import(m, "opengl32.dll", reinterpret_cast<const void *>(driver_delete()),
                    reinterpret_cast<const void *>(&delete_textures));
}

} // namespace

namespace simhost::detail {

void set_texture_name_reuse(bool on)
{
    set_pooled_name_reuse(on);
}

void forget_texture_names()
{
    clear_name_pool();
}

void route_texture_names_of(const void *code)
{
    route(code == nullptr ? GetModuleHandleW(nullptr) : module_holding(code));
    route(module_holding(reinterpret_cast<const void *>(&gen_textures)));
}

} // namespace simhost::detail
