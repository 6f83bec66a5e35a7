#pragma once

// A test that plays the simulator defines the XPLM functions the code under
// test calls. On Windows that code calls them through import pointers
// (__imp_<name>), which the linker fills from a DLL's import library only, so
// each stand-in gets its pointer here; elsewhere the definition is enough.
// Windows builds of such tests define XPLM=1, which declares the functions
// as this program's own exports.

#ifdef _WIN32
#define XPLM_STAND_IN(name)                                                                                  \
    extern "C" {                                                                                             \
    extern decltype(&name) const __imp_##name;                                                               \
    decltype(&name) const __imp_##name = &name;                                                              \
    }
#else
#define XPLM_STAND_IN(name)
#endif
