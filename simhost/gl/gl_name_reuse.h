#pragma once

// Freed texture names handed out again, lowest first, as many drivers do
// (Mesa does not). On Linux the host's executable defines glGenTextures and
// glDeleteTextures itself (gl_name_reuse.cpp) and passes on to the driver's;
// a plugin's calls bind to the executable's symbols first. Windows keeps the
// driver's own habit.

namespace simhost::detail {

#ifdef _WIN32
inline void set_texture_name_reuse(bool) {}
inline void forget_texture_names() {}
#else
void set_texture_name_reuse(bool on);
// A new context knows no names: what an old one issued or freed is dropped.
void forget_texture_names();
#endif

} // namespace simhost::detail
