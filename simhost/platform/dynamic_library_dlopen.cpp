#include "platform/dynamic_library.h"

#include <dlfcn.h>

namespace simhost::detail {

void *open_library(const std::string &path, std::string &error)
{
    // RTLD_NOW: a plugin that needs an XPLM function we lack fails here, by
    // name, not with a crash at its first call.
    int flags = RTLD_NOW | RTLD_LOCAL;
#ifdef KYV_SANITIZED
    // Keeps an unloaded plugin's code mapped, so leak reports can name its functions.
    flags |= RTLD_NODELETE;
#endif
    void *handle = dlopen(path.c_str(), flags);
    if (handle == nullptr) {
        const char *why = dlerror();
        error = why != nullptr ? why : "unknown loader error";
    }
    return handle;
}

library_function library_symbol(void *library, const char *name)
{
    // dlsym hands back void *; the entry points' types are fixed by the interface.
    return reinterpret_cast<library_function>(dlsym(library, name));
}

void close_library(void *library)
{
    dlclose(library);
}

} // namespace simhost::detail
