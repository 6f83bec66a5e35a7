// Linux only. The executable that links the host exports these two GL entry
// points (it is built with ENABLE_EXPORTS), so the plugin it loads binds its
// glGenTextures and glDeleteTextures here before the driver's; the host's own
// calls come here too. Each passes on to the next definition, the driver's.

#include "gl/gl_name_reuse.h"

#include "gl/gl_api.h"

#include <dlfcn.h>

#include <mutex>
#include <set>

namespace {

using gen_fn = void (*)(GLsizei, GLuint *);
using delete_fn = void (*)(GLsizei, const GLuint *);

// The names of the process's one GL context: those in use and those freed.
struct name_pool {
    std::mutex lock;
    bool reuse = true;
    std::set<GLuint> issued;
    std::set<GLuint> freed;
};

name_pool &pool()
{
    static name_pool p;
    return p;
}

template <typename F> F driver_entry(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

gen_fn driver_gen()
{
    static const gen_fn fn = driver_entry<gen_fn>("glGenTextures");
    return fn;
}

delete_fn driver_delete()
{
    static const delete_fn fn = driver_entry<delete_fn>("glDeleteTextures");
    return fn;
}

// A new name from the driver, skipping any the pool has handed out itself.
GLuint driver_name(name_pool &p)
{
    GLuint name = 0;
    do {
        driver_gen()(1, &name);
    } while (name != 0 && p.issued.count(name) != 0);
    return name;
}

} // namespace

namespace simhost::detail {

void set_texture_name_reuse(bool on)
{
    name_pool &p = pool();
    const std::lock_guard<std::mutex> lk(p.lock);
    p.reuse = on;
}

void forget_texture_names()
{
    name_pool &p = pool();
    const std::lock_guard<std::mutex> lk(p.lock);
    p.issued.clear();
    p.freed.clear();
}

} // namespace simhost::detail

extern "C" {

void glGenTextures(GLsizei n, GLuint *textures)
{
    name_pool &p = pool();
    const std::lock_guard<std::mutex> lk(p.lock);
    for (GLsizei i = 0; i < n; i++) {
        GLuint name = 0;
        if (p.reuse && !p.freed.empty()) {
            // Only a name: like a driver that reuses names, no object exists
            // until the name is first bound.
            name = *p.freed.begin();
            p.freed.erase(p.freed.begin());
        } else {
            name = driver_name(p);
        }
        p.issued.insert(name);
        textures[i] = name;
    }
}

void glDeleteTextures(GLsizei n, const GLuint *textures)
{
    driver_delete()(n, textures);
    name_pool &p = pool();
    const std::lock_guard<std::mutex> lk(p.lock);
    for (GLsizei i = 0; i < n; i++) {
        if (p.issued.erase(textures[i]) != 0)
            p.freed.insert(textures[i]);
    }
}

} // extern "C"
