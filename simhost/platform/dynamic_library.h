#pragma once

// The platform's dynamic loader, as far as loading a plugin needs it:
// dynamic_library_dlopen.cpp and dynamic_library_win32.cpp implement it.

#include <string>

namespace simhost::detail {

using library_function = void (*)();

// `path` is absolute and UTF-8. Null on failure, with the loader's reason in `error`.
void *open_library(const std::string &path, std::string &error);
library_function library_symbol(void *library, const char *name);
void close_library(void *library);

} // namespace simhost::detail
