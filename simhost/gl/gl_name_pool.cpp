#include "gl/gl_name_pool.h"

#include <mutex>
#include <set>

namespace simhost::detail {

namespace {

// The extern "C" or import-table entry points that reach the pool carry no
// context, so there is one pool for the process, as there is one context.
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

// A new name from the driver, skipping any the pool has handed out itself.
GLuint driver_name(const name_pool &p, gen_textures_fn driver)
{
    GLuint name = 0;
    do {
        driver(1, &name);
    } while (name != 0 && p.issued.count(name) != 0);
    return name;
}

} // namespace

void set_pooled_name_reuse(bool on)
{
    name_pool &p = pool();
    const std::lock_guard<std::mutex> lk(p.lock);
    p.reuse = on;
}

void clear_name_pool()
{
    name_pool &p = pool();
    const std::lock_guard<std::mutex> lk(p.lock);
    p.issued.clear();
    p.freed.clear();
}

void pooled_gen_textures(GLsizei n, GLuint *textures, gen_textures_fn driver)
{
    name_pool &p = pool();
    const std::lock_guard<std::mutex> lk(p.lock);
    for (GLsizei i = 0; i < n; i++) {
        GLuint name = 0;
        if (p.reuse && !p.freed.empty()) {
            name = *p.freed.begin();
            p.freed.erase(p.freed.begin());
        } else {
            name = driver_name(p, driver);
        }
        p.issued.insert(name);
        textures[i] = name;
    }
}

void pooled_delete_textures(GLsizei n, const GLuint *textures, delete_textures_fn driver)
{
    driver(n, textures);
    name_pool &p = pool();
    const std::lock_guard<std::mutex> lk(p.lock);
    for (GLsizei i = 0; i < n; i++) {
        if (p.issued.erase(textures[i]) != 0)
            p.freed.insert(textures[i]);
    }
}

} // namespace simhost::detail
