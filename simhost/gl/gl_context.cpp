#include "gl/gl_context.h"

#include "gl/gl_api.h"

namespace simhost {

std::string gl_context::renderer() const
{
    const char *r = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    const char *v = reinterpret_cast<const char *>(glGetString(GL_VERSION));
    return std::string(r ? r : "?") + " | OpenGL " + (v ? v : "?");
}

} // namespace simhost
