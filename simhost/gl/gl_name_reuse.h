#pragma once

// Freed texture names handed out again, lowest first, as many drivers do
// (Mesa does not; gl_name_pool.h). On Linux the host's executable defines
// glGenTextures and glDeleteTextures itself (gl_name_reuse.cpp) and passes on
// to the driver's; a plugin's calls bind to the executable's symbols first.
// On Windows the modules that call them have their imports of opengl32's
// redirected (gl_name_reuse_win32.cpp).

namespace simhost::detail {

void set_texture_name_reuse(bool on);
// A new context knows no names: what an old one issued or freed is dropped.
void forget_texture_names();

// Windows: the module holding `code` (null: the process's executable), and the
// host's own, call the pool from now on. Linux needs nothing: the executable's
// symbols come first for every module.
#ifdef _WIN32
void route_texture_names_of(const void *code);
#else
inline void route_texture_names_of(const void *) {}
#endif

} // namespace simhost::detail
