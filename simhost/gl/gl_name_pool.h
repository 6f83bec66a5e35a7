#pragma once

// The texture names of the process's one GL context, handed out as a driver
// that reuses names does: a freed name comes back, lowest first, as a bare
// name with no texture object until it is first bound. The platform's
// gl_name_reuse file puts these in front of the driver's functions.

#include "gl/gl_api.h"

namespace simhost::detail {

using gen_textures_fn = void(GLAPIENTRY *)(GLsizei, GLuint *);
using delete_textures_fn = void(GLAPIENTRY *)(GLsizei, const GLuint *);

// Off: every name comes from the driver, as Mesa hands them out.
void set_pooled_name_reuse(bool on);
// A new context knows no names: what an old one issued or freed is dropped.
void clear_name_pool();

void pooled_gen_textures(GLsizei n, GLuint *textures, gen_textures_fn driver);
void pooled_delete_textures(GLsizei n, const GLuint *textures, delete_textures_fn driver);

} // namespace simhost::detail
